// SPDX-License-Identifier: MIT
#include "superficie.h"

#include <QTest>

Q_DECLARE_METATYPE(RettangoloControllo)

class TestSuperficie : public QObject
{
    Q_OBJECT

private slots:
    // One unit outside the control, exact halves to the even neighbour, far
    // edges measured from the rounded corner, and no overflow on huge boards.
    void angoliDellaCornice_data()
    {
        QTest::addColumn<RettangoloControllo>("controllo");
        QTest::addColumn<QList<qint64>>("angoli");
        QTest::newRow("left 101.5 to even 100")
            << RettangoloControllo{101.5, 0, 10, 10} << QList<qint64>{100, -1, 112, 11};
        QTest::newRow("left 102.5 to 102") << RettangoloControllo{102.5, 0, 10, 10} << QList<qint64>{102, -1, 114, 11};
        QTest::newRow("fractions from rounded corner")
            << RettangoloControllo{3840, 4038.2353, 610, 647.0588} << QList<qint64>{3839, 4037, 4451, 4686};
        QTest::newRow("beyond 16 bits") << RettangoloControllo{103680, 150, 6912, 1000}
                                        << QList<qint64>{103679, 149, 110593, 1151};
    }
    void angoliDellaCornice()
    {
        QFETCH(RettangoloControllo, controllo);
        QFETCH(QList<qint64>, angoli);
        const AngoliCornice a = angoliCornice(controllo);
        QCOMPARE((QList<qint64>{a.x1, a.y1, a.x2, a.y2}), angoli);
    }

    // Raised: dark grey left and top, black right and bottom, as one pen path; sunken the other
    // way round. Width 0 still draws at one pixel. The pen is left as it was.
    void colorieTrattiDellaCornice_data()
    {
        QTest::addColumn<bool>("rilievo");
        QTest::addColumn<qint16>("larghezza");
        QTest::addColumn<QList<int>>("tratti"); // colour and width of each side, in drawing order
        const int G = ColoreGrigioScuro, N = ColoreNero;
        QTest::newRow("raised") << true << qint16(5) << QList<int>{G, 5, G, 5, N, 5, N, 5};
        QTest::newRow("sunken, width 0") << false << qint16(0) << QList<int>{N, 1, N, 1, G, 1, G, 1};
    }
    void colorieTrattiDellaCornice()
    {
        QFETCH(bool, rilievo);
        QFETCH(qint16, larghezza);
        Superficie s;
        s.coloreCorrente = 12;
        s.larghezzaCorrente = 3;
        DisegnaCornice(s, {200, 150, 610, 640}, rilievo, larghezza);
        QList<QPointF> percorso;
        QList<int> tratti;
        for (const Segmento &linea : s.segmenti()) {
            percorso << linea.da << linea.a;
            tratti << linea.colore << linea.larghezza;
        }
        const QPointF bs(199, 791), as(199, 149), ad(811, 149), bd(811, 791);
        QCOMPARE(percorso, (QList<QPointF>{bs, as, as, ad, ad, bd, bd, bs}));
        QTEST(tratti, "tratti");
        QCOMPARE(std::make_pair(s.coloreCorrente, s.larghezzaCorrente), std::make_pair(12, 3));
    }
};

QTEST_GUILESS_MAIN(TestSuperficie)
#include "test_superficie.moc"
