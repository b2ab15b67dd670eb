// SPDX-License-Identifier: MIT
#include "misure.h"

#include <QTest>

#include <cmath>

namespace {

// To hundredths of a twip, so that sizes computed in single precision compare as lists.
QList<double> centesimi(std::initializer_list<double> valori)
{
    QList<double> arrotondati;
    for (const double v : valori)
        arrotondati << std::round(v * 100) / 100;
    return arrotondati;
}

} // namespace

class TestMisure : public QObject
{
    Q_OBJECT

private slots:
    // The unit is the whole number of 700-twip steps in the inner width. On a 10000 x 8800 board:
    // ten cells to a row, margins of 2 and 1.5 units, wider gaps between blocks of three rows, the
    // separator lines and the label strip; the pop-up follows the board's outer size, its picture
    // and comment the inner one. A minimised board gives zero sizes and no failure.
    void misureDelTabellone()
    {
        QCOMPARE((QList<int>{calcolaSpessore(699), calcolaSpessore(700)}), (QList<int>{0, 1}));
        const Impaginazione imp = impagina(10000, 8800);
        const Misure &m = imp.misure;
        QCOMPARE(centesimi({m.UnitaX, m.UnitaY, m.PassoColonna, m.PassoRiga}), (QList<double>{100, 100, 910, 947.06}));
        const RettangoloControllo &c1 = imp.celle[1], &c61 = imp.celle[61], &c90 = imp.celle[90];
        QCOMPARE(centesimi({c1.left, c1.top, c61.left, c61.top, c90.left, c90.top, c90.width, c90.height}),
                 (QList<double>{200, 150, 200, 6032.35, 8390, 7926.47, 610, 647.06}));
        QList<double> linee;
        for (const QLineF &l : imp.linee)
            linee << centesimi({l.x1(), l.y1(), l.x2(), l.y2()});
        QCOMPARE(linee, (QList<double>{0, 2891.18, 9150, 2891.18, 0, 5832.35, 9150, 5832.35,
                                       4600, 0, 4600, 8800, 9150, 0, 9150, 8800}));
        const RettangoloControllo &s = imp.lblDX, &s2 = imp.lblDX2;
        QCOMPARE(centesimi({s.left, s.top, s.width, s.height, s2.left, s2.top, s2.width, s2.height}),
                 (QList<double>{9200, 0, 800, 4400, 9200, 4400, 800, 4400}));
        const MisureTip tip = misureTip({10120, 9300, 10000, 8800});
        QCOMPARE(centesimi({tip.larghezzaEsterna, tip.altezzaEsterna, tip.larghezzaNumero, tip.altezzaNumero,
                            tip.topCommento, tip.larghezzaCommento, tip.altezzaCommento}),
                 (QList<double>{6746.67, 8060, 6666.67, 5866.67, 5866.67, 6666.67, 2200}));

        const Impaginazione vuota = impagina(0, 0);
        QCOMPARE(centesimi({vuota.celle[90].width, vuota.celle[90].height, vuota.lblDX.width, vuota.lblDX2.height}),
                 QList<double>(4, 0));
    }
};

QTEST_GUILESS_MAIN(TestMisure)
#include "test_misure.moc"
