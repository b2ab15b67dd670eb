// SPDX-License-Identifier: MIT
#include "frmpartita.h"

#include "automatiche.h"
#include "dichiarazioni.h"
#include "frmpremi.h"
#include "icone.h"
#include "ordine.h"
#include "partita.h"
#include "premi.h"
#include "richieste.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QKeyEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Dichiarazioni;

namespace {

QLabel *etichetta(QWidget *parent, const char *nome)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(nome));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidgetItem *casella(const QString &testo, Qt::Alignment allineamento = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(testo);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(allineamento);
    return item;
}

} // namespace

PaginaPartita::PaginaPartita(QWidget *parent)
    : QWidget(parent)
{
    lblImpronta = etichetta(this, "lblImpronta");
    lblSeme = etichetta(this, "lblSeme");
    lblStato = etichetta(this, "lblStato");
    lblUltimi = etichetta(this, "lblUltimi");
    QFont grande = lblUltimi->font();
    grande.setPointSizeF(grande.pointSizeF() * 1.8);
    grande.setBold(true);
    lblUltimi->setFont(grande);

    tabella = new QTableWidget(0, 5, this);
    tabella->setObjectName(QStringLiteral("tabella"));
    tabella->setHorizontalHeaderLabels({QStringLiteral("N."), QStringLiteral("Numero"), QStringLiteral("Commento"),
                                        QStringLiteral("Ora"), QStringLiteral("Fonte")});
    tabella->verticalHeader()->hide();
    tabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabella->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabella->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tabella->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);

    lblVincite = etichetta(this, "lblVincite");
    lblVincite->setText(QStringLiteral("Premi assegnati"));
    lstVincite = new QListWidget(this);
    lstVincite->setObjectName(QStringLiteral("lstVincite"));
    lstVincite->setWordWrap(true);
    lstVincite->setMaximumHeight(lstVincite->fontMetrics().lineSpacing() * 7);

    cmdVerbale = new QPushButton(QStringLiteral("Verbale PDF"), this);
    cmdVerbale->setObjectName(QStringLiteral("cmdVerbale"));

    auto *colonna = new QVBoxLayout(this);
    colonna->addWidget(lblImpronta);
    colonna->addWidget(lblSeme);
    colonna->addWidget(lblStato);
    colonna->addWidget(lblUltimi);
    colonna->addWidget(tabella, 1);
    colonna->addWidget(lblVincite);
    colonna->addWidget(lstVincite);
    auto *riga = new QHBoxLayout;
    riga->addStretch(1);
    riga->addWidget(cmdVerbale);
    colonna->addLayout(riga);
}

QString PaginaPartita::testoFonte(const Evento &evento)
{
    if (evento.tipo == Evento::Tipo::Ritiro)
        return QStringLiteral("ritirato");
    switch (evento.fonte) {
    case Fonte::Sacchetto: return QStringLiteral("sacchetto");
    case Fonte::Computer: return QStringLiteral("computer");
    case Fonte::Ignota: break;
    }
    return QStringLiteral("non nota");
}

QString PaginaPartita::testoOra(const QDateTime &quando)
{
    return quando.isValid() ? quando.toString(QStringLiteral("HH:mm:ss")) : QStringLiteral("—");
}

void PaginaPartita::mostra(const StoriaPartita &partita)
{
    const QString impronta = improntaSeme(partita.seme);
    lblImpronta->setText(impronta.isEmpty() ? QStringLiteral("Impronta: fissata alla prima estrazione")
                                            : QStringLiteral("Impronta: ") + impronta);
    // The seed is public only once the game is closed: before, it would tell the computer's next numbers.
    lblSeme->setText(partita.chiusa() && !partita.seme.isEmpty()
                         ? QStringLiteral("Seme: ") + QString::fromLatin1(partita.seme.toHex())
                         : QStringLiteral("Seme: svelato alla chiusura della partita"));
    QString stato = QStringLiteral("Chiamate: %1").arg(partita.chiamate());
    if (partita.inizio.isValid())
        stato += QStringLiteral(", dalle %1 del %2")
                     .arg(testoOra(partita.inizio), partita.inizio.toString(QStringLiteral("dd/MM/yyyy")));
    if (partita.chiusa())
        stato += QStringLiteral("; chiusa alle %1").arg(testoOra(partita.fine));
    lblStato->setText(stato);

    QStringList ultimi;
    for (const Evento &e : partita.ultimeChiamate(5))
        ultimi << QString::number(e.numero);
    lblUltimi->setText(QStringLiteral("Ultimi cinque: ")
                       + (ultimi.isEmpty() ? QStringLiteral("—") : ultimi.join(QStringLiteral("  "))));

    tabella->setRowCount(int(partita.eventi.size()));
    for (int r = 0; r < partita.eventi.size(); ++r) {
        const Evento &e = partita.eventi.at(r);
        const bool chiamata = e.tipo == Evento::Tipo::Chiamata;
        const QString commento = numeroValido(e.numero) ? Commenti[std::size_t(e.numero)] : QString();
        tabella->setItem(r, 0, casella(chiamata ? QString::number(e.chiamata) : QStringLiteral("ritiro"),
                                       Qt::AlignRight | Qt::AlignVCenter));
        tabella->setItem(r, 1, casella(QString::number(e.numero), Qt::AlignRight | Qt::AlignVCenter));
        tabella->setItem(r, 2, casella(chiamata ? commento : QStringLiteral("numero tolto dal tabellone")));
        tabella->setItem(r, 3, casella(testoOra(e.quando)));
        tabella->setItem(r, 4, casella(testoFonte(e)));
    }
    tabella->scrollToBottom();

    const auto premi = statoPremi(partita);
    // Refilled as the story changes: the prize chosen stays chosen.
    const QSignalBlocker quieta(lstVincite);
    const int scelta = lstVincite->currentRow();
    lstVincite->clear();
    for (const Assegnazione &a : partita.assegnazioni) {
        QString riga = testoAssegnazione(a, premi[indice(a.categoria)].premi);
        if (a.ritirata)
            riga += QStringLiteral(" — RITIRATO alle %1: %2").arg(testoOra(a.quandoRitirata), a.motivo);
        lstVincite->addItem(riga);
    }
    lstVincite->setCurrentRow(scelta < lstVincite->count() ? scelta : -1);
    lblVincite->setVisible(!partita.assegnazioni.isEmpty());
    lstVincite->setVisible(!partita.assegnazioni.isEmpty());
    cmdVerbale->setEnabled(!partita.vuota());
}

frmPartita::frmPartita(Partita &partita, Richieste &richieste, QWidget *tabellone)
    : QWidget(tabellone, Qt::Window)
    , m_partita(partita)
    , m_richieste(richieste)
{
    setObjectName(QStringLiteral("frmPartita"));
    setWindowTitle(QStringLiteral("La partita"));
    setWindowIcon(icona(QStringLiteral("tabellone")));

    schede = new QTabWidget(this);
    corrente = new PaginaPartita(schede);
    // On a tab of its own only while there is a game before; until then out of sight.
    precedente = new PaginaPartita(this);
    precedente->hide();
    schede->addTab(corrente, QStringLiteral("Partita in corso"));

    auto *lblIntervallo = new QLabel(QStringLiteral("Estrazioni automatiche (F9), una ogni"), this);
    spnIntervallo = new QSpinBox(this);
    spnIntervallo->setObjectName(QStringLiteral("spnIntervallo"));
    spnIntervallo->setRange(EstrazioniAutomatiche::IntervalloMinimo, EstrazioniAutomatiche::IntervalloMassimo);
    spnIntervallo->setSuffix(QStringLiteral(" s"));
    spnIntervallo->setKeyboardTracking(false);
    spnIntervallo->setAccessibleName(QStringLiteral("Secondi tra le estrazioni automatiche"));
    lblIntervallo->setBuddy(spnIntervallo);
    cmdChiudiPartita = new QPushButton(QStringLiteral("Chiudi la partita"), this);
    cmdChiudiPartita->setObjectName(QStringLiteral("cmdChiudiPartita"));
    cmdPremi = new QPushButton(QStringLiteral("Premi…"), this);
    cmdPremi->setObjectName(QStringLiteral("cmdPremi"));
    cmdRitiraPremio = new QPushButton(QStringLiteral("Ritira premio…"), this);
    cmdRitiraPremio->setObjectName(QStringLiteral("cmdRitiraPremio"));

    auto *colonna = new QVBoxLayout(this);
    colonna->addWidget(schede, 1);
    auto *riga = new QHBoxLayout;
    riga->addWidget(lblIntervallo);
    riga->addWidget(spnIntervallo);
    riga->addStretch(1);
    riga->addWidget(cmdPremi);
    riga->addWidget(cmdRitiraPremio);
    riga->addWidget(cmdChiudiPartita);
    colonna->addLayout(riga);

    connect(spnIntervallo, &QSpinBox::valueChanged, this, [this](int secondi) {
        m_partita.impostaIntervallo(secondi);
        emit intervalloCambiato(secondi);
    });
    connect(cmdChiudiPartita, &QPushButton::clicked, this, &frmPartita::chiudiPartita);
    connect(cmdPremi, &QPushButton::clicked, this, [this] { apriProgrammaPremi(m_partita, m_richieste, this); });
    connect(cmdRitiraPremio, &QPushButton::clicked, this, &frmPartita::ritiraPremio);
    connect(corrente->lstVincite, &QListWidget::currentRowChanged, this, &frmPartita::aggiornaRitiro);
    connect(corrente->cmdVerbale, &QPushButton::clicked, this, [this] { verbale(false); });
    connect(precedente->cmdVerbale, &QPushButton::clicked, this, [this] { verbale(true); });

    resize(640, 560);
    aggiorna();
}

void frmPartita::aggiorna()
{
    const Storia &storia = m_partita.storia();
    corrente->mostra(storia.corrente);
    const int scheda = schede->indexOf(precedente);
    if (storia.precedente) {
        precedente->mostra(*storia.precedente);
        if (scheda < 0)
            schede->addTab(precedente, QStringLiteral("Partita precedente"));
    } else if (scheda >= 0) {
        schede->removeTab(scheda);
    }
    const QSignalBlocker blocco(spnIntervallo);
    spnIntervallo->setValue(storia.intervallo);
    cmdChiudiPartita->setEnabled(!storia.corrente.vuota() && !storia.corrente.chiusa());
    aggiornaRitiro();
}

void frmPartita::aggiornaRitiro()
{
    const Storia &storia = m_partita.storia();
    const int scelta = corrente->lstVincite->currentRow();
    cmdRitiraPremio->setVisible(!storia.corrente.assegnazioni.isEmpty());
    cmdRitiraPremio->setEnabled(scelta >= 0 && scelta < storia.corrente.assegnazioni.size()
                                && !storia.corrente.assegnazioni.at(scelta).ritirata);
}

void frmPartita::ritiraPremio()
{
    const int scelta = corrente->lstVincite->currentRow();
    const QString titolo = QStringLiteral("Ritiro di un premio");
    const QString motivo = m_richieste.immissione(
        this, QStringLiteral("Perché si ritira il premio scelto? (il motivo va nel verbale)"), titolo, QString());
    if (motivo.trimmed().isEmpty())
        return;
    if (const QString errore = m_partita.ritiraAssegnazione(scelta, motivo.trimmed()); !errore.isEmpty())
        m_richieste.messaggio(this, errore, Richieste::Pulsanti::Ok, titolo);
    aggiorna();
}

void frmPartita::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void frmPartita::chiudiPartita()
{
    const auto risposta = m_richieste.messaggio(
        this,
        QStringLiteral("Vuoi chiudere la partita?\n\nIl seme viene svelato: da qui in poi il computer "
                       "non estrae più numeri in questa partita."),
        Richieste::Pulsanti::SiNo, QStringLiteral("La partita"));
    if (risposta == Richieste::Risposta::Si)
        m_partita.chiudiPartita();
    aggiorna();
}

void frmPartita::verbale(bool delPrecedente)
{
    const Storia &storia = m_partita.storia();
    if (delPrecedente && !storia.precedente)
        return;
    const VerbaleFatto fatto =
        salvaVerbale(delPrecedente ? *storia.precedente : storia.corrente, QDateTime::currentDateTime(), serviziVerbale);
    m_richieste.messaggio(this,
                          fatto.errore.isEmpty()
                              ? QStringLiteral("Verbale salvato in %1").arg(QDir::toNativeSeparators(fatto.percorso))
                              : fatto.errore,
                          Richieste::Pulsanti::Ok, QStringLiteral("Verbale della partita"));
}
