// SPDX-License-Identifier: MIT
#include "frmpremi.h"
#include "prova_finestre.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// A category's row as typed: how many, what, the percentage.
struct Scritto {
    int quanti = 0;
    QString premi;
    double quota = 0;
};
using Scritti = QList<Scritto>; // ambo … tombolino

Premio euro(qint64 centesimi) { return {QString(), centesimi}; }
Premio testo(const QString &t, qint64 centesimi = 0) { return {t, centesimi}; }

Programma programma(const QList<QList<Premio>> &premi, qint64 montepremi = 0, const QList<int> &quote = {},
                    bool tabellone = false)
{
    Programma p;
    for (qsizetype i = 0; i < premi.size(); ++i)
        p.categorie[std::size_t(i)].premi = premi.at(i);
    for (qsizetype i = 0; i < quote.size(); ++i)
        p.categorie[std::size_t(i)].quota = quote.at(i);
    p.montepremi = montepremi;
    p.tabellone = tabellone;
    return p;
}

void scrivi(frmPremi &d, const Scritti &scritti, const QString &montepremi, bool tabellone)
{
    d.txtMontepremi->setText(montepremi);
    for (qsizetype i = 0; i < NumeroCategorie; ++i) {
        const Scritto s = i < scritti.size() ? scritti.at(i) : Scritto{};
        d.spnQuanti[std::size_t(i)]->setValue(s.quanti);
        d.txtPremi[std::size_t(i)]->setText(s.premi);
        d.spnQuota[std::size_t(i)]->setValue(s.quota);
    }
    d.chkTabellone->setChecked(tabellone);
}

} // namespace

Q_DECLARE_METATYPE(Programma)

class TestFrmPremi : public QObject
{
    Q_OBJECT

private slots:
    // What is typed becomes the game's programme and the next games' default on OK; the pot's
    // amounts are shown as they will be given, to the cent; a programme that cannot be is told
    // and nothing is kept.
    void salvaProgramma_data();
    void salvaProgramma();
    // A programme kept opens as it was written.
    void riapreComeScritto();
    // The game's own refusal (a prize already given cannot go) is told; the window stays.
    void rifiutoDellaPartita();
};

void TestFrmPremi::salvaProgramma_data()
{
    QTest::addColumn<Scritti>("scritti");
    QTest::addColumn<QString>("montepremi");
    QTest::addColumn<bool>("tabellone");
    QTest::addColumn<Programma>("atteso"); // empty: nothing kept
    QTest::addColumn<QStringList>("importi"); // the amounts shown, ambo … tombolino
    QTest::addColumn<QString>("errore");

    QTest::newRow("amounts, a text, an amount with a text")
        << Scritti{{1, "10", 0}, {1, "un salame", 0}, {0, "", 0}, {3, "20; 15,50", 0}, {1, "una bicicletta (150 €)", 0}}
        << "" << true
        << programma({{euro(1000)}, {testo("un salame")}, {}, {euro(2000), euro(1550), euro(1550)},
                      {testo("una bicicletta", 15000)}},
                     0, {}, true)
        << QStringList{"10,00 €", "", "non si gioca", "20,00 €, 15,50 €, 15,50 €", "150,00 €", "non si gioca"} << "";
    QTest::newRow("a pot split by percentage, cents adding up")
        << Scritti{{3, "", 10}, {0, "", 0}, {0, "", 0}, {1, "", 30}, {1, "una coppa", 60}} << "100" << false
        << programma({QList<Premio>(3), {}, {}, QList<Premio>(1), {testo("una coppa")}}, 10000, {1000, 0, 0, 3000, 6000})
        << QStringList{"3,34 €, 3,33 €, 3,33 €", "non si gioca", "non si gioca", "30,00 €", "60,00 €", "non si gioca"}
        << "";
    QTest::newRow("percentages short of the pot")
        << Scritti{{1, "", 40}, {0, "", 0}, {0, "", 0}, {0, "", 0}, {1, "", 50}} << "200" << false << Programma{}
        << QStringList{} << "Le percentuali dei premi fanno 90%: devono fare 100%.";
    QTest::newRow("an amount of its own with a pot")
        << Scritti{{1, "5", 100}} << "50" << false << Programma{} << QStringList{}
        << "Con il montepremi gli importi dei premi sono calcolati dalle percentuali: togli l'importo scritto per ambo.";
    QTest::newRow("a pot that is no amount")
        << Scritti{{1, "", 100}} << "cento" << false << Programma{} << QStringList{}
        << "Il montepremi non è un importo: scrivilo come 250 o 250,50.";
}

void TestFrmPremi::salvaProgramma()
{
    QFETCH(Scritti, scritti);
    QFETCH(QString, montepremi);
    QFETCH(bool, tabellone);
    QFETCH(Programma, atteso);
    QFETCH(QStringList, importi);
    QFETCH(QString, errore);
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione + righe({5, 17}));
    QStringList visti;
    QString erroreVisto;
    bool okAttivo = false;
    bool chiusa = false;
    QVERIFY(allaModale<frmPremi>([&] { chiusa = apriProgrammaPremi(t.partita(), banco.richieste, &t); },
                                 [&](frmPremi *d) {
                                     scrivi(*d, scritti, montepremi, tabellone);
                                     for (const QLabel *l : d->lblImporti)
                                         visti << l->text();
                                     erroreVisto = d->lblErrore->text();
                                     okAttivo = d->cmdOK->isEnabled();
                                     QTest::mouseClick(d->cmdOK, Qt::LeftButton);
                                     if (d->isVisible())
                                         d->reject();
                                 }));
    QCOMPARE(erroreVisto, errore);
    QCOMPARE(okAttivo, errore.isEmpty());
    QCOMPARE(chiusa, errore.isEmpty());
    QCOMPARE(t.partita().storia().corrente.programma, atteso);
    // The default for the next games, kept in the story's file.
    QCOMPARE(ArchivioStoria(banco.cartella.path()).leggi().programma, atteso);
    if (errore.isEmpty())
        QCOMPARE(visti, importi);
    QVERIFY(banco.richieste.domande.isEmpty());
}

void TestFrmPremi::riapreComeScritto()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione);
    const Programma p = programma({{euro(1000)}, {}, {}, {testo("un salame"), euro(2050), euro(2050)},
                                   {testo("una bicicletta", 15000)}, {testo("una torta")}},
                                  0, {}, true);
    QCOMPARE(t.partita().impostaProgramma(p), QString());
    frmPremi d(t.partita(), banco.richieste, &t);
    QCOMPARE(d.txtPremi[indice(Categoria::Cinquina)]->text(), QStringLiteral("un salame; 20,50 €"));
    QCOMPARE(d.txtPremi[indice(Categoria::Tombola)]->text(), QStringLiteral("una bicicletta (150,00 €)"));
    QCOMPARE(d.spnQuanti[indice(Categoria::Cinquina)]->value(), 3);
    QVERIFY(d.chkTabellone->isChecked());
    QCOMPARE(d.programma(), std::optional<Programma>(p));
}

void TestFrmPremi::rifiutoDellaPartita()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione + righe({1, 2}));
    const Programma p = programma({{euro(1000)}}, 0, {}, true);
    QCOMPARE(t.partita().impostaProgramma(p), QString());
    const StoriaPartita &storia = t.partita().storia().corrente;
    QCOMPARE(t.partita().assegna(reclamo(storia, cartellaDelTabellone(1), {})), QString());
    banco.richieste.risposte = {true};
    frmPremi d(t.partita(), banco.richieste, &t);
    d.show();
    d.spnQuanti[indice(Categoria::Ambo)]->setValue(0);
    d.spnQuanti[indice(Categoria::Terno)]->setValue(1);
    QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    QCOMPARE(banco.richieste.domande.size(), 1);
    QCOMPARE(banco.richieste.domande.constFirst().titolo, QStringLiteral("Premi"));
    QVERIFY2(banco.richieste.domande.constFirst().testo.startsWith(QStringLiteral("Ambo: il premio 1 è già stato assegnato")),
             qPrintable(banco.richieste.domande.constFirst().testo));
    QVERIFY(d.isVisible());
    QCOMPARE(t.partita().storia().corrente.programma, p);
}

QTEST_MAIN(TestFrmPremi)
#include "test_frmpremi.moc"
