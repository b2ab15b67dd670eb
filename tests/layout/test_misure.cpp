// SPDX-License-Identifier: MIT
#include "misure.h"

#include <QTest>

namespace {

bool vicino(double a, double b, double tolleranza = 0.01)
{
    return std::abs(a - b) <= tolleranza;
}

} // namespace

class TestMisure : public QObject
{
    Q_OBJECT

private slots:
    // The size unit is the whole number of 700-twip steps in the inner width.
    void spessoreContaIPassiDi700Twip_data();
    void spessoreContaIPassiDi700Twip();

    // The metrics of a 10000 x 8800 board.
    void metricheDelTabelloneDiEsempio();

    // Cells run ten to a row with wider gaps between the blocks of three rows.
    void celleNelleLoroPosizioni_data();
    void celleNelleLoroPosizioni();

    // Two horizontal lines split the blocks, two vertical ones the halves and the strip.
    void lineeDividonoISeiBlocchi();

    // Clock above, messages below, in a strip of 8% of the width.
    void etichetteNellaStrisciaADestra();

    // The last row ends with a bottom margin of about 2.27 vertical units.
    void ultimaRigaLasciaIlMargineInBasso();

    // A minimised board gives zero sizes and no failure.
    void dimensioneZeroDaCelleVuote();

    // The pop-up follows the board's outer size, its picture the inner one.
    void popupSegueIlTabellone();

    // Comment font: 1.9 points per unit.
    void carattereDelCommento();
};

void TestMisure::spessoreContaIPassiDi700Twip_data()
{
    QTest::addColumn<double>("larghezza");
    QTest::addColumn<int>("atteso");
    QTest::newRow("699") << 699.0 << 0;
    QTest::newRow("700") << 700.0 << 1;
    QTest::newRow("1399") << 1399.0 << 1;
    QTest::newRow("10000") << 10000.0 << 14;
    QTest::newRow("15000") << 15000.0 << 21;
    QTest::newRow("15360") << 15360.0 << 21;
    QTest::newRow("1920 pixels") << 28800.0 << 41;
    QTest::newRow("minimised") << 0.0 << 0;
}

void TestMisure::spessoreContaIPassiDi700Twip()
{
    QFETCH(double, larghezza);
    QFETCH(int, atteso);
    QCOMPARE(int(calcolaSpessore(larghezza)), atteso);
}

void TestMisure::metricheDelTabelloneDiEsempio()
{
    const Misure m = calcolaMisure(10000, 8800);
    QCOMPARE(m.UnitaX, 100.0f);
    QCOMPARE(m.UnitaY, 100.0f);
    QCOMPARE(m.PassoColonna, 910.0f);
    QCOMPARE(m.LarghezzaCasella, 610.0f);
    QVERIFY(vicino(m.PassoRiga, 947.0588));
    QVERIFY(vicino(m.AltezzaCasella, 647.0588));
    QCOMPARE(m.BordoGriglia, 9150.0f);
    QCOMPARE(m.InizioStriscia, 9200.0f);
}

void TestMisure::celleNelleLoroPosizioni_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::newRow("1") << 1 << 200.0 << 150.0;
    QTest::newRow("10") << 10 << 8390.0 << 150.0;
    QTest::newRow("11") << 11 << 200.0 << 1097.06;
    QTest::newRow("31 starts the second block") << 31 << 200.0 << 3091.18;
    QTest::newRow("45") << 45 << 3840.0 << 4038.24;
    QTest::newRow("46") << 46 << 4750.0 << 4038.24;
    QTest::newRow("61 starts the third block") << 61 << 200.0 << 6032.35;
    QTest::newRow("90") << 90 << 8390.0 << 7926.47;
}

void TestMisure::celleNelleLoroPosizioni()
{
    QFETCH(int, numero);
    QFETCH(double, left);
    QFETCH(double, top);
    const Impaginazione imp = impagina(10000, 8800);
    const RettangoloControllo &cella = imp.celle[numero];
    QVERIFY2(vicino(cella.left, left), qPrintable(QString::number(cella.left)));
    QVERIFY2(vicino(cella.top, top), qPrintable(QString::number(cella.top)));
    QCOMPARE(cella.width, 610.0);
    QVERIFY(vicino(cella.height, 647.0588));
}

void TestMisure::lineeDividonoISeiBlocchi()
{
    const Impaginazione imp = impagina(10000, 8800);
    QCOMPARE(imp.linee[0].p1().x(), 0.0);
    QVERIFY(vicino(imp.linee[0].p1().y(), 2891.18));
    QCOMPARE(imp.linee[0].p2().x(), 9150.0);
    QCOMPARE(imp.linee[0].p2().y(), imp.linee[0].p1().y());
    QCOMPARE(imp.linee[1].p1().x(), 0.0);
    QVERIFY(vicino(imp.linee[1].p1().y(), 5832.35));
    QCOMPARE(imp.linee[1].p2().x(), 9150.0);
    QCOMPARE(imp.linee[2], QLineF(4600, 0, 4600, 8800));
    QCOMPARE(imp.linee[3], QLineF(9150, 0, 9150, 8800));
    // Each horizontal line lies in the gap between the rows it separates.
    const double fondoRiga3 = imp.celle[21].top + imp.celle[21].height;
    QVERIFY(imp.linee[0].p1().y() > fondoRiga3 && imp.linee[0].p1().y() < imp.celle[31].top);
    const double fondoRiga6 = imp.celle[51].top + imp.celle[51].height;
    QVERIFY(imp.linee[1].p1().y() > fondoRiga6 && imp.linee[1].p1().y() < imp.celle[61].top);
}

void TestMisure::etichetteNellaStrisciaADestra()
{
    const Impaginazione imp = impagina(10000, 8800);
    QCOMPARE(imp.lblDX.left, 9200.0);
    QCOMPARE(imp.lblDX.top, 0.0);
    QCOMPARE(imp.lblDX.width, 800.0);
    QCOMPARE(imp.lblDX.height, 4400.0);
    QCOMPARE(imp.lblDX2.left, 9200.0);
    QCOMPARE(imp.lblDX2.top, 4400.0);
    QCOMPARE(imp.lblDX2.width, 800.0);
    QCOMPARE(imp.lblDX2.height, 4400.0);
}

void TestMisure::ultimaRigaLasciaIlMargineInBasso()
{
    const Impaginazione imp = impagina(10000, 8800);
    const double fondo = imp.celle[81].top + imp.celle[81].height;
    QVERIFY(vicino(fondo, 8573.53));
    QVERIFY(vicino((8800 - fondo) / imp.misure.UnitaY, 2.26, 0.02));
}

void TestMisure::dimensioneZeroDaCelleVuote()
{
    const Impaginazione imp = impagina(0, 0);
    for (int n = 1; n <= 90; ++n) {
        QCOMPARE(imp.celle[n].width, 0.0);
        QCOMPARE(imp.celle[n].height, 0.0);
    }
    QCOMPARE(imp.lblDX.width, 0.0);
    QCOMPARE(imp.lblDX2.height, 0.0);
}

void TestMisure::popupSegueIlTabellone()
{
    const MisureTip tip = misureTip({10120, 9300, 10000, 8800});
    QVERIFY(vicino(tip.larghezzaEsterna, 6746.67));
    QVERIFY(vicino(tip.altezzaEsterna, 8060));
    QVERIFY(vicino(tip.larghezzaNumero, 6666.67));
    QVERIFY(vicino(tip.altezzaNumero, 5866.67));
    QVERIFY(vicino(tip.larghezzaCommento, 6666.67));
    QVERIFY(vicino(tip.topCommento, 5866.67));
    QVERIFY(vicino(tip.altezzaCommento, 2200));
}

void TestMisure::carattereDelCommento()
{
    QVERIFY(vicino(dimensioneCommento(calcolaSpessore(15000)), 39.9, 1e-9));
    QCOMPARE(dimensioneCommento(0), 0.0);
}

QTEST_GUILESS_MAIN(TestMisure)
#include "test_misure.moc"
