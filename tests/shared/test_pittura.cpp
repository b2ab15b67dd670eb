// SPDX-License-Identifier: MIT
#include "caratteri.h"
#include "pittura.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTest>

namespace {

// Rectangle of the pixels of an image that hold anything, empty if none.
QRect dipinto(const QImage &immagine)
{
    QRect r;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x)
            if (qAlpha(immagine.pixel(x, y)) > 0)
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

class TestPittura : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registraSostituti(QCoreApplication::applicationDirPath()); }

    // What a segment paints lies inside the rectangle it is said to cover, and fills it but for
    // the rounding to whole pixels: level, upright and slanting, thin and thick, between pixels.
    void ingombroDiUnSegmento_data()
    {
        QTest::addColumn<QPointF>("da"); // twips
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<int>("larghezza");
        QTest::newRow("level, one pixel") << QPointF(150, 300) << QPointF(1500, 300) << 1;
        QTest::newRow("level, 0 as 1") << QPointF(150, 300) << QPointF(1500, 300) << 0;
        QTest::newRow("upright, 9 pixels, between pixels") << QPointF(1507, 1501) << QPointF(1507, 4493) << 9;
        QTest::newRow("a frame's bottom edge, 27 pixels") << QPointF(12809, 7749) << QPointF(-1, 7749) << 27;
        QTest::newRow("slanting, 14 pixels") << QPointF(600, 600) << QPointF(3600, 2400) << 14;
    }
    void ingombroDiUnSegmento()
    {
        QFETCH(QPointF, da);
        QFETCH(QPointF, a);
        QFETCH(int, larghezza);
        Superficie superficie;
        superficie.larghezzaCorrente = larghezza;
        // Moved off the image's corner so that nothing painted is clipped.
        superficie.linea(da + QPointF(900, 900), a + QPointF(900, 900));
        QImage immagine(1100, 700, QImage::Format_ARGB32);
        immagine.fill(Qt::transparent);
        {
            QPainter p(&immagine);
            dipingi(p, superficie);
        }
        const QRect detto = ingombro(superficie.segmenti().front()).toAlignedRect();
        const QRect visto = dipinto(immagine);
        const int lasco = da.x() == a.x() || da.y() == a.y() ? 1 : larghezza / 2 + 1;
        QVERIFY2(detto.contains(visto) && visto.adjusted(-lasco, -lasco, lasco, lasco).contains(detto),
                 qPrintable(QStringLiteral("painted %1,%2 %3x%4, said %5,%6 %7x%8")
                                .arg(visto.x()).arg(visto.y()).arg(visto.width()).arg(visto.height())
                                .arg(detto.x()).arg(detto.y()).arg(detto.width()).arg(detto.height())));
    }

    // The size found leaves every glyph inside the space, with a pixel to spare, as a label draws
    // the text (wrapped at blanks, lines at line feeds); it is the largest asked for when that
    // fits, and is smaller only when it does not: a word too wide, lines too many, a swash past the
    // edge.
    void puntiCheEntrano_data()
    {
        QTest::addColumn<QString>("famiglia");
        QTest::addColumn<bool>("corsivo");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QSize>("spazio");
        QTest::addColumn<double>("massimo");
        QTest::addColumn<bool>("intero"); // the largest size asked for fits
        const QString mano = QStringLiteral("Lucida Handwriting"), tondo = QStringLiteral("Arial Rounded MT Bold");
        QTest::newRow("a short comment") << mano << false << "LA MANO" << QSize(852, 141) << 51.3 << true;
        QTest::newRow("two lines in the room of one")
            << mano << false << "QUELLO CHE GUARDA A TERRA" << QSize(852, 141) << 51.3 << false;
        QTest::newRow("a swash past the edge")
            << mano << false << "LE ANIME DEL PURGATORIO" << QSize(1279, 188) << 77.9 << false;
        QTest::newRow("a word wider than the space") << mano << false << "I CACIOCAVALLI" << QSize(200, 300) << 40.0
                                                     << false;
        QTest::newRow("the clock in a wide column")
            << tondo << true << "\nsono\n le \nore\n23\n\nmin\n59\n\nsec\n59" << QSize(200, 800) << 21.0 << true;
        QTest::newRow("the clock in a 16:9 column")
            << tondo << true << "\nsono\n le \nore\n23\n\nmin\n59\n\nsec\n59" << QSize(154, 525) << 41.0 << false;
    }
    void puntiCheEntrano()
    {
        QFETCH(QString, famiglia);
        QFETCH(bool, corsivo);
        QFETCH(QString, testo);
        QFETCH(QSize, spazio);
        QFETCH(double, massimo);
        QFont font(famiglia);
        font.setBold(true);
        font.setItalic(corsivo);
        const int allineamento = Qt::AlignHCenter | Qt::AlignTop;
        const double punti = ::puntiCheEntrano(font, spazio, allineamento, testo, massimo);
        QTEST(punti == massimo, "intero");
        QVERIFY(punti >= 1 && punti <= massimo);
        font.setPointSizeF(punti);
        // Drawn on a wider and taller image, so that what overflows the space shows.
        QImage immagine(spazio + QSize(400, 400), QImage::Format_ARGB32);
        immagine.fill(Qt::transparent);
        {
            QPainter p(&immagine);
            p.setFont(font);
            p.drawText(QRect(QPoint(200, 200), spazio), allineamento | Qt::TextWordWrap, testo);
        }
        const QRect scritto = dipinto(immagine).translated(-200, -200);
        QVERIFY2(QRect(QPoint(1, 1), spazio - QSize(2, 2)).contains(scritto),
                 qPrintable(QStringLiteral("%1 pt: ink %2,%3 %4x%5")
                                .arg(punti).arg(scritto.x()).arg(scritto.y()).arg(scritto.width()).arg(scritto.height())));
    }
};

QTEST_MAIN(TestPittura)
#include "test_pittura.moc"
