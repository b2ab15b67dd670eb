// SPDX-License-Identifier: MIT
#include "caratteri.h"
#include "dichiarazioni.h"
#include "frmabout.h"
#include "frmtabellone.h"
#include "frmtip.h"
#include "immagine.h"
#include "prova_finestre.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>
#include <memory>

using namespace Dichiarazioni;

namespace {

// The board's fixed clock, 2026-12-06 21:05:33, as a record header.
const QByteArray Intestazione = QByteArrayLiteral("Partita : 06/12/2026 21:05:33\r\n");
// A header from an earlier game, so that a fresh one can be told apart.
const QByteArray IntestazioneVecchia = QByteArrayLiteral("Partita : 01/01/2020 10:00:00\r\n");

QByteArray righe(const QList<int> &numeri)
{
    QByteArray testo;
    for (const int n : numeri)
        testo += ' ' + QByteArray::number(n) + " \r\n";
    return testo;
}

// Once a modal window of class T is up, hand it to azione: how a person
// answers it. Deleting the returned timer stops waiting.
template <typename T>
QPointer<QTimer> allaModale(std::function<void(T *)> azione)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, azione] {
        if (auto *modale = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            azione(modale);
        }
    });
    timer->start();
    return timer;
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

// What the pop-up showed during one draw.
struct Vista {
    bool comparsa = false;
    bool modale = false;
    QString titolo;
    QString immagine;
    QString commento;
    double punti = 0;
    std::size_t linee = 0; // on the pop-up's own surface
    bool segnatoMentreAperta = false;
    QByteArray registroMentreAperta;
    bool bloccata = false;
};

// The size unit for a board of this inner width: twips / 700, whole units.
int spessoreAtteso(const QWidget &tabellone)
{
    return static_cast<int>(std::floor(pixelInTwip(tabellone.width()) / 700.0));
}

// A board on its own program folder holding the real pictures, with a fixed clock.
class Banco
{
public:
    Banco()
    {
        if (!cartella.isValid()) {
            errore = QStringLiteral("no temporary folder");
            return;
        }
        for (int n = 0; n <= UltimoNumero; ++n) {
            const QString nome = nomeImmagine(n);
            if (!QFile::link(QDir(QStringLiteral(CARTELLA_IMMAGINI)).filePath(nome), percorso(nome))) {
                errore = QStringLiteral("cannot link ") + nome;
                return;
            }
        }
    }

    QString percorso(const QString &nome) const { return QDir(cartella.path()).filePath(nome); }
    QString percorsoRegistro() const { return percorso(QStringLiteral("ultima.par")); }

    void scriviRegistro(const QByteArray &contenuto) const
    {
        QFile file(percorsoRegistro());
        if (file.open(QIODevice::WriteOnly))
            file.write(contenuto);
    }

    QByteArray registro() const
    {
        QFile file(percorsoRegistro());
        if (!file.open(QIODevice::ReadOnly))
            return QByteArrayLiteral("<no record>");
        return file.readAll();
    }

    frmTabellone &crea()
    {
        t = std::make_unique<frmTabellone>(richieste, cartella.path());
        t->impostaOrologio([this] { return adesso; });
        return *t;
    }

    // The board resumed from a record holding these numbers, then shown.
    frmTabellone &riprendi(const QList<int> &numeri)
    {
        scriviRegistro(IntestazioneVecchia + righe(numeri));
        crea();
        t->CaricaPartita(QStringLiteral("inizio"));
        t->show();
        return *t;
    }

    // Draws n as the caller does: a double click, then a key on the pop-up.
    Vista estrai(int n)
    {
        Vista vista;
        frmTabellone *tabellone = t.get();
        const QPointer<QTimer> attesa = allaModale<frmTip>([&](frmTip *tip) {
            vista.comparsa = true;
            vista.modale = tip->isModal();
            vista.titolo = tip->windowTitle();
            vista.immagine = tip->ImgNumero->nomeCaricato();
            vista.commento = tip->LblSmorfia->text();
            vista.punti = tip->LblSmorfia->font().pointSizeF();
            vista.linee = tip->superficie().segmenti().size();
            vista.segnatoMentreAperta = Estratti[n] == Estratto;
            vista.registroMentreAperta = registro();
            QTest::keyClick(tip, Qt::Key_Space);
        });
        Guardia guardia;
        QTest::mouseDClick(tabellone->Img[n], Qt::LeftButton);
        QTest::mouseRelease(tabellone->Img[n], Qt::LeftButton);
        delete attesa.data();
        vista.bloccata = guardia.scattata;
        return vista;
    }

    // The messages whose text starts with inizio.
    int messaggi(const QString &inizio) const
    {
        int quanti = 0;
        for (const auto &domanda : richieste.domande)
            quanti += domanda.testo.startsWith(inizio) ? 1 : 0;
        return quanti;
    }

    QTemporaryDir cartella;
    QString errore;
    RichiesteFinte richieste;
    QDateTime adesso{QDate(2026, 12, 6), QTime(21, 5, 33)};
    std::unique_ptr<frmTabellone> t;
};

// Empty when exactly the given numbers are marked, flag and picture; else the first difference.
QString differenze(const frmTabellone &t, const QList<int> &estratti)
{
    for (int n = PrimoNumero; n <= UltimoNumero; ++n) {
        const bool atteso = estratti.contains(n);
        if ((Estratti[n] == Estratto) != atteso)
            return QStringLiteral("flag of %1 is %2").arg(n).arg(Estratti[n]);
        const QString immagine = atteso ? nomeImmagine(n) : QStringLiteral("img00.gif");
        if (t.Img[n]->nomeCaricato() != immagine)
            return QStringLiteral("cell %1 shows %2").arg(n).arg(t.Img[n]->nomeCaricato());
    }
    return {};
}

enum class Effetto { Informazioni, NuovaPartita, Messaggi, Nasconde, IngrandisceRiduce, Niente };

} // namespace

Q_DECLARE_METATYPE(Effetto)
Q_DECLARE_METATYPE(Richieste::Risposta)

class TestTabellone : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // A new board scrolls the full caption, shows ninety blank cells and nothing else, and waits hidden.
    void nuovoTabelloneVuotoENascosto();
    // A layout pass draws four separators and a frame per cell, and another pass redraws instead of adding.
    void impaginazioneNonRaddoppiaLeLinee();
    // The pop-up gets one frame around its picture, however many layout passes there are.
    void popupConUnaSolaCornice();
    // Every pop-up shows that frame, not only the first one after a layout pass.
    void ogniPopupHaLaSuaCornice();
    // Every cell has a raised frame Spessore pixels wide: grey left and top, black right and bottom.
    void celleConCorniceInRilievo();

    // Each tick moves the caption and the message column one character left; 284 ticks bring the caption back.
    void ticRuotaTitoloEMessaggi();
    // Each tick sizes the message column to Spessore points, never below one, and the clock
    // to that or the largest size at which all its lines show.
    void ticDimensionaLeColonne_data();
    void ticDimensionaLeColonne();

    // A double click shows the modal pop-up with picture and comment, then marks and records the number.
    void doppioClicEstrae_data();
    void doppioClicEstrae();
    // A double click on a drawn number only tells how to withdraw it.
    void doppioClicSuEstrattoAvvisaSoltanto();

    // Releasing the right button over a drawn number offers to withdraw it; yes rewrites the record.
    void tastoDestroRitira_data();
    void tastoDestroRitira();

    // Each key reaches its own command and no other.
    void tastiDelTabellone_data();
    void tastiDelTabellone();
    // A key held down does not repeat its command.
    void tastoTenutoNonRipete();

    // F2 asks first; OK blanks the board and starts a record with a header only.
    void nuovaPartita_data();
    void nuovaPartita();
    // F10 asks for a message, starting from the column's text, and writes it twice.
    void messaggiF10_data();
    void messaggiF10();
    // F11 maximises and lays out again, a second F11 restores; the board stays up as an ordinary window.
    void ingrandisciERiduci();

    // Resuming reads ultima.par only and marks the valid numbers it lists.
    void ripresaPartita_data();
    void ripresaPartita();

    // A failed write leaves the game going with one notice; the next write rebuilds the record from the board.
    void scritturaFallita_data();
    void scritturaFallita();
};

void TestTabellone::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    // The faces the program itself asks for in place of missing ones.
    registraSostituti();
}

void TestTabellone::init()
{
    azzera();
}

void TestTabellone::cleanup()
{
    // No pop-up may outlive its test.
    QTRY_COMPARE(frmTip::caricato(), nullptr);
}

void TestTabellone::nuovoTabelloneVuotoENascosto()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    const frmTabellone &t = banco.crea();

    const QString testo = QStringLiteral("Tabellone Tombola: doppio clic sul numero estratto");
    const QString titolo = testo + QStringLiteral(" [CTRL+ALT+F4 per finire]   $    ") + testo
                           + QStringLiteral(" [F11 ingrandire/ridurre]   $    ") + testo
                           + QStringLiteral(" [F1 info]   $    ") + testo;
    QCOMPARE(titolo.size(), 284);
    QCOMPARE(t.windowTitle(), titolo);

    for (int n = 0; n <= 100; ++n) {
        const bool inGioco = numeroValido(n);
        QVERIFY2(t.Img[n], qPrintable(QString::number(n)));
        QCOMPARE(t.Img[n]->isVisibleTo(&t), inGioco);
        if (inGioco)
            QCOMPARE(t.Img[n]->nomeCaricato(), QStringLiteral("img00.gif"));
    }
    QVERIFY(t.isHidden());
    QVERIFY(t.Timer1->isActive());
    QVERIFY(banco.registro() == "<no record>");
}

void TestTabellone::impaginazioneNonRaddoppiaLeLinee()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    constexpr std::size_t linee = 4 + 90 * 4;

    QCOMPARE(t.superficie().segmenti().size(), linee);
    t.RicalcolaMisure();
    QCOMPARE(t.superficie().segmenti().size(), linee);
    QVERIFY(t.isHidden());
}

void TestTabellone::popupConUnaSolaCornice()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    QVERIFY(frmTip::caricato());
    QCOMPARE(frmTip::caricato()->superficie().segmenti().size(), std::size_t(4));

    t.resize(t.width() + 150, t.height() + 90);
    t.RicalcolaMisure();
    QCOMPARE(frmTip::caricato()->superficie().segmenti().size(), std::size_t(4));
}

void TestTabellone::ogniPopupHaLaSuaCornice()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    banco.crea().show();
    QList<std::size_t> linee;
    for (const int n : {8, 80, 88})
        linee.append(banco.estrai(n).linee);
    QCOMPARE(linee, (QList<std::size_t>{4, 4, 4}));
}

void TestTabellone::celleConCorniceInRilievo()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    t.show();
    const int spessore = spessoreAtteso(t);
    QVERIFY2(spessore >= 4, "the board is too narrow for frames this test can see");
    QCOMPARE(int(Spessore), spessore);

    const QImage immagine = t.grab().toImage();
    const QColor grigio(128, 128, 128);
    const QColor nero(Qt::black);
    // Cells away from the separator lines, so only their own frame is there.
    for (const int n : {12, 18, 44, 88}) {
        const QRect cella = t.Img[n]->geometry();
        const QPoint centro = cella.center();
        const QString dove = QStringLiteral("cell %1").arg(n);
        QVERIFY2(immagine.pixelColor(cella.left() - 2, centro.y()) == grigio, qPrintable(dove + " left"));
        QVERIFY2(immagine.pixelColor(centro.x(), cella.top() - 2) == grigio, qPrintable(dove + " top"));
        QVERIFY2(immagine.pixelColor(cella.right() + 2, centro.y()) == nero, qPrintable(dove + " right"));
        QVERIFY2(immagine.pixelColor(centro.x(), cella.bottom() + 2) == nero, qPrintable(dove + " bottom"));
        // Beyond the frame's width the background shows again.
        QVERIFY2(immagine.pixelColor(cella.right() + spessore / 2 + 3, centro.y()) != nero,
                 qPrintable(dove + " frame too wide"));
    }
}

void TestTabellone::ticRuotaTitoloEMessaggi()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    t.Timer1->stop();
    const QString titolo = t.windowTitle();
    t.LblDX2->setText(QStringLiteral("AMBO   \nAMBO   \n"));

    QVERIFY(QMetaObject::invokeMethod(&t, "Timer1_Timer"));
    QCOMPARE(t.windowTitle(), titolo.mid(1) + titolo.left(1));
    QCOMPARE(t.LblDX2->text(), QStringLiteral("MBO   \nAMBO   \nA"));

    // The clock column shows the time of day: hours, minutes and seconds in that order.
    const QTime ora = QTime::currentTime();
    QList<int> cifre;
    for (const auto &trovato : QRegularExpression(QStringLiteral("\\d+")).globalMatch(t.LblDX->text()))
        cifre.append(trovato.captured().toInt());
    QCOMPARE(cifre.size(), 3);
    const QTime mostrata(cifre[0], cifre[1], cifre[2]);
    const int scarto = std::abs(mostrata.secsTo(ora));
    QVERIFY2(mostrata.isValid() && (scarto <= 2 || scarto >= 86400 - 2), qPrintable(t.LblDX->text()));

    for (int tic = 1; tic < 284; ++tic)
        QMetaObject::invokeMethod(&t, "Timer1_Timer");
    QCOMPARE(t.windowTitle(), titolo);
}

void TestTabellone::ticDimensionaLeColonne_data()
{
    QTest::addColumn<QSize>("tabellone"); // inner size of the board, in pixels

    QTest::newRow("a board too narrow for a unit") << QSize(40, 300);
    QTest::newRow("the board as first shown") << QSize(463, 396);
    QTest::newRow("maximised on 800 x 600") << QSize(800, 570);
    QTest::newRow("maximised on 1024 x 768") << QSize(1024, 738);
    QTest::newRow("maximised on 1280 x 720") << QSize(1280, 690);
    QTest::newRow("maximised on 1366 x 768") << QSize(1366, 738);
    QTest::newRow("maximised on 1920 x 1080") << QSize(1920, 1050);
    QTest::newRow("maximised on 2560 x 1080") << QSize(2560, 1050);
    QTest::newRow("maximised on 1280 x 1024") << QSize(1280, 994);
}

void TestTabellone::ticDimensionaLeColonne()
{
    QFETCH(QSize, tabellone);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    t.Timer1->stop();
    t.resize(tabellone);
    t.RicalcolaMisure();
    const double punti = std::max(1, spessoreAtteso(t));
    QCOMPARE(int(Spessore), spessoreAtteso(t));
    QVERIFY(QMetaObject::invokeMethod(&t, "Timer1_Timer"));

    QCOMPARE(t.LblDX2->font().pointSizeF(), punti);
    // The clock takes the same size, or a smaller one where its lines would not fit.
    const double orologio = t.LblDX->font().pointSizeF();
    QVERIFY2(orologio >= 1 && orologio <= punti, qPrintable(QString::number(orologio)));
    // Whatever its size, every line of the clock shows: no glyph reaches the column's edges.
    if (orologio > 1) {
        const QImage immagine = t.LblDX->grab().toImage();
        QRect inchiostro;
        for (int y = 0; y < immagine.height(); ++y)
            for (int x = 0; x < immagine.width(); ++x)
                if (qGray(immagine.pixel(x, y)) < 100)
                    inchiostro |= QRect(x, y, 1, 1);
        QVERIFY(!inchiostro.isEmpty());
        QVERIFY2(inchiostro.bottom() < immagine.height() - 1,
                 qPrintable(QStringLiteral("clock cut at the bottom at %1 points").arg(orologio)));
        QVERIFY2(inchiostro.left() > 0 && inchiostro.right() < immagine.width() - 1,
                 qPrintable(QStringLiteral("clock cut at the sides at %1 points").arg(orologio)));
    }
}

void TestTabellone::doppioClicEstrae_data()
{
    QTest::addColumn<int>("livello");
    QTest::addColumn<QList<int>>("numeri");

    QTest::newRow("one number at level 1") << 1 << QList<int>{42};
    QTest::newRow("numbers are recorded in the order drawn") << 2 << QList<int>{42, 7, 90};
    QTest::newRow("the first number and the Christ's years") << 2 << QList<int>{1, 33};
}

void TestTabellone::doppioClicEstrae()
{
    QFETCH(int, livello);
    QFETCH(QList<int>, numeri);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    Livello = livello;
    t.Livelli();
    t.show();

    QList<int> estratti;
    QByteArray atteso = Intestazione;
    for (const int n : numeri) {
        const QByteArray registroPrima = banco.registro();
        const Vista vista = banco.estrai(n);
        QVERIFY2(vista.comparsa, "no pop-up");
        QVERIFY(!vista.bloccata);
        QVERIFY(vista.modale);
        QCOMPARE(vista.titolo, QStringLiteral("La tombola della smorfia "));
        QCOMPARE(vista.immagine, nomeImmagine(n));
        QVERIFY(!Commenti[n].isEmpty());
        QCOMPARE(vista.commento, Commenti[n]);
        QCOMPARE(vista.punti, spessoreAtteso(t) * 1.9);
        // Marked and recorded only once the pop-up has been dismissed.
        QVERIFY(!vista.segnatoMentreAperta);
        QCOMPARE(vista.registroMentreAperta, registroPrima);

        estratti.append(n);
        atteso += righe({n});
        const QString diff = differenze(t, estratti);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(banco.registro(), atteso);
    }
    if (numeri.contains(33) && livello == 2)
        QCOMPARE(Commenti[33], QStringLiteral("GLI ANNI DI  CRISTO"));
    QVERIFY(banco.richieste.domande.isEmpty());
}

void TestTabellone::doppioClicSuEstrattoAvvisaSoltanto()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.riprendi({42});
    const QByteArray prima = banco.registro();

    const Vista vista = banco.estrai(42);

    QVERIFY(!vista.comparsa);
    QCOMPARE(banco.richieste.domande.size(), 1);
    const auto &avviso = banco.richieste.domande.first();
    QCOMPARE(avviso.testo, QStringLiteral("TASTO DESTRO per cancellare"));
    QCOMPARE(avviso.pulsanti, Richieste::Pulsanti::Ok);
    QCOMPARE(avviso.titolo, QStringLiteral("Tabellone Tombola"));
    const QString diff = differenze(t, {42});
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(banco.registro(), prima);
}

void TestTabellone::tastoDestroRitira_data()
{
    QTest::addColumn<QList<int>>("iniziali");
    QTest::addColumn<int>("numero");
    QTest::addColumn<Qt::MouseButton>("pulsante");
    QTest::addColumn<Richieste::Risposta>("risposta");
    QTest::addColumn<bool>("domanda");
    QTest::addColumn<QList<int>>("restano");
    QTest::addColumn<QByteArray>("registro"); // empty: the record is left as it was

    const QList<int> tre{60, 7, 42};
    QTest::newRow("yes withdraws and rewrites the rest in ascending order")
        << tre << 42 << Qt::RightButton << Richieste::Risposta::Si << true << QList<int>{7, 60}
        << QByteArray(Intestazione + righe({7, 60}));
    QTest::newRow("withdrawing the only number leaves a header")
        << QList<int>{42} << 42 << Qt::RightButton << Richieste::Risposta::Si << true << QList<int>{}
        << Intestazione;
    QTest::newRow("no keeps the number") << tre << 42 << Qt::RightButton << Richieste::Risposta::No << true << tre
                                         << QByteArray();
    QTest::newRow("a number not drawn asks nothing")
        << tre << 5 << Qt::RightButton << Richieste::Risposta::Si << false << tre << QByteArray();
    QTest::newRow("the left button asks nothing")
        << tre << 42 << Qt::LeftButton << Richieste::Risposta::Si << false << tre << QByteArray();
    QTest::newRow("the middle button asks nothing")
        << tre << 42 << Qt::MiddleButton << Richieste::Risposta::Si << false << tre << QByteArray();
}

void TestTabellone::tastoDestroRitira()
{
    QFETCH(QList<int>, iniziali);
    QFETCH(int, numero);
    QFETCH(Qt::MouseButton, pulsante);
    QFETCH(Richieste::Risposta, risposta);
    QFETCH(bool, domanda);
    QFETCH(QList<int>, restano);
    QFETCH(QByteArray, registro);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.riprendi(iniziali);
    const QByteArray prima = banco.registro();
    banco.richieste.risposte = {risposta};

    QTest::mouseClick(t.Img[numero], pulsante);

    QCOMPARE(banco.richieste.domande.size(), domanda ? 1 : 0);
    if (domanda) {
        const auto &d = banco.richieste.domande.first();
        QCOMPARE(d.testo, QStringLiteral("Vuoi veramente nascondere il numero %1").arg(numero));
        QCOMPARE(d.pulsanti, Richieste::Pulsanti::SiNo);
        QCOMPARE(d.titolo, QStringLiteral("Tombola by Tavesi Aldrino"));
    }
    const QString diff = differenze(t, restano);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(banco.registro(), registro.isEmpty() ? prima : registro);
}

void TestTabellone::tastiDelTabellone_data()
{
    QTest::addColumn<int>("tasto");
    QTest::addColumn<Qt::KeyboardModifiers>("modificatori");
    QTest::addColumn<Effetto>("effetto");

    const Qt::KeyboardModifiers nessuno;
    const Qt::KeyboardModifiers maiusc(Qt::ShiftModifier);
    const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
    const Qt::KeyboardModifiers alt(Qt::AltModifier);
    QTest::newRow("F1 opens the information") << int(Qt::Key_F1) << nessuno << Effetto::Informazioni;
    QTest::newRow("F2 starts a new game") << int(Qt::Key_F2) << nessuno << Effetto::NuovaPartita;
    QTest::newRow("Shift+F1 starts a new game") << int(Qt::Key_F1) << maiusc << Effetto::NuovaPartita;
    QTest::newRow("Ctrl+F1 does nothing") << int(Qt::Key_F1) << ctrl << Effetto::Niente;
    QTest::newRow("F10 asks for a message") << int(Qt::Key_F10) << nessuno << Effetto::Messaggi;
    QTest::newRow("Ctrl+Alt+F4 leaves the board") << int(Qt::Key_F4) << (ctrl | alt) << Effetto::Nasconde;
    QTest::newRow("Ctrl+F8 leaves the board") << int(Qt::Key_F8) << ctrl << Effetto::Nasconde;
    QTest::newRow("Shift+F9 leaves the board") << int(Qt::Key_F9) << maiusc << Effetto::Nasconde;
    QTest::newRow("Alt+F6 leaves the board") << int(Qt::Key_F6) << alt << Effetto::Nasconde;
    QTest::newRow("Shift+Ctrl+Alt+F3 leaves the board") << int(Qt::Key_F3) << (maiusc | ctrl | alt) << Effetto::Nasconde;
    QTest::newRow("F11 maximises") << int(Qt::Key_F11) << nessuno << Effetto::IngrandisceRiduce;
    QTest::newRow("Shift+F10 maximises") << int(Qt::Key_F10) << maiusc << Effetto::IngrandisceRiduce;
    QTest::newRow("Alt+F7 maximises") << int(Qt::Key_F7) << alt << Effetto::IngrandisceRiduce;
    QTest::newRow("Ctrl+F10 does nothing") << int(Qt::Key_F10) << ctrl << Effetto::Niente;
    QTest::newRow("F12 does nothing") << int(Qt::Key_F12) << nessuno << Effetto::Niente;
    QTest::newRow("Alt+F4 does nothing") << int(Qt::Key_F4) << alt << Effetto::Niente;
    QTest::newRow("Escape does nothing") << int(Qt::Key_Escape) << nessuno << Effetto::Niente;
}

void TestTabellone::tastiDelTabellone()
{
    QFETCH(int, tasto);
    QFETCH(Qt::KeyboardModifiers, modificatori);
    QFETCH(Effetto, effetto);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.riprendi({5});
    t.Timer1->stop();
    const QByteArray prima = banco.registro();
    banco.richieste.risposte = {Richieste::Risposta::Annulla};
    const Qt::WindowStates stato = t.windowState();

    QString informazioni;
    const QPointer<QTimer> attesa = allaModale<frmAbout>([&](frmAbout *dialogo) {
        informazioni = dialogo->windowTitle();
        QTest::keyClick(dialogo, Qt::Key_Escape);
    });
    Guardia guardia;
    QTest::keyClick(&t, static_cast<Qt::Key>(tasto), modificatori);
    delete attesa.data();
    QVERIFY(!guardia.scattata);

    QList<Effetto> visti;
    if (!informazioni.isEmpty())
        visti.append(Effetto::Informazioni);
    if (banco.messaggi(QStringLiteral("Vuoi azzerare la partita?")) > 0)
        visti.append(Effetto::NuovaPartita);
    if (!banco.richieste.ultimaDomandaImmissione.isEmpty())
        visti.append(Effetto::Messaggi);
    if (t.isHidden())
        visti.append(Effetto::Nasconde);
    if (t.windowState() != stato)
        visti.append(Effetto::IngrandisceRiduce);
    if (visti.isEmpty())
        visti.append(Effetto::Niente);

    QCOMPARE(visti, QList<Effetto>{effetto});
    if (effetto == Effetto::Informazioni)
        QCOMPARE(informazioni, QStringLiteral("Informazioni su Tabellone Tombola"));
    // None of them touches the game.
    const QString diff = differenze(t, {5});
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(banco.registro(), prima);
}

void TestTabellone::tastoTenutoNonRipete()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    t.show();
    for (const Qt::Key tasto : {Qt::Key_F2, Qt::Key_F10, Qt::Key_F11}) {
        QKeyEvent ripetuto(QEvent::KeyPress, tasto, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&t, &ripetuto);
    }
    QVERIFY(banco.richieste.domande.isEmpty());
    QVERIFY(banco.richieste.ultimaDomandaImmissione.isEmpty());
    QCOMPARE(t.windowState(), Qt::WindowNoState);
}

void TestTabellone::nuovaPartita_data()
{
    QTest::addColumn<Richieste::Risposta>("risposta");
    QTest::addColumn<bool>("azzera");

    QTest::newRow("OK blanks the board") << Richieste::Risposta::Ok << true;
    QTest::newRow("cancel keeps the game") << Richieste::Risposta::Annulla << false;
}

void TestTabellone::nuovaPartita()
{
    QFETCH(Richieste::Risposta, risposta);
    QFETCH(bool, azzera);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    const QList<int> estratti{3, 33, 90};
    frmTabellone &t = banco.riprendi(estratti);
    const QByteArray prima = banco.registro();
    banco.richieste.risposte = {risposta};

    QTest::keyClick(&t, Qt::Key_F2);

    QCOMPARE(banco.richieste.domande.size(), 1);
    const auto &domanda = banco.richieste.domande.first();
    QCOMPARE(domanda.testo, QStringLiteral("Vuoi azzerare la partita?"));
    QCOMPARE(domanda.pulsanti, Richieste::Pulsanti::OkAnnulla);
    QCOMPARE(domanda.titolo, QStringLiteral("Tabellona Tombola - Azzera / Nuova tombola"));
    const QString diff = differenze(t, azzera ? QList<int>{} : estratti);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(banco.registro(), azzera ? Intestazione : prima);
}

void TestTabellone::messaggiF10_data()
{
    QTest::addColumn<QString>("colonna");
    QTest::addColumn<QString>("scritto");
    QTest::addColumn<QString>("attesa");

    QTest::newRow("a message fills the column twice")
        << QString() << QStringLiteral("CIAO") << QStringLiteral("CIAO   \nCIAO   \n");
    QTest::newRow("the box starts from the column's text")
        << QStringLiteral("VINCE   \nVINCE   \n") << QStringLiteral("AMBO") << QStringLiteral("AMBO   \nAMBO   \n");
    QTest::newRow("markup is shown as typed")
        << QString() << QStringLiteral("<b>") << QStringLiteral("<b>   \n<b>   \n");
    QTest::newRow("a cancelled box leaves blank lines")
        << QStringLiteral("TERNO") << QString() << QStringLiteral("   \n   \n");
}

void TestTabellone::messaggiF10()
{
    QFETCH(QString, colonna);
    QFETCH(QString, scritto);
    QFETCH(QString, attesa);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    t.Timer1->stop(); // the tick would scroll the column under the test
    t.show();
    t.LblDX2->setText(colonna);
    banco.richieste.immissioni = {scritto};

    QTest::keyClick(&t, Qt::Key_F10);

    QVERIFY(banco.richieste.ultimaDomandaImmissione.startsWith(QStringLiteral("Messaggi|")));
    QCOMPARE(banco.richieste.ultimoTestoIniziale, colonna);
    QCOMPARE(t.LblDX2->text(), attesa);
}

void TestTabellone::ingrandisciERiduci()
{
    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.crea();
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    const QSize prima = t.size();
    const QRect ultimaCella = t.Img[90]->geometry();

    QTest::keyClick(&t, Qt::Key_F11);

    QVERIFY(t.isMaximized());
    QVERIFY(t.isVisible());
    QVERIFY2(t.width() > prima.width() && t.height() > prima.height(), "the window did not grow");
    // Laid out for the new size: the columns reach the new edges, the unit follows the width.
    QCOMPARE(t.LblDX2->geometry().right() + 1, t.width());
    QCOMPARE(t.LblDX2->geometry().bottom() + 1, t.height());
    QVERIFY(t.Img[90]->geometry().right() > ultimaCella.right());
    QCOMPARE(int(Spessore), spessoreAtteso(t));
    QCOMPARE(t.superficie().segmenti().size(), std::size_t(4 + 90 * 4));

    QTest::keyClick(&t, Qt::Key_F11);

    QVERIFY(!t.isMaximized());
    QVERIFY(t.isVisible());
    QCOMPARE(t.size(), prima);
    QCOMPARE(t.Img[90]->geometry(), ultimaCella);
    QCOMPARE(int(Spessore), spessoreAtteso(t));
}

void TestTabellone::ripresaPartita_data()
{
    QTest::addColumn<QByteArray>("contenuto"); // empty: no ultima.par
    QTest::addColumn<QList<int>>("estratti");
    QTest::addColumn<QString>("ultima");

    QTest::newRow("a record marks its numbers")
        << QByteArray(IntestazioneVecchia + righe({5, 17, 90})) << QList<int>{5, 17, 90}
        << QStringLiteral("Ultima partita :Partita : 01/01/2020 10:00:00");
    QTest::newRow("bad lines are skipped")
        << QByteArray(IntestazioneVecchia + " 0 \r\n 91 \r\nabc\r\n -3 \r\n\r\n 45 \r\n 100 \r\n")
        << QList<int>{45} << QStringLiteral("Ultima partita :Partita : 01/01/2020 10:00:00");
    QTest::newRow("a blank header names no game")
        << QByteArray("   \r\n 12 \r\n") << QList<int>{12} << QString();
    QTest::newRow("without a record nothing is marked") << QByteArray() << QList<int>{} << QString();
}

void TestTabellone::ripresaPartita()
{
    QFETCH(QByteArray, contenuto);
    QFETCH(QList<int>, estratti);
    QFETCH(QString, ultima);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    if (!contenuto.isEmpty())
        banco.scriviRegistro(contenuto);
    // Another game file in the folder is not the record.
    QFile altra(banco.percorso(QStringLiteral("altra.par")));
    QVERIFY(altra.open(QIODevice::WriteOnly));
    altra.write(IntestazioneVecchia + righe({1, 2, 3}));
    altra.close();

    frmTabellone &t = banco.crea();
    t.CaricaPartita(QStringLiteral("inizio"));

    const QString diff = differenze(t, estratti);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(t.ultimaPartita(), ultima);
    // Resuming only reads.
    QCOMPARE(banco.registro(), contenuto.isEmpty() ? QByteArray("<no record>") : contenuto);
}

void TestTabellone::scritturaFallita_data()
{
    QTest::addColumn<QString>("operazione");
    QTest::addColumn<QList<int>>("dopo");        // marked once the failed operation is done
    QTest::addColumn<QByteArray>("ricostruito"); // the record after the next draw, of 7

    QTest::newRow("a draw") << QStringLiteral("estrazione 42") << QList<int>{10, 20, 42}
                            << QByteArray(Intestazione + righe({7, 10, 20, 42}));
    QTest::newRow("a withdrawal") << QStringLiteral("ritiro 10") << QList<int>{20}
                                  << QByteArray(Intestazione + righe({7, 20}));
    QTest::newRow("a new game") << QStringLiteral("nuova partita") << QList<int>{}
                                << QByteArray(Intestazione + righe({7}));
}

void TestTabellone::scritturaFallita()
{
    QFETCH(QString, operazione);
    QFETCH(QList<int>, dopo);
    QFETCH(QByteArray, ricostruito);

    Banco banco;
    QVERIFY2(banco.errore.isEmpty(), qPrintable(banco.errore));
    frmTabellone &t = banco.riprendi({10, 20});
    // A folder where the record should be: no write can replace it, even as root.
    QVERIFY(QFile::remove(banco.percorsoRegistro()));
    QVERIFY(QDir(banco.cartella.path()).mkdir(QStringLiteral("ultima.par")));

    if (operazione.startsWith(QLatin1String("estrazione"))) {
        QVERIFY(banco.estrai(42).comparsa);
    } else if (operazione.startsWith(QLatin1String("ritiro"))) {
        QTest::mouseClick(t.Img[10], Qt::RightButton);
    } else {
        QTest::keyClick(&t, Qt::Key_F2);
    }

    const QString nonSalvata = QStringLiteral("La partita non è stata salvata");
    QCOMPARE(banco.messaggi(nonSalvata), 1);
    const auto &avviso = banco.richieste.domande.last();
    QVERIFY(avviso.testo.startsWith(nonSalvata));
    QCOMPARE(avviso.pulsanti, Richieste::Pulsanti::Ok);
    QString diff = differenze(t, dopo);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // Once the record can be written again, the next draw writes the whole board...
    QVERIFY(QDir(banco.cartella.path()).rmdir(QStringLiteral("ultima.par")));
    QVERIFY(banco.estrai(7).comparsa);
    QCOMPARE(banco.registro(), ricostruito);
    // ...and the one after goes back to adding a line.
    QVERIFY(banco.estrai(1).comparsa);
    QCOMPARE(banco.registro(), ricostruito + righe({1}));
    QCOMPARE(banco.messaggi(nonSalvata), 1);
    dopo << 7 << 1;
    diff = differenze(t, dopo);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

QTEST_MAIN(TestTabellone)
#include "test_tabellone.moc"
