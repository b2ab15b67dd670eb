// SPDX-License-Identifier: MIT
#include "superficie.h"

#include <QTest>

class TestSuperficie : public QObject
{
    Q_OBJECT

private slots:
    // Exact halves go to the even neighbour, everything else to the nearest.
    void arrotondamentoPortaLeMetaAlPari_data();
    void arrotondamentoPortaLeMetaAlPari();

    // The frame runs one unit outside the control, far edges from the rounded corner.
    void angoliDellaCorniceStannoFuoriDalControllo_data();
    void angoliDellaCorniceStannoFuoriDalControllo();

    // Raised frames: dark grey left and top, black right and bottom, as one pen path.
    void corniceInRilievoHaBordiChiariSopraEScuriSotto();
    void corniceIncavataScambiaIColori();

    // The surface's own pen is the same after a frame as before it.
    void corniceRipristinaColoreELarghezza();

    // Width 0 comes from boards narrower than 700 twips; it still draws at 1 pixel.
    void larghezzaZeroDiventaUnPixel();

    // A 4K board and beyond must not wrap around.
    void coordinateGrandiNonTraboccano();

    // Clearing removes what was drawn and starts the pen from the origin.
    void pulireSvuotaLaSuperficie();
};

void TestSuperficie::arrotondamentoPortaLeMetaAlPari_data()
{
    QTest::addColumn<double>("valore");
    QTest::addColumn<qint64>("atteso");
    QTest::newRow("99.5 to 100") << 99.5 << qint64(100);
    QTest::newRow("100.5 to 100") << 100.5 << qint64(100);
    QTest::newRow("101.5 to 102") << 101.5 << qint64(102);
    QTest::newRow("-0.5 to 0") << -0.5 << qint64(0);
    QTest::newRow("-1.5 to -2") << -1.5 << qint64(-2);
    QTest::newRow("199.4 to 199") << 199.4 << qint64(199);
    QTest::newRow("199.6 to 200") << 199.6 << qint64(200);
}

void TestSuperficie::arrotondamentoPortaLeMetaAlPari()
{
    QFETCH(double, valore);
    QFETCH(qint64, atteso);
    QCOMPARE(qint64(arrotondaPari(valore)), atteso);
}

void TestSuperficie::angoliDellaCorniceStannoFuoriDalControllo_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<qint64>("x1");
    QTest::addColumn<qint64>("y1");
    QTest::addColumn<qint64>("x2");
    QTest::addColumn<qint64>("y2");
    QTest::newRow("cell of the first row") << 200.0 << 150.0 << 610.0 << 640.0 << qint64(199) << qint64(149)
                                           << qint64(811) << qint64(791);
    QTest::newRow("left 100.5 rounds to even 100") << 100.5 << 0.0 << 10.0 << 10.0 << qint64(100) << qint64(-1)
                                                   << qint64(112) << qint64(11);
    QTest::newRow("left 101.5 rounds to even 100") << 101.5 << 0.0 << 10.0 << 10.0 << qint64(100) << qint64(-1)
                                                   << qint64(112) << qint64(11);
    QTest::newRow("fractional sizes measured from the rounded corner")
        << 3840.0 << 4038.2353 << 610.0 << 647.0588 << qint64(3839) << qint64(4037) << qint64(4451) << qint64(4686);
}

void TestSuperficie::angoliDellaCorniceStannoFuoriDalControllo()
{
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(qint64, x1);
    QFETCH(qint64, y1);
    QFETCH(qint64, x2);
    QFETCH(qint64, y2);
    const AngoliCornice a = angoliCornice({left, top, width, height});
    QCOMPARE(qint64(a.x1), x1);
    QCOMPARE(qint64(a.y1), y1);
    QCOMPARE(qint64(a.x2), x2);
    QCOMPARE(qint64(a.y2), y2);
}

void TestSuperficie::corniceInRilievoHaBordiChiariSopraEScuriSotto()
{
    Superficie s;
    DisegnaCornice(s, {200, 150, 610, 640}, true, 5);
    const auto &seg = s.segmenti();
    QCOMPARE(seg.size(), std::size_t(4));
    const QPointF bs(199, 791), as(199, 149), ad(811, 149), bd(811, 791);
    QCOMPARE(seg[0].da, bs);
    QCOMPARE(seg[0].a, as);
    QCOMPARE(seg[1].da, as);
    QCOMPARE(seg[1].a, ad);
    QCOMPARE(seg[2].da, ad);
    QCOMPARE(seg[2].a, bd);
    QCOMPARE(seg[3].da, bd);
    QCOMPARE(seg[3].a, bs);
    QCOMPARE(seg[0].colore, ColoreGrigioScuro);
    QCOMPARE(seg[1].colore, ColoreGrigioScuro);
    QCOMPARE(seg[2].colore, ColoreNero);
    QCOMPARE(seg[3].colore, ColoreNero);
    for (const Segmento &linea : seg)
        QCOMPARE(linea.larghezza, 5);
    QCOMPARE(s.posizione(), bs);
}

void TestSuperficie::corniceIncavataScambiaIColori()
{
    Superficie s;
    DisegnaCornice(s, {200, 150, 610, 640}, false, 5);
    QCOMPARE(s.segmenti()[0].colore, ColoreNero);
    QCOMPARE(s.segmenti()[1].colore, ColoreNero);
    QCOMPARE(s.segmenti()[2].colore, ColoreGrigioScuro);
    QCOMPARE(s.segmenti()[3].colore, ColoreGrigioScuro);
}

void TestSuperficie::corniceRipristinaColoreELarghezza()
{
    Superficie s;
    s.coloreCorrente = 12;
    s.larghezzaCorrente = 3;
    DisegnaCornice(s, {10, 10, 100, 100}, true, 21);
    QCOMPARE(s.coloreCorrente, 12);
    QCOMPARE(s.larghezzaCorrente, 3);
    // And a line drawn after it uses the restored pen.
    s.linea({0, 0}, {1, 1});
    QCOMPARE(s.segmenti().back().colore, 12);
    QCOMPARE(s.segmenti().back().larghezza, 3);
}

void TestSuperficie::larghezzaZeroDiventaUnPixel()
{
    Superficie s;
    DisegnaCornice(s, {10, 10, 100, 100}, true, 0);
    for (const Segmento &linea : s.segmenti())
        QCOMPARE(linea.larghezza, 1);
}

void TestSuperficie::coordinateGrandiNonTraboccano()
{
    // Cell 10 of a 7680-pixel-wide board lies far beyond 32767 twips.
    const AngoliCornice a = angoliCornice({103680.0, 150.0, 6912.0, 1000.0});
    QCOMPARE(qint64(a.x1), qint64(103679));
    QCOMPARE(qint64(a.x2), qint64(110593));
    QVERIFY(a.x2 > 32767);
}

void TestSuperficie::pulireSvuotaLaSuperficie()
{
    Superficie s;
    DisegnaCornice(s, {10, 10, 100, 100}, true, 2);
    s.pulisci();
    QVERIFY(s.segmenti().empty());
    s.lineaVerso({5, 5});
    QCOMPARE(s.segmenti().front().da, QPointF(0, 0));
}

QTEST_GUILESS_MAIN(TestSuperficie)
#include "test_superficie.moc"
