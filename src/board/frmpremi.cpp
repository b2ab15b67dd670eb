// SPDX-License-Identifier: MIT
#include "frmpremi.h"

#include "partita.h"
#include "richieste.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const QString Titolo = QStringLiteral("Premi");

QString maiuscola(QString testo)
{
    if (!testo.isEmpty())
        testo[0] = testo[0].toUpper();
    return testo;
}

// One prize as the field shows it: "un prosciutto", "50,00 €", "un prosciutto (50,00 €)".
QString testoUnPremio(const Premio &p)
{
    if (p.centesimi == 0)
        return p.testo;
    const QString euro = testoEuro(p.centesimi);
    return p.testo.isEmpty() ? euro : QStringLiteral("%1 (%2)").arg(p.testo, euro);
}

Premio leggiUnPremio(const QString &scritto)
{
    const QString testo = scritto.trimmed();
    if (testo.isEmpty())
        return {};
    if (const std::optional<qint64> euro = leggiEuro(testo))
        return {QString(), *euro};
    static const QRegularExpression conImporto(QStringLiteral("^(.*\\S)\\s*\\(([^()]*)\\)$"));
    if (const QRegularExpressionMatch m = conImporto.match(testo); m.hasMatch())
        if (const std::optional<qint64> euro = leggiEuro(m.captured(2).trimmed()))
            return {m.captured(1), *euro};
    return {testo, 0};
}

// "3 × 12,50 €", or the amounts one by one while they differ (a few, then how many more).
QString testoImporti(const QList<qint64> &importi)
{
    if (importi.isEmpty())
        return {};
    if (std::all_of(importi.begin(), importi.end(), [&](qint64 i) { return i == importi.constFirst(); }))
        return importi.size() == 1 ? testoEuro(importi.constFirst())
                                   : QStringLiteral("%1 × %2").arg(importi.size()).arg(testoEuro(importi.constFirst()));
    QStringList parti;
    for (qsizetype i = 0; i < importi.size() && i < 4; ++i)
        parti.append(testoEuro(importi.at(i)));
    if (importi.size() > 4)
        parti.append(QStringLiteral("… (%1 premi)").arg(importi.size()));
    return parti.join(QStringLiteral(", "));
}

} // namespace

QString frmPremi::testoPremi(const QList<Premio> &premi)
{
    // The last one written stands for the prizes after it: identical ones at the end go unwritten.
    qsizetype fine = premi.size();
    while (fine > 1 && premi.at(fine - 1) == premi.at(fine - 2))
        --fine;
    QStringList parti;
    for (qsizetype i = 0; i < fine; ++i)
        parti.append(testoUnPremio(premi.at(i)));
    if (std::all_of(parti.begin(), parti.end(), [](const QString &p) { return p.isEmpty(); }))
        return {};
    return parti.join(QStringLiteral("; "));
}

QList<Premio> frmPremi::leggiPremi(const QString &testo, int quanti)
{
    QList<Premio> scritti;
    for (const QString &parte : testo.split(QLatin1Char(';')))
        scritti.append(leggiUnPremio(parte));
    while (scritti.size() > 1 && scritti.constLast() == Premio{})
        scritti.removeLast();
    QList<Premio> premi;
    for (int i = 0; i < quanti; ++i)
        premi.append(scritti.at(std::min<qsizetype>(i, scritti.size() - 1)));
    return premi;
}

frmPremi::frmPremi(Partita &partita, Richieste &richieste, QWidget *proprietario)
    : QDialog(proprietario, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_partita(partita), m_richieste(richieste)
{
    setObjectName(QStringLiteral("frmPremi"));
    setWindowTitle(Titolo);
    const Programma attuale = partita.storia().corrente.programma;
    auto *colonna = new QVBoxLayout(this);

    auto *spiegazione = new QLabel(
        QStringLiteral("Quanti premi per categoria (0: non si gioca) e che cosa sono: un testo o un importo, "
                       "separati da « ; » uno per premio; l'ultimo vale per i premi che restano."),
        this);
    spiegazione->setWordWrap(true);
    colonna->addWidget(spiegazione);

    auto *riga = new QHBoxLayout;
    auto *etichetta = new QLabel(QStringLiteral("Montepremi (€, vuoto: nessuno):"), this);
    txtMontepremi = new QLineEdit(this);
    txtMontepremi->setObjectName(QStringLiteral("txtMontepremi"));
    etichetta->setBuddy(txtMontepremi);
    if (attuale.montepremi > 0)
        txtMontepremi->setText(testoEuro(attuale.montepremi));
    riga->addWidget(etichetta);
    riga->addWidget(txtMontepremi, 1);
    colonna->addLayout(riga);

    auto *griglia = new QGridLayout;
    const QStringList intestazioni{QStringLiteral("Categoria"), QStringLiteral("Premi"), QStringLiteral("Che cosa"),
                                   QStringLiteral("% del montepremi"), QStringLiteral("Importi")};
    for (int c = 0; c < intestazioni.size(); ++c) {
        auto *intestazione = new QLabel(intestazioni.at(c), this);
        QFont font = intestazione->font();
        font.setBold(true);
        intestazione->setFont(font);
        griglia->addWidget(intestazione, 0, c);
    }
    for (const Categoria c : Categorie) {
        const auto i = indice(c);
        const int r = int(i) + 1;
        const QString nome = maiuscola(nomeCategoria(c));
        auto *lbl = new QLabel(nome, this);
        griglia->addWidget(lbl, r, 0);
        spnQuanti[i] = new QSpinBox(this);
        spnQuanti[i]->setObjectName(QStringLiteral("spnQuanti_") + nomeCategoria(c));
        spnQuanti[i]->setRange(0, MassimoPremiPerCategoria);
        spnQuanti[i]->setValue(attuale.quanti(c));
        spnQuanti[i]->setAccessibleName(QStringLiteral("Premi di %1").arg(nomeCategoria(c)));
        lbl->setBuddy(spnQuanti[i]);
        griglia->addWidget(spnQuanti[i], r, 1);
        txtPremi[i] = new QLineEdit(testoPremi(attuale[c].premi), this);
        txtPremi[i]->setObjectName(QStringLiteral("txtPremi_") + nomeCategoria(c));
        txtPremi[i]->setAccessibleName(QStringLiteral("Che cosa vince %1").arg(conArticolo(c)));
        txtPremi[i]->setMinimumWidth(260);
        txtPremi[i]->setPlaceholderText(QStringLiteral("es. 10; un salame"));
        griglia->addWidget(txtPremi[i], r, 2);
        spnQuota[i] = new QDoubleSpinBox(this);
        spnQuota[i]->setObjectName(QStringLiteral("spnQuota_") + nomeCategoria(c));
        spnQuota[i]->setRange(0, 100);
        spnQuota[i]->setDecimals(2);
        spnQuota[i]->setSuffix(QStringLiteral(" %"));
        spnQuota[i]->setValue(attuale[c].quota / 100.0);
        spnQuota[i]->setAccessibleName(QStringLiteral("Percentuale di %1").arg(nomeCategoria(c)));
        griglia->addWidget(spnQuota[i], r, 3);
        lblImporti[i] = new QLabel(this);
        lblImporti[i]->setObjectName(QStringLiteral("lblImporti_") + nomeCategoria(c));
        lblImporti[i]->setMinimumWidth(200);
        griglia->addWidget(lblImporti[i], r, 4);
        connect(spnQuanti[i], &QSpinBox::valueChanged, this, &frmPremi::aggiorna);
        connect(txtPremi[i], &QLineEdit::textChanged, this, &frmPremi::aggiorna);
        connect(spnQuota[i], &QDoubleSpinBox::valueChanged, this, &frmPremi::aggiorna);
    }
    colonna->addLayout(griglia);

    lblTotale = new QLabel(this);
    lblTotale->setObjectName(QStringLiteral("lblTotale"));
    colonna->addWidget(lblTotale);
    chkTabellone = new QCheckBox(QStringLiteral("Il tabellone gioca (tabellone 1 … tabellone 6)"), this);
    chkTabellone->setObjectName(QStringLiteral("chkTabellone"));
    chkTabellone->setChecked(attuale.tabellone);
    colonna->addWidget(chkTabellone);
    lblErrore = new QLabel(this);
    lblErrore->setObjectName(QStringLiteral("lblErrore"));
    lblErrore->setWordWrap(true);
    lblErrore->setStyleSheet(QStringLiteral("QLabel { color: #b71c1c; font-weight: bold; }"));
    colonna->addWidget(lblErrore);

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    pulsanti->addWidget(cmdOK);
    pulsanti->addWidget(cmdAnnulla);
    colonna->addLayout(pulsanti);
    connect(cmdOK, &QPushButton::clicked, this, &frmPremi::conferma);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(txtMontepremi, &QLineEdit::textChanged, this, &frmPremi::aggiorna);
    connect(chkTabellone, &QCheckBox::toggled, this, &frmPremi::aggiorna);
    aggiorna();
}

std::optional<Programma> frmPremi::programma() const
{
    Programma p;
    const QString montepremi = txtMontepremi->text().trimmed();
    if (!montepremi.isEmpty()) {
        const std::optional<qint64> centesimi = leggiEuro(montepremi);
        if (!centesimi)
            return std::nullopt;
        p.montepremi = *centesimi;
    }
    for (const Categoria c : Categorie) {
        const auto i = indice(c);
        p[c].premi = leggiPremi(txtPremi[i]->text(), spnQuanti[i]->value());
        // Without a pot the percentages are left as typed but not kept.
        p[c].quota = p.montepremi > 0 && spnQuanti[i]->value() > 0 ? int(std::lround(spnQuota[i]->value() * 100)) : 0;
    }
    p.tabellone = chkTabellone->isChecked();
    return p;
}

void frmPremi::aggiorna()
{
    const std::optional<Programma> p = programma();
    const bool conMontepremi = p && p->montepremi > 0;
    for (const Categoria c : Categorie)
        spnQuota[indice(c)]->setEnabled(conMontepremi && spnQuanti[indice(c)]->value() > 0);
    if (!p) {
        lblErrore->setText(QStringLiteral("Il montepremi non è un importo: scrivilo come 250 o 250,50."));
        cmdOK->setEnabled(false);
        return;
    }
    const QString errore = erroreProgramma(*p);
    lblErrore->setText(errore);
    cmdOK->setEnabled(errore.isEmpty());
    qint64 totale = 0;
    for (const Categoria c : Categorie) {
        QList<qint64> importi;
        if (errore.isEmpty() || !conMontepremi)
            for (int n = 0; n < p->quanti(c); ++n)
                if (const qint64 euro = premioEffettivo(*p, c, n).centesimi; euro > 0)
                    importi.append(euro);
        totale = std::accumulate(importi.begin(), importi.end(), totale);
        lblImporti[indice(c)]->setText(p->quanti(c) == 0 ? QStringLiteral("non si gioca") : testoImporti(importi));
    }
    lblTotale->setText(totale > 0 ? QStringLiteral("In denaro, in tutto: %1").arg(testoEuro(totale)) : QString());
}

void frmPremi::conferma()
{
    const std::optional<Programma> p = programma();
    if (!p)
        return;
    if (const QString errore = m_partita.impostaProgramma(*p); !errore.isEmpty()) {
        m_richieste.messaggio(this, maiuscola(errore), Richieste::Pulsanti::Ok, Titolo);
        return;
    }
    accept();
}

bool apriProgrammaPremi(Partita &partita, Richieste &richieste, QWidget *proprietario)
{
    frmPremi finestra(partita, richieste, proprietario);
    return finestra.exec() == QDialog::Accepted;
}
