// SPDX-License-Identifier: MIT
#include "commenti.h"
#include "pittura.h"
#include "prova_finestre.h"

#include <QLabel>
#include <QPainter>

namespace {

// Rectangle of the pixels of an image that hold anything (alpha above 0) darker than grey.
QRect inchiostro(const QImage &immagine)
{
    QRect r;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x)
            if (const QRgb p = immagine.pixel(x, y); qAlpha(p) > 0 && qGray(p) < 160)
                r |= QRect(x, y, 1, 1);
    return r;
}

// What the pop-up draws on its own surface (the picture's frame), as an image of the window.
QImage disegnoDellaSuperficie(frmTip *tip)
{
    QImage immagine(tip->size(), QImage::Format_ARGB32);
    immagine.fill(Qt::transparent);
    QPainter p(&immagine);
    dipingi(p, tip->superficie());
    return immagine;
}

} // namespace

class TestFrmTip : public QObject
{
    Q_OBJECT

private slots:
    // The longest comments (the most lines, the widest word of each level) are shown whole at the
    // board's normal size and maximised: every glyph inside the label and inside the window, clear
    // of the picture's frame and of any other control, at the described size or shrunk only as far
    // as the space asks. A short comment keeps the described size.
    void commentoInteroELeggibile_data();
    void commentoInteroELeggibile();
};

void TestFrmTip::commentoInteroELeggibile_data()
{
    QTest::addColumn<int>("livello");
    QTest::addColumn<int>("numero");
    QTest::addColumn<bool>("breve");      // fits at the described size wherever it is shown
    QTest::addColumn<QSize>("tabellone"); // inner size; empty: as the board is created
    QTest::addColumn<QSize>("cornice");   // what the window manager's frame takes off the pop-up
    // Windows 10's frame (8 pixels of border on three sides, 31 of title bar), told to the pop-up
    // once it is on screen. Without a frame round the board to add it back, as a real one would,
    // the pop-up ends up shorter than on any real screen.
    const QSize windows(16, 39);
    const std::tuple<const char *, QSize, QSize> misure[] = {
        {"normal", QSize(), QSize()},
        {"normal, pop-up framed", QSize(), windows},
        {"maximised on 1280 x 800", QSize(1280, 775), QSize()},
        {"maximised on 1920 x 1080", QSize(1920, 1050), QSize()},
        {"maximised on 1920 x 1080, pop-up framed", QSize(1920, 1050), windows},
    };
    const std::tuple<int, int, const char *> commenti[] = {
        {2, 6, "the most lines"},
        {2, 85, "a long last word"},
        {2, 88, "the widest word of level 2"},
        {1, 34, "the most lines of level 1"},
        {1, 13, "the widest word of level 1"},
        {1, 5, "a short one"},
    };
    for (const auto &[livello, numero, cosa] : commenti)
        for (const auto &[dove, misura, cornice] : misure)
            QTest::addRow("level %d, %d (%s), %s", livello, numero, cosa, dove)
                << livello << numero << (numero == 5) << misura << cornice;
}

void TestFrmTip::commentoInteroELeggibile()
{
    QFETCH(int, livello);
    QFETCH(int, numero);
    QFETCH(bool, breve);
    QFETCH(QSize, tabellone);
    QFETCH(QSize, cornice);
    Banco banco;
    frmTabellone &t = banco.crea();
    t.show();
    if (!tabellone.isEmpty())
        t.resize(tabellone);
    Livello = livello;
    t.Livelli();
    const double descritta = Spessore * 1.9;

    QString esito;
    QVERIFY(banco.estrai(numero, [&](frmTip *tip) {
        if (!cornice.isEmpty())
            tip->resize(tip->size() - cornice);
        QLabel *commento = tip->LblSmorfia;
        const QRect etichetta = commento->geometry();
        const QImage testo = commento->grab().toImage();
        const QRect scritto = inchiostro(testo);
        const QRect nellaFinestra = scritto.translated(etichetta.topLeft());
        // The frame's pixels where the label is: the text must start below them.
        QRect libero = etichetta & tip->rect();
        const QRect corniceSulCommento = inchiostro(disegnoDellaSuperficie(tip).copy(libero)).translated(libero.topLeft());
        if (!corniceSulCommento.isEmpty())
            libero.setTop(corniceSulCommento.bottom() + 1);
        QStringList sopra;
        for (const QWidget *altro : tip->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (altro != commento && altro->isVisible() && altro->geometry().intersects(nellaFinestra))
                sopra << altro->objectName();
        const double punti = commento->font().pointSizeF();
        const auto descrivi = [&](const QString &cosa) {
            return QStringLiteral("%1: text %2,%3 %4x%5 in label %6,%7 %8x%9, free %10,%11 %12x%13, %14 of %15 pt")
                .arg(cosa)
                .arg(nellaFinestra.x()).arg(nellaFinestra.y()).arg(nellaFinestra.width()).arg(nellaFinestra.height())
                .arg(etichetta.x()).arg(etichetta.y()).arg(etichetta.width()).arg(etichetta.height())
                .arg(libero.x()).arg(libero.y()).arg(libero.width()).arg(libero.height())
                .arg(punti).arg(descritta);
        };
        if (commento->text() != commentiLivello(livello)[numero - 1] || scritto.isEmpty())
            esito = descrivi(QStringLiteral("not shown: ") + commento->text());
        // A glyph that touches an edge of the label is cut there.
        else if (!testo.rect().adjusted(1, 1, -1, -1).contains(scritto))
            esito = descrivi(QStringLiteral("cut by the label"));
        else if (!tip->rect().adjusted(1, 1, -1, -1).contains(nellaFinestra))
            esito = descrivi(QStringLiteral("cut by the window"));
        // A row of background between frame and letters, or they run together.
        else if (!corniceSulCommento.isEmpty() && corniceSulCommento.adjusted(0, 0, 0, 1).intersects(nellaFinestra))
            esito = descrivi(QStringLiteral("under the picture's frame"));
        else if (!sopra.isEmpty())
            esito = descrivi(QStringLiteral("under ") + sopra.join(u','));
        else if (punti > descritta)
            esito = descrivi(QStringLiteral("larger than described"));
        // Shrunk only as far as needed: the text fills the free space's height or its width.
        else if (punti < descritta && nellaFinestra.height() < libero.height() * 0.6
                 && nellaFinestra.width() < libero.width() * 0.8)
            esito = descrivi(QStringLiteral("shrunk more than needed"));
        else if (breve && punti != descritta)
            esito = descrivi(QStringLiteral("a short comment shrunk"));
        QTest::keyClick(tip, Qt::Key_Space);
    }));
    QVERIFY2(esito.isEmpty(), qPrintable(esito));
}

QTEST_MAIN(TestFrmTip)
#include "test_frmtip.moc"
