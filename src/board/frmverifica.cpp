// SPDX-License-Identifier: MIT
#include "frmverifica.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel *testo(const QString &contenuto, int punti, bool grassetto, QWidget *parent)
{
    auto *label = new QLabel(contenuto, parent);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPointSize(punti);
    font.setBold(grassetto);
    label->setFont(font);
    return label;
}

// Drawn numbers white on dark red, the others black on white, empty places grey:
// told apart at a glance from across a hall, and not by colour alone (bold, a frame).
void coloraCasella(QLabel *casella, int numero, bool estratto)
{
    QString stile = QStringLiteral("QLabel { border: 1px solid black; ");
    if (numero == 0)
        stile += QStringLiteral("background: #d8d8d8; }");
    else if (estratto)
        stile += QStringLiteral("background: #b71c1c; color: white; border: 4px solid black; }");
    else
        stile += QStringLiteral("background: white; color: black; }");
    casella->setStyleSheet(stile);
}

} // namespace

QString frmVerifica::testoRiga(const Verifica &v, int riga)
{
    const QString premio = v.premioRiga.at(std::size_t(riga));
    const QString conta = QStringLiteral("%1 su 5").arg(v.estrattiRiga.at(std::size_t(riga)));
    return premio.isEmpty() ? conta : conta + QStringLiteral(": ") + premio;
}

QString frmVerifica::testoEsito(const Verifica &v)
{
    if (v.tombola)
        return QStringLiteral("TOMBOLA!");
    return v.esito.isEmpty() ? QStringLiteral("Nessun premio") : v.esito.toUpper();
}

QString frmVerifica::testoUltimo(const Verifica &v)
{
    if (v.ultimo == 0)
        return QStringLiteral("Ultimo numero estratto: non noto.");
    const QString dove = v.tabellone ? QStringLiteral("nel blocco") : QStringLiteral("sulla cartella");
    return v.ultimoSullaCartella ? QStringLiteral("Ultimo numero estratto: %1, è %2.").arg(v.ultimo).arg(dove)
                                 : QStringLiteral("Ultimo numero estratto: %1, NON è %2.").arg(v.ultimo).arg(dove);
}

frmVerifica::frmVerifica(const Verifica &v, QWidget *proprietario)
    : QDialog(proprietario, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmVerifica"));
    setWindowTitle(QStringLiteral("Controllo cartella"));
    auto *colonna = new QVBoxLayout(this);

    lblTitolo = testo(v.titolo, 16, true, this);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    colonna->addWidget(lblTitolo);

    auto *griglia = new QGridLayout;
    griglia->setSpacing(0);
    for (int r = 0; r < RigheCartella; ++r) {
        QList<QLabel *> riga;
        for (int c = 0; c < v.colonne; ++c) {
            const int n = v.numeri[r][c];
            const bool estratto = n != 0 && v.estratto[r][c];
            auto *casella = testo(n ? QString::number(n) : QString(), 26, true, this);
            casella->setAlignment(Qt::AlignCenter);
            casella->setFixedSize(72, 60);
            casella->setAccessibleName(n == 0 ? QStringLiteral("vuota")
                                              : estratto ? QStringLiteral("%1, estratto").arg(n) : QString::number(n));
            coloraCasella(casella, n, estratto);
            griglia->addWidget(casella, r, c);
            riga << casella;
        }
        caselle << riga;
        auto *esito = testo(testoRiga(v, r), 14, true, this);
        esito->setObjectName(QStringLiteral("lblRiga%1").arg(r + 1));
        esito->setContentsMargins(12, 0, 0, 0);
        griglia->addWidget(esito, r, v.colonne);
        lblRighe << esito;
    }
    colonna->addLayout(griglia);

    lblEsito = testo(testoEsito(v), 22, true, this);
    lblEsito->setObjectName(QStringLiteral("lblEsito"));
    lblEsito->setAlignment(Qt::AlignCenter);
    colonna->addWidget(lblEsito);
    lblUltimo = testo(testoUltimo(v), 13, false, this);
    lblUltimo->setObjectName(QStringLiteral("lblUltimo"));
    colonna->addWidget(lblUltimo);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    auto *pulsanti = new QHBoxLayout;
    pulsanti->setObjectName(QStringLiteral("pulsanti"));
    pulsanti->addStretch();
    pulsanti->addWidget(cmdOK);
    colonna->addLayout(pulsanti);
    colonna->setSizeConstraint(QLayout::SetFixedSize);
    cmdOK->setFocus();
}

void frmVerifica::mostraReclamo(CalcoloReclamo calcola)
{
    m_calcola = std::move(calcola);
    auto *colonna = qobject_cast<QVBoxLayout *>(layout());
    // Above OK, in the order the operator reads them.
    const int dove = colonna->count() - 1;

    auto *riga = new QHBoxLayout;
    riga->addWidget(testo(QStringLiteral("Il giocatore chiama:"), 12, false, this));
    cboDichiarata = new QComboBox(this);
    cboDichiarata->setObjectName(QStringLiteral("cboDichiarata"));
    cboDichiarata->addItem(QStringLiteral("il premio che gli spetta"));
    for (const Categoria c : Categorie)
        cboDichiarata->addItem(nomeCategoria(c));
    riga->addWidget(cboDichiarata, 1);
    colonna->insertLayout(dove, riga);

    lblReclamo = testo(QString(), 13, false, this);
    lblReclamo->setObjectName(QStringLiteral("lblReclamo"));
    colonna->insertWidget(dove + 1, lblReclamo);
    lblErroreReclamo = testo(QString(), 14, true, this);
    lblErroreReclamo->setObjectName(QStringLiteral("lblErroreReclamo"));
    lblErroreReclamo->setStyleSheet(QStringLiteral("QLabel { color: #b71c1c; }"));
    colonna->insertWidget(dove + 2, lblErroreReclamo);
    lblAssegna = testo(QString(), 13, true, this);
    lblAssegna->setObjectName(QStringLiteral("lblAssegna"));
    colonna->insertWidget(dove + 3, lblAssegna);
    lstPariMerito = new QListWidget(this);
    lstPariMerito->setObjectName(QStringLiteral("lstPariMerito"));
    lstPariMerito->setAccessibleName(QStringLiteral("Pari merito"));
    QFont font = lstPariMerito->font();
    font.setPointSize(12);
    lstPariMerito->setFont(font);
    colonna->insertWidget(dove + 4, lstPariMerito);

    cmdAssegna = new QPushButton(QStringLiteral("Assegna"), this);
    cmdAssegna->setObjectName(QStringLiteral("cmdAssegna"));
    cmdAssegna->setAutoDefault(false);
    auto *pulsanti = findChild<QHBoxLayout *>(QStringLiteral("pulsanti"));
    pulsanti->insertWidget(1, cmdAssegna);
    connect(cmdAssegna, &QPushButton::clicked, this, [this] {
        QList<IdCartella> scelti;
        for (int i = 0; i < lstPariMerito->count(); ++i)
            if (lstPariMerito->item(i)->checkState() == Qt::Checked)
                scelti.append(m_reclamo.pariMerito.at(i).cartella);
        m_scelta = scelti;
        accept();
    });
    connect(cboDichiarata, &QComboBox::currentIndexChanged, this, &frmVerifica::aggiornaReclamo);
    aggiornaReclamo();
    cmdOK->setFocus();
}

void frmVerifica::aggiornaReclamo()
{
    const int scelta = cboDichiarata->currentIndex();
    m_reclamo = m_calcola(scelta <= 0 ? std::nullopt : std::optional<Categoria>(Categorie[std::size_t(scelta - 1)]));
    lblReclamo->setText(m_reclamo.righe.join(QLatin1Char('\n')));
    lblReclamo->setVisible(!m_reclamo.righe.isEmpty());
    QString errore = m_reclamo.errore;
    if (!errore.isEmpty())
        errore[0] = errore[0].toUpper();
    lblErroreReclamo->setText(errore);
    lblErroreReclamo->setVisible(!errore.isEmpty());

    const bool valido = m_reclamo.valido();
    lstPariMerito->clear();
    if (valido) {
        const Categoria c = *m_reclamo.categoria;
        // The prize it would give: the first of the category nobody holds, as the assignment takes it.
        int numero = 0;
        while (std::any_of(m_reclamo.assegnazioni.begin(), m_reclamo.assegnazioni.end(), [&](const Assegnazione &a) {
            return !a.ritirata && a.categoria == c && a.numero == numero;
        }))
            ++numero;
        QString offerta = QStringLiteral("Assegna: %1").arg(nomeCategoria(c));
        if (m_reclamo.programma.quanti(c) > 1)
            offerta += QStringLiteral(", premio %1 di %2").arg(numero + 1).arg(m_reclamo.programma.quanti(c));
        offerta += QStringLiteral(" (%1)").arg(testoPremio(premioEffettivo(m_reclamo.programma, c, numero)));
        if (!m_reclamo.pariMerito.isEmpty())
            offerta += QStringLiteral("\npari merito: spunta le cartelle che lo hanno chiamato");
        lblAssegna->setText(offerta);
        for (const Vincitore &v : m_reclamo.pariMerito) {
            auto *voce = new QListWidgetItem(QStringLiteral("%1 (chiamata %2)").arg(v.cartella.nome()).arg(v.chiamata),
                                             lstPariMerito);
            voce->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            voce->setCheckState(Qt::Unchecked);
        }
        // As tall as its cards, up to six; more scroll.
        const int righe = std::min(6, lstPariMerito->count());
        if (righe > 0)
            lstPariMerito->setFixedHeight(righe * lstPariMerito->sizeHintForRow(0) + 2 * lstPariMerito->frameWidth());
    }
    lblAssegna->setVisible(valido);
    lstPariMerito->setVisible(valido && !m_reclamo.pariMerito.isEmpty());
    cmdAssegna->setEnabled(valido);
}
