// SPDX-License-Identifier: MIT
#include "misure.h"

#include <QTest>

namespace {

bool vicino(double a, double b)
{
    return std::abs(a - b) <= 0.01;
}

} // namespace

class TestMisure : public QObject
{
    Q_OBJECT

private slots:
    // The size unit is the whole number of 700-twip steps in the inner width.
    void spessoreContaIPassiDi700Twip_data();
    void spessoreContaIPassiDi700Twip();

    // Ten cells to a row, margins of 2 and 1.5 units, wider gaps between blocks.
    void celleNelleLoroPosizioni_data();
    void celleNelleLoroPosizioni();

    // Metrics, separator lines and the label strip of a 10000 x 8800 board.
    void lineeEStrisciaDelTabelloneDiEsempio();

    // A minimised board gives zero sizes and no failure.
    void dimensioneZeroDaCelleVuote();

    // The pop-up follows the board's outer size, its picture and comment the inner one.
    void popupSegueIlTabellone();
};

void TestMisure::spessoreContaIPassiDi700Twip_data()
{
    QTest::addColumn<double>("larghezza");
    QTest::addColumn<int>("atteso");
    QTest::newRow("699") << 699.0 << 0;
    QTest::newRow("700") << 700.0 << 1;
    QTest::newRow("10000") << 10000.0 << 14;
    QTest::newRow("minimised") << 0.0 << 0;
}

void TestMisure::spessoreContaIPassiDi700Twip()
{
    QFETCH(double, larghezza);
    QFETCH(int, atteso);
    QCOMPARE(int(calcolaSpessore(larghezza)), atteso);
}

void TestMisure::celleNelleLoroPosizioni_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::newRow("1") << 1 << 200.0 << 150.0;
    QTest::newRow("10") << 10 << 8390.0 << 150.0;
    QTest::newRow("46") << 46 << 4750.0 << 4038.24;
    QTest::newRow("61 starts the third block") << 61 << 200.0 << 6032.35;
    QTest::newRow("90") << 90 << 8390.0 << 7926.47;
}

void TestMisure::celleNelleLoroPosizioni()
{
    QFETCH(int, numero);
    QFETCH(double, left);
    QFETCH(double, top);
    const RettangoloControllo cella = impagina(10000, 8800).celle[numero];
    QVERIFY2(vicino(cella.left, left) && vicino(cella.top, top),
             qPrintable(QStringLiteral("%1, %2").arg(cella.left).arg(cella.top)));
    QCOMPARE(cella.width, 610.0);
    QVERIFY(vicino(cella.height, 647.0588));
}

void TestMisure::lineeEStrisciaDelTabelloneDiEsempio()
{
    const Impaginazione imp = impagina(10000, 8800);
    QCOMPARE(imp.misure.UnitaX, 100.0f);
    QCOMPARE(imp.misure.UnitaY, 100.0f);
    QCOMPARE(imp.misure.PassoColonna, 910.0f);
    QVERIFY(vicino(imp.misure.PassoRiga, 947.0588));
    QVERIFY(vicino(imp.linee[0].y1(), 2891.18) && imp.linee[0].y1() == imp.linee[0].y2());
    QVERIFY(vicino(imp.linee[1].y1(), 5832.35) && imp.linee[1].y1() == imp.linee[1].y2());
    QCOMPARE(imp.linee[0].x1(), 0.0);
    QCOMPARE(imp.linee[1].x2(), 9150.0);
    QCOMPARE(imp.linee[2], QLineF(4600, 0, 4600, 8800));
    QCOMPARE(imp.linee[3], QLineF(9150, 0, 9150, 8800));
    QCOMPARE((QList<double>{imp.lblDX.left, imp.lblDX.top, imp.lblDX.width, imp.lblDX.height}),
             (QList<double>{9200, 0, 800, 4400}));
    QCOMPARE((QList<double>{imp.lblDX2.left, imp.lblDX2.top, imp.lblDX2.width, imp.lblDX2.height}),
             (QList<double>{9200, 4400, 800, 4400}));
    // The last row leaves about 2.27 vertical units at the bottom.
    QVERIFY(vicino(imp.celle[81].top + imp.celle[81].height, 8573.53));
}

void TestMisure::dimensioneZeroDaCelleVuote()
{
    const Impaginazione imp = impagina(0, 0);
    for (int n = 1; n <= 90; ++n)
        QVERIFY(imp.celle[n].width == 0 && imp.celle[n].height == 0);
    QVERIFY(imp.lblDX.width == 0 && imp.lblDX2.height == 0);
}

void TestMisure::popupSegueIlTabellone()
{
    const MisureTip tip = misureTip({10120, 9300, 10000, 8800});
    QVERIFY(vicino(tip.larghezzaEsterna, 6746.67) && vicino(tip.altezzaEsterna, 8060));
    QVERIFY(vicino(tip.larghezzaNumero, 6666.67) && vicino(tip.altezzaNumero, 5866.67));
    QVERIFY(vicino(tip.topCommento, 5866.67) && vicino(tip.altezzaCommento, 2200));
    QVERIFY(vicino(tip.larghezzaCommento, 6666.67));
    QVERIFY(vicino(dimensioneCommento(calcolaSpessore(15000)), 39.9));
}

QTEST_GUILESS_MAIN(TestMisure)
#include "test_misure.moc"
