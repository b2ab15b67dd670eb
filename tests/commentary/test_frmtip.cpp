// SPDX-License-Identifier: MIT
#include "frmtip.h"
#include "immagine.h"
#include "superficie.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Once the pop-up is up as the modal window, hand it to azione: how a person
// answers it. The timer lives until then.
void allaModale(std::function<void(frmTip *)> azione)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, azione] {
        if (auto *tip = qobject_cast<frmTip *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            azione(tip);
        }
    });
    timer->start();
}

// Closes a modal window that is still up after two seconds, so that one that
// ignores what it is told fails the test instead of hanging it.
class Guardia
{
public:
    Guardia()
    {
        m_timer.setInterval(2000);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (QWidget *modale = QApplication::activeModalWidget()) {
                scattata = true;
                modale->close();
            }
        });
        m_timer.start();
    }
    bool scattata = false;

private:
    QTimer m_timer;
};

// A point of the pop-up that none of its controls covers.
QPoint puntoScoperto(const frmTip &tip)
{
    for (int y = tip.height() - 1; y >= 0; --y)
        for (int x = tip.width() - 1; x >= 0; --x)
            if (!tip.ImgNumero->geometry().contains(x, y) && !tip.LblSmorfia->geometry().contains(x, y))
                return {x, y};
    return {-1, -1};
}

} // namespace

class TestFrmTip : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // One pop-up at a time: asking again gives the one already loaded, with its title.
    void unaSolaIstanzaConIlSuoTitolo();
    // Closing unloads it, so the next draw builds a new one from scratch.
    void chiusuraScaricaIlPopup();
    // The pop-up belongs to its owner and goes away with it.
    void vaViaConIlProprietario();

    // Keys that type a character close the modal pop-up; the others leave it open.
    void tastiCheScrivonoLoChiudono_data();
    void tastiCheScrivonoLoChiudono();

    // A press anywhere on its own surface closes it, whatever the button.
    void pressioneSullaSuperficieLoChiude_data();
    void pressioneSullaSuperficieLoChiude();

    // A click on the number's picture or on the comment closes it.
    void clicSuNumeroOCommentoLoChiude_data();
    void clicSuNumeroOCommentoLoChiude();

    // Its outer size is given in twips and never shrinks below one pixel.
    void dimensioneEsternaInTwip_data();
    void dimensioneEsternaInTwip();

    // What is drawn on its retained surface shows when it paints.
    void superficieSiVedeQuandoDipinge();
};

void TestFrmTip::init()
{
    QVERIFY2(frmTip::caricato() == nullptr, "a pop-up from an earlier test is still loaded");
}

void TestFrmTip::cleanup()
{
    delete frmTip::caricato();
}

void TestFrmTip::unaSolaIstanzaConIlSuoTitolo()
{
    QWidget proprietario;
    frmTip *primo = frmTip::istanza(&proprietario);
    QVERIFY(primo);
    QCOMPARE(frmTip::caricato(), primo);
    QCOMPARE(frmTip::istanza(&proprietario), primo);
    QCOMPARE(frmTip::istanza(nullptr), primo);
    QCOMPARE(primo->windowTitle(), QStringLiteral("La tombola della smorfia "));
}

void TestFrmTip::chiusuraScaricaIlPopup()
{
    QWidget proprietario;
    QPointer<frmTip> tip = frmTip::istanza(&proprietario);
    tip->superficie().linea({0, 0}, {100, 100});
    tip->LblSmorfia->setText(QStringLiteral("LA GATTA"));
    tip->show();
    QVERIFY(tip->close());

    QTRY_VERIFY(tip.isNull());
    QCOMPARE(frmTip::caricato(), nullptr);
    frmTip *nuovo = frmTip::istanza(&proprietario);
    QVERIFY(nuovo);
    QVERIFY(nuovo->superficie().segmenti().empty());
    QVERIFY(nuovo->LblSmorfia->text().isEmpty());
}

void TestFrmTip::vaViaConIlProprietario()
{
    auto *proprietario = new QWidget;
    QPointer<frmTip> tip = frmTip::istanza(proprietario);
    delete proprietario;
    QVERIFY(tip.isNull());
    QCOMPARE(frmTip::caricato(), nullptr);
}

void TestFrmTip::tastiCheScrivonoLoChiudono_data()
{
    QTest::addColumn<int>("tasto");
    QTest::addColumn<Qt::KeyboardModifiers>("modificatori");
    QTest::addColumn<bool>("chiude");

    QTest::newRow("space closes") << int(Qt::Key_Space) << Qt::KeyboardModifiers() << true;
    QTest::newRow("escape closes") << int(Qt::Key_Escape) << Qt::KeyboardModifiers() << true;
    QTest::newRow("return closes") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
    QTest::newRow("a letter closes") << int(Qt::Key_A) << Qt::KeyboardModifiers() << true;
    QTest::newRow("a capital letter closes") << int(Qt::Key_Z) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
    QTest::newRow("a digit closes") << int(Qt::Key_7) << Qt::KeyboardModifiers() << true;
    QTest::newRow("F1 leaves it open") << int(Qt::Key_F1) << Qt::KeyboardModifiers() << false;
    QTest::newRow("F11 leaves it open") << int(Qt::Key_F11) << Qt::KeyboardModifiers() << false;
    QTest::newRow("left arrow leaves it open") << int(Qt::Key_Left) << Qt::KeyboardModifiers() << false;
    QTest::newRow("down arrow leaves it open") << int(Qt::Key_Down) << Qt::KeyboardModifiers() << false;
    QTest::newRow("shift alone leaves it open") << int(Qt::Key_Shift) << Qt::KeyboardModifiers() << false;
    QTest::newRow("control alone leaves it open") << int(Qt::Key_Control) << Qt::KeyboardModifiers() << false;
}

void TestFrmTip::tastiCheScrivonoLoChiudono()
{
    QFETCH(int, tasto);
    QFETCH(Qt::KeyboardModifiers, modificatori);
    QFETCH(bool, chiude);

    QWidget proprietario;
    frmTip *tip = frmTip::istanza(&proprietario);
    bool visto = false;
    bool apertoDopoIlTasto = false;
    allaModale([&](frmTip *modale) {
        visto = true;
        QTest::keyClick(modale, static_cast<Qt::Key>(tasto), modificatori);
        apertoDopoIlTasto = modale->isVisible();
        if (apertoDopoIlTasto)
            QTest::keyClick(modale, Qt::Key_Space);
    });
    Guardia guardia;
    tip->exec();

    QVERIFY(visto);
    QCOMPARE(apertoDopoIlTasto, !chiude);
    QVERIFY2(!guardia.scattata, "the pop-up did not close on a key that types a character");
}

void TestFrmTip::pressioneSullaSuperficieLoChiude_data()
{
    QTest::addColumn<Qt::MouseButton>("pulsante");

    QTest::newRow("left button") << Qt::LeftButton;
    QTest::newRow("right button") << Qt::RightButton;
    QTest::newRow("middle button") << Qt::MiddleButton;
}

void TestFrmTip::pressioneSullaSuperficieLoChiude()
{
    QFETCH(Qt::MouseButton, pulsante);

    QWidget proprietario;
    frmTip *tip = frmTip::istanza(&proprietario);
    QPoint punto;
    bool chiusoDallaPressione = false;
    allaModale([&](frmTip *modale) {
        punto = puntoScoperto(*modale);
        if (punto.x() < 0)
            return; // nothing to press on; the guard closes it and the test says why
        QTest::mousePress(modale, pulsante, {}, punto);
        chiusoDallaPressione = !modale->isVisible();
        QTest::mouseRelease(modale, pulsante, {}, punto);
    });
    Guardia guardia;
    tip->exec();

    QVERIFY2(punto.x() >= 0, "the controls cover the whole pop-up");
    QVERIFY(chiusoDallaPressione);
    QVERIFY(!guardia.scattata);
}

void TestFrmTip::clicSuNumeroOCommentoLoChiude_data()
{
    QTest::addColumn<QString>("controllo");

    QTest::newRow("the number's picture") << QStringLiteral("ImgNumero");
    QTest::newRow("the comment") << QStringLiteral("LblSmorfia");
}

void TestFrmTip::clicSuNumeroOCommentoLoChiude()
{
    QFETCH(QString, controllo);

    QWidget proprietario;
    frmTip *tip = frmTip::istanza(&proprietario);
    tip->LblSmorfia->setText(QStringLiteral("IL MASCHIO"));
    bool chiusoDalClic = false;
    allaModale([&](frmTip *modale) {
        QWidget *bersaglio = controllo == QLatin1String("ImgNumero") ? static_cast<QWidget *>(modale->ImgNumero)
                                                                     : modale->LblSmorfia;
        QTest::mouseClick(bersaglio, Qt::LeftButton, {}, bersaglio->rect().center());
        chiusoDalClic = !modale->isVisible();
    });
    Guardia guardia;
    tip->exec();

    QVERIFY(chiusoDalClic);
    QVERIFY(!guardia.scattata);
}

void TestFrmTip::dimensioneEsternaInTwip_data()
{
    QTest::addColumn<double>("larghezzaTwip");
    QTest::addColumn<double>("altezzaTwip");
    QTest::addColumn<QSize>("attesa");

    // Fifteen twips make a pixel.
    QTest::newRow("whole pixels") << 4500.0 << 6000.0 << QSize(300, 400);
    QTest::newRow("rounded to the nearest pixel") << 4508.0 << 5992.0 << QSize(301, 399);
    QTest::newRow("nothing is still one pixel") << 0.0 << 3.0 << QSize(1, 1);
}

void TestFrmTip::dimensioneEsternaInTwip()
{
    QFETCH(double, larghezzaTwip);
    QFETCH(double, altezzaTwip);
    QFETCH(QSize, attesa);

    // Without an owner there is no frame to take off.
    frmTip *tip = frmTip::istanza(nullptr);
    tip->impostaDimensioneEsterna(larghezzaTwip, altezzaTwip);
    QCOMPARE(tip->size(), attesa);
}

void TestFrmTip::superficieSiVedeQuandoDipinge()
{
    QWidget proprietario;
    frmTip *tip = frmTip::istanza(&proprietario);
    // Controls out of the way, so the surface itself is what shows.
    tip->ImgNumero->posiziona({0, 0, 150, 150});
    tip->LblSmorfia->setGeometry(0, 0, 10, 10);
    tip->resize(200, 200);
    Superficie &superficie = tip->superficie();
    superficie.coloreCorrente = ColoreNero;
    superficie.larghezzaCorrente = 3;
    superficie.linea({pixelInTwip(20), pixelInTwip(100)}, {pixelInTwip(180), pixelInTwip(100)});

    const QImage immagine = tip->grab().toImage();
    const QColor sfondo = immagine.pixelColor(100, 60);
    QCOMPARE(immagine.pixelColor(100, 100), QColor(Qt::black));
    QCOMPARE(immagine.pixelColor(100, 101), QColor(Qt::black));
    QVERIFY(sfondo != QColor(Qt::black));
    QCOMPARE(immagine.pixelColor(100, 104), sfondo);
}

QTEST_MAIN(TestFrmTip)
#include "test_frmtip.moc"
