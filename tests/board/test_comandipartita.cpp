// SPDX-License-Identifier: MIT
#include "frmpartita.h"
#include "frmverifica.h"
#include "ordine.h"
#include "premi.h"
#include "prova_finestre.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>
#include <numeric>

using namespace std::chrono;

namespace {

// The number a pop-up shows, from its picture's name ("img07.gif").
int numeroDi(const frmTip *tip)
{
    return tip->ImgNumero->nomeCaricato().mid(3, 2).toInt();
}

// F6 on the board, and what its pop-up showed (0: none came); azione closes it.
int f6(frmTabellone &t, const std::function<void(frmTip *)> &azione = [](frmTip *p) { QTest::keyClick(p, ' '); })
{
    int numero = 0;
    allaModale<frmTip>([&] { QTest::keyClick(&t, Qt::Key_F6); }, [&](frmTip *tip) {
        numero = numeroDi(tip);
        azione(tip);
    });
    return numero;
}

// The first number of the game's order that is not among these.
int primoDellOrdine(const frmTabellone &t, const QList<int> &fuori)
{
    const QByteArray seme = const_cast<frmTabellone &>(t).partita().storia().corrente.seme;
    for (const int n : ordineDelSeme(seme))
        if (!fuori.contains(n))
            return n;
    return 0;
}

QList<int> numeriDelleChiamate(const StoriaPartita &partita)
{
    QList<int> numeri;
    for (const Evento &e : partita.eventi)
        if (e.tipo == Evento::Tipo::Chiamata)
            numeri << e.numero;
    return numeri;
}

// When the pop-up came up and went away, in ms from the start, as seen every couple of milliseconds.
// A pop-up that stays two seconds is taken down and counted, so that a test fails instead of hanging.
struct Osservatore {
    QElapsedTimer orologio;
    QTimer guardia;
    QList<qint64> comparse, chiusure;
    int tolti = 0;
    bool su = false;

    Osservatore()
    {
        QObject::connect(&guardia, &QTimer::timeout, [this] {
            frmTip *tip = modale<frmTip>();
            const bool ora = tip != nullptr;
            if (ora != su)
                (ora ? comparse : chiusure) << orologio.elapsed();
            su = ora;
            if (tip && orologio.elapsed() - comparse.constLast() > 2000) {
                ++tolti;
                tip->close();
            }
        });
        orologio.start();
        guardia.start(2);
    }
};

// Waits for the next pop-up that comes by itself and hands it to azione, from within its showing.
bool allaProssima(const std::function<void(frmTip *)> &azione = [](frmTip *p) { QTest::keyClick(p, ' '); })
{
    bool vista = false;
    QTimer attesa;
    QObject::connect(&attesa, &QTimer::timeout, [&] {
        if (frmTip *tip = modale<frmTip>()) {
            attesa.stop();
            vista = true;
            azione(tip);
        }
    });
    attesa.start(2);
    QDeadlineTimer limite(5000);
    while (!vista && !limite.hasExpired())
        QTest::qWait(5);
    return vista;
}

QString testoSegnale(frmTabellone &t)
{
    const QLabel *segnale = t.comandiPartita().segnale();
    return segnale && !segnale->isHidden() ? segnale->text() : QString();
}

// One second of the automatic draws lasts this long in these tests.
constexpr milliseconds Secondo{25};

} // namespace

class TestComandiPartita : public QObject
{
    Q_OBJECT

private slots:
    // F6 draws the first number of the game's order not on the board, as a double click on its cell
    // would: the same pop-up, cell and record, the story telling the computer; the fingerprint is
    // shown once, before the first computer draw. A number withdrawn comes back in its place.
    void f6ComeUnDoppioClic_data();
    void f6ComeUnDoppioClic();
    // F6 mixed with double clicks: the computer skips what the bag gave.
    void f6TraIDoppiClic();
    // Nothing is drawn while a pop-up, a card check, F11 or a dialog is under way, nor by a key held
    // down (nor does the held key close F6's pop-up); Shift+F6 and Ctrl+F6 do nothing, Alt+F6
    // leaves the board as it always has.
    void f6Ignorata();
    // Ninety presses fill the board, each number once; the ninety-first does nothing.
    void novantaPressioni();
    // F9: each draw's pop-up closes by itself after the hold time, the next comes an interval after
    // it closed; the sign in the corner says so; F9 again stops them.
    void automaticheTenutaEIntervallo();
    // A dialog, the game's window, the board hidden: the time left stands still, then runs on.
    void automatichePause();
    // At 90 numbers they stop by themselves, and the sign goes.
    void automaticheFinisconoA90();
    // F7: the game's window lists the calls and withdrawals, follows a draw, keeps the interval,
    // closes the game (asking) and then shows its seed; the game before on a tab of its own.
    void finestraDellaPartita();
    // The prizes given are listed in order with their calls; one chosen is withdrawn with the
    // reason asked for, and listed as such; without a reason nothing changes.
    void premiNellaFinestra();
    // How long from F6 to its pop-up on screen, against a double click.
    void misuraF6ControDoppioClic();
};

void TestComandiPartita::f6ComeUnDoppioClic_data()
{
    QTest::addColumn<QList<int>>("ripresi"); // the record's numbers at start
    QTest::addColumn<bool>("ritiro");        // the number drawn is withdrawn and F6 pressed again
    QTest::newRow("a new game") << QList<int>{} << false;
    QTest::newRow("a game under way") << QList<int>{1, 7, 90} << false;
    QTest::newRow("withdrawn, it comes back") << QList<int>{2, 50} << true;
}

void TestComandiPartita::f6ComeUnDoppioClic()
{
    QFETCH(QList<int>, ripresi);
    QFETCH(bool, ritiro);
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione + righe(ripresi));
    Livello = 1;
    t.Livelli();
    QStringList computer;
    const int n = f6(t, [&](frmTip *tip) {
        computer << tip->ImgNumero->nomeCaricato() << tip->LblSmorfia->text() << QString::number(Estratti[numeroDi(tip)]);
        QTest::keyClick(tip, ' ');
    });
    QCOMPARE(n, primoDellOrdine(t, ripresi));
    QCOMPARE(banco.richieste.chiesto.size(), 1);
    QVERIFY(banco.richieste.chiesto.constFirst().contains(improntaSeme(t.partita().storia().corrente.seme)));
    QCOMPARE(differenze(t, ripresi + QList<int>{n}), QString());
    const QByteArray registro = banco.registro();
    const Evento ultimo = t.partita().storia().corrente.eventi.constLast();
    QCOMPARE(ultimo, (Evento{Evento::Tipo::Chiamata, t.partita().storia().corrente.chiamate(), n, Banco::adesso(),
                             Fonte::Computer}));

    // The same number double-clicked on another board of the same game.
    QStringList mano;
    {
        Banco altro;
        frmTabellone &u = altro.riprendi(Intestazione + righe(ripresi));
        Livello = 1;
        u.Livelli();
        QVERIFY(altro.estrai(n, [&](frmTip *tip) {
            mano << tip->ImgNumero->nomeCaricato() << tip->LblSmorfia->text() << QString::number(Estratti[numeroDi(tip)]);
            QTest::keyClick(tip, ' ');
        }));
        QCOMPARE(altro.registro(), registro);
        QCOMPARE(u.partita().storia().corrente.eventi.constLast().fonte, Fonte::Sacchetto);
    }
    QCOMPARE(computer, mano);

    if (ritiro) {
        // Withdrawn and drawn again by the computer: the same number, as the next call; no fingerprint again.
        QVERIFY(f6(t) != 0);
        QTest::mouseClick(t.Img[n], Qt::RightButton);
        QCOMPARE(f6(t), n);
        QCOMPARE(banco.richieste.chiesto.size(), 2); // the fingerprint, the withdrawal's question
        const QList<Evento> eventi = t.partita().storia().corrente.eventi;
        QCOMPARE(eventi.at(eventi.size() - 2).tipo, Evento::Tipo::Ritiro);
        QCOMPARE(eventi.constLast().numero, n);
        QCOMPARE(eventi.constLast().fonte, Fonte::Computer);
    }
}

void TestComandiPartita::f6TraIDoppiClic()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione);
    QVERIFY(banco.estrai(45));
    // The game's order is fixed at its first call: the bag now gives the computer's first number.
    const int primo = primoDellOrdine(t, {45});
    QVERIFY(banco.estrai(primo));
    const int secondo = f6(t);
    QCOMPARE(secondo, primoDellOrdine(t, {45, primo}));
    QVERIFY(banco.estrai(primoDellOrdine(t, {45, primo, secondo})));
    const int terzo = f6(t);
    QCOMPARE(terzo, primoDellOrdine(t, {45, primo, secondo, primoDellOrdine(t, {45, primo, secondo})}));
    QList<Fonte> fonti;
    for (const Evento &e : t.partita().storia().corrente.eventi)
        fonti << e.fonte;
    QCOMPARE(fonti, (QList<Fonte>{Fonte::Sacchetto, Fonte::Sacchetto, Fonte::Computer, Fonte::Sacchetto, Fonte::Computer}));
    const QList<int> chiamate = numeriDelleChiamate(t.partita().storia().corrente);
    QCOMPARE(QSet<int>(chiamate.begin(), chiamate.end()).size(), 5);
    QCOMPARE(differenze(t, chiamate), QString());
}

void TestComandiPartita::f6Ignorata()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione + righe({3}));
    const auto chiamate = [&] { return t.partita().storia().corrente.chiamate(); };
    const int prima = chiamate();

    // A key held down: its repeats draw nothing, and do not close F6's pop-up either.
    QKeyEvent ripetuto(QEvent::KeyPress, Qt::Key_F6, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&t, &ripetuto);
    QCOMPARE(chiamate(), prima);
    bool apertoDopo = false;
    int durante = -1;
    QVERIFY(f6(t, [&](frmTip *tip) {
        for (int i = 0; i < 5; ++i) {
            QKeyEvent ancora(QEvent::KeyPress, Qt::Key_F6, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(tip, &ancora);
        }
        // Reaching the board under the pop-up, F6 draws nothing more.
        QTest::keyClick(&t, Qt::Key_F6);
        durante = chiamate();
        QTest::qWait(50);
        apertoDopo = tip->isVisible();
        QTest::keyClick(tip, ' ');
    }) != 0);
    QVERIFY(apertoDopo);
    QCOMPARE(durante, prima);
    QCOMPARE(chiamate(), prima + 1);

    // Modifiers: Shift and Ctrl do nothing; Alt leaves the board, drawing nothing.
    QTest::keyClick(&t, Qt::Key_F6, Qt::ShiftModifier);
    QTest::keyClick(&t, Qt::Key_F6, Qt::ControlModifier);
    QTest::keyClick(&t, Qt::Key_F5, Qt::ShiftModifier);
    QVERIFY(t.isVisible());
    QTest::keyClick(&t, Qt::Key_F6, Qt::AltModifier);
    QVERIFY(t.isHidden());
    QCOMPARE(chiamate(), prima + 1);
    t.show();

    // A card check, the information dialog, F11.
    banco.richieste.immissioni = {QStringLiteral("tabellone 1")};
    QVERIFY(allaModale<frmVerifica>([&] { QTest::keyClick(&t, Qt::Key_F5); }, [&](frmVerifica *d) {
        QTest::keyClick(&t, Qt::Key_F6);
        d->accept();
    }));
    QVERIFY(allaModale<frmAbout>([&] { QTest::keyClick(&t, Qt::Key_F1); }, [&](frmAbout *d) {
        QTest::keyClick(&t, Qt::Key_F6);
        QTest::keyClick(&t, Qt::Key_F9);
        d->reject();
    }));
    QTest::keyClick(&t, Qt::Key_F11);
    QVERIFY(t.partita().occupata());
    QTest::keyClick(&t, Qt::Key_F6);
    QTRY_VERIFY(!t.partita().occupata());
    QCOMPARE(chiamate(), prima + 1);
    QVERIFY(!t.comandiPartita().automatiche().attive());
}

void TestComandiPartita::novantaPressioni()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione);
    QList<int> visti;
    for (int i = 0; i < UltimoNumero; ++i)
        visti << f6(t);
    QCOMPARE(f6(t), 0);
    QList<int> ordinati = visti;
    std::sort(ordinati.begin(), ordinati.end());
    QList<int> tutti(UltimoNumero);
    std::iota(tutti.begin(), tutti.end(), 1);
    QCOMPARE(ordinati, tutti);
    const auto ordine = ordineDelSeme(t.partita().storia().corrente.seme);
    QCOMPARE(visti, QList<int>(ordine.begin(), ordine.end()));
    QCOMPARE(differenze(t, tutti), QString());
    QCOMPARE(numeriDelleChiamate(t.partita().storia().corrente), visti);
    QVERIFY(t.partita().storia().corrente.chiusa());
    QCOMPARE(banco.registro(), Intestazione + righe(visti));
}

void TestComandiPartita::automaticheTenutaEIntervallo()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione);
    auto &automatiche = t.comandiPartita().automatiche();
    automatiche.impostaSecondo(Secondo);
    t.partita().impostaIntervallo(5);
    const qint64 tenuta = 6 * Secondo.count(), intervallo = 5 * Secondo.count();
    Osservatore visto;
    QTest::keyClick(&t, Qt::Key_F9);
    QVERIFY(automatiche.attive());
    QTRY_VERIFY_WITH_TIMEOUT(visto.comparse.size() >= 3, 5000);
    QCOMPARE(testoSegnale(t).left(10), QStringLiteral("Automatica"));
    QTest::keyClick(&t, Qt::Key_F9);
    QTRY_VERIFY(!automatiche.attive() && !modale<frmTip>());
    QCOMPARE(testoSegnale(t), QString());
    QCOMPARE(visto.tolti, 0);
    const qint64 ultimo = visto.orologio.elapsed();
    QTest::qWait(int(3 * intervallo));
    QVERIFY(visto.comparse.constLast() < ultimo);
    // Each pop-up held its time (never closed sooner), each next draw an interval after it closed.
    for (int i = 0; i < 2; ++i) {
        const qint64 su = visto.chiusure[i] - visto.comparse[i];
        const qint64 attesa = visto.comparse[i + 1] - visto.chiusure[i];
        QVERIFY2(su >= tenuta - 4 && su < tenuta + 1000, qPrintable(QStringLiteral("held %1 ms").arg(su)));
        QVERIFY2(attesa >= intervallo - 4 && attesa < intervallo + 1000,
                 qPrintable(QStringLiteral("next after %1 ms").arg(attesa)));
    }
    const StoriaPartita &partita = t.partita().storia().corrente;
    QVERIFY(partita.chiamate() >= 3);
    QVERIFY(std::all_of(partita.eventi.begin(), partita.eventi.end(), [](const Evento &e) { return e.fonte == Fonte::Computer; }));
    // A key closes an automatic draw's pop-up sooner, and a later F6's pop-up waits for its key again.
    QTest::keyClick(&t, Qt::Key_F9);
    QVERIFY(allaProssima());
    QTest::keyClick(&t, Qt::Key_F9);
    QTRY_VERIFY(!automatiche.attive());
    bool aperto = false;
    QVERIFY(f6(t, [&](frmTip *p) {
        QTest::qWait(int(2 * tenuta));
        aperto = p->isVisible();
        QTest::keyClick(p, ' ');
    }));
    QVERIFY(aperto);
}

void TestComandiPartita::automatichePause()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione);
    auto &automatiche = t.comandiPartita().automatiche();
    automatiche.impostaSecondo(Secondo);
    t.partita().impostaIntervallo(8);
    const qint64 intervallo = 8 * Secondo.count();
    const auto chiamate = [&] { return t.partita().storia().corrente.chiamate(); };
    QTest::keyClick(&t, Qt::Key_F9);
    QVERIFY(allaProssima());
    QTRY_VERIFY(!modale<frmTip>() && !automatiche.inEstrazione());

    const auto inPausa = [&](const std::function<void()> &apri, const std::function<void()> &chiudi) {
        QTest::qWait(int(intervallo / 4));
        apri();
        QTRY_VERIFY(automatiche.sospese());
        const milliseconds restante = automatiche.mancante();
        const int primaDi = chiamate();
        QTest::qWait(int(2 * intervallo));
        QCOMPARE(chiamate(), primaDi);
        QCOMPARE(automatiche.mancante(), restante);
        QCOMPARE(testoSegnale(t), QStringLiteral("Automatica in pausa: %1 s").arg(automatiche.secondiMancanti()));
        chiudi();
        QTRY_VERIFY(!automatiche.sospese());
        QVERIFY(allaProssima());
        QCOMPARE(chiamate(), primaDi + 1);
        QTRY_VERIFY(!modale<frmTip>() && !automatiche.inEstrazione());
    };
    // A dialog (the information dialog) up meanwhile.
    QVERIFY(allaModale<frmAbout>([&] { QTest::keyClick(&t, Qt::Key_F1); }, [&](frmAbout *d) {
        QTRY_VERIFY(automatiche.sospese());
        const milliseconds restante = automatiche.mancante();
        const int primaDi = chiamate();
        QTest::qWait(int(2 * intervallo));
        QCOMPARE(chiamate(), primaDi);
        QCOMPARE(automatiche.mancante(), restante);
        d->reject();
    }));
    QTRY_VERIFY(!automatiche.sospese());
    QVERIFY(allaProssima());
    QTRY_VERIFY(!modale<frmTip>() && !automatiche.inEstrazione());
    // The game's window open, then closed with Esc.
    inPausa([&] { QTest::keyClick(&t, Qt::Key_F7); },
            [&] { QTest::keyClick(t.comandiPartita().finestra(), Qt::Key_Escape); });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!t.comandiPartita().finestra()->isVisible());
    // The board left, then shown again.
    inPausa([&] { lascia(&t); }, [&] { t.show(); });
    if (QTest::currentTestFailed())
        return;
    QTest::keyClick(&t, Qt::Key_F9);
    QVERIFY(!automatiche.attive());
}

void TestComandiPartita::automaticheFinisconoA90()
{
    QList<int> tranne37;
    for (int n = PrimoNumero; n <= UltimoNumero; ++n)
        if (n != 37)
            tranne37 << n;
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione + righe(tranne37));
    t.comandiPartita().automatiche().impostaSecondo(Secondo);
    t.partita().impostaIntervallo(5);
    Osservatore visto;
    QTest::keyClick(&t, Qt::Key_F9);
    QTRY_VERIFY(!t.comandiPartita().automatiche().attive());
    QTRY_COMPARE(visto.chiusure.size(), 1);
    QTest::qWait(int(12 * Secondo.count()));
    QCOMPARE(visto.comparse.size(), 1);
    QCOMPARE(visto.tolti, 0);
    QCOMPARE(t.partita().storia().corrente.eventi.constLast().numero, 37);
    QCOMPARE(testoSegnale(t), QString());
    // Switched on with nothing left to draw: nothing happens.
    QTest::keyClick(&t, Qt::Key_F9);
    QVERIFY(!t.comandiPartita().automatiche().attive());
}

void TestComandiPartita::finestraDellaPartita()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione + righe({12}));
    Livello = 1;
    t.Livelli();
    QVERIFY(banco.estrai(8));
    QTest::keyClick(&t, Qt::Key_F7);
    frmPartita *f = t.comandiPartita().finestra();
    QVERIFY(f && f->isVisible());
    QVERIFY(!f->isModal());
    QVERIFY(!t.partita().occupata());
    const auto righeTabella = [](const PaginaPartita *p) {
        QStringList righe;
        for (int r = 0; r < p->tabella->rowCount(); ++r) {
            QStringList celle;
            for (int c = 0; c < p->tabella->columnCount(); ++c)
                celle << p->tabella->item(r, c)->text();
            righe << celle.join(QLatin1Char('|'));
        }
        return righe;
    };
    QCOMPARE(righeTabella(f->corrente), (QStringList{"1|12|" + Commenti[12] + "|—|non nota",
                                                     "2|8|" + Commenti[8] + "|21:05:33|sacchetto"}));
    QCOMPARE(f->corrente->lblUltimi->text(), QStringLiteral("Ultimi cinque: 12  8"));
    QCOMPARE(f->schede->count(), 1);

    // A draw with the window open: it follows.
    const int n = f6(t);
    QCOMPARE(righeTabella(f->corrente).constLast(),
             QStringLiteral("3|%1|%2|21:05:33|computer").arg(n).arg(Commenti[std::size_t(n)]));
    QCOMPARE(f->corrente->lblUltimi->text(), QStringLiteral("Ultimi cinque: 12  8  %1").arg(n));
    QCOMPARE(f->corrente->lblImpronta->text(), "Impronta: " + improntaSeme(t.partita().storia().corrente.seme));
    QCOMPARE(f->corrente->lblSeme->text(), QStringLiteral("Seme: svelato alla chiusura della partita"));
    QTest::mouseClick(t.Img[8], Qt::RightButton);
    QCOMPARE(righeTabella(f->corrente).constLast(),
             QStringLiteral("ritiro|8|numero tolto dal tabellone|21:05:33|ritirato"));
    QCOMPARE(f->corrente->lblUltimi->text(), QStringLiteral("Ultimi cinque: 12  %1").arg(n));

    // The interval, kept with the story.
    f->spnIntervallo->setValue(200);
    QCOMPARE(t.partita().storia().intervallo, 120);
    QCOMPARE(t.comandiPartita().automatiche().intervallo(), 120);
    f->spnIntervallo->setValue(45);
    QCOMPARE(ArchivioStoria(banco.cartella.path()).leggi().intervallo, 45);

    // Closing the game asks; No keeps it open, Yes closes it and reveals the seed.
    banco.richieste.chiesto.clear();
    banco.richieste.risposte = {false, true};
    f->cmdChiudiPartita->click();
    QVERIFY(!t.partita().storia().corrente.chiusa());
    f->cmdChiudiPartita->click();
    QCOMPARE(banco.richieste.chiesto.size(), 2);
    QVERIFY(t.partita().storia().corrente.chiusa());
    const QString seme = f->corrente->lblSeme->text().mid(6);
    QCOMPARE(seme, QString::fromLatin1(t.partita().storia().corrente.seme.toHex()));
    QCOMPARE(seme.size(), 64);
    QVERIFY(!f->cmdChiudiPartita->isEnabled());
    QCOMPARE(f6(t), 0);

    // A new game: the one before on its own tab, with its minutes' button.
    banco.richieste.risposte = {true};
    QTest::keyClick(&t, Qt::Key_F2);
    QCOMPARE(f->schede->count(), 2);
    QCOMPARE(righeTabella(f->precedente).size(), 4);
    QCOMPARE(righeTabella(f->corrente), QStringList());
    QVERIFY(f->precedente->cmdVerbale->isEnabled());
    // Its minutes: saved in the documents folder (here a folder of the test's, made when missing), opened, told.
    QStringList aperti;
    const QString documenti = banco.percorso(QStringLiteral("Documenti"));
    f->serviziVerbale = {[&] { return documenti; }, [&](const QString &p) { return aperti << p, true; }};
    f->precedente->cmdVerbale->click();
    QCOMPARE(banco.richieste.domande.constLast().titolo, QStringLiteral("Verbale della partita"));
    QCOMPARE(aperti.size(), 1);
    QCOMPARE(QFileInfo(aperti.constFirst()).absolutePath(), documenti);
    QVERIFY2(QFileInfo(aperti.constFirst()).fileName().startsWith(QStringLiteral("Verbale tombola ")), qPrintable(aperti.constFirst()));
    QFile verbale(aperti.constFirst());
    QVERIFY(verbale.open(QIODevice::ReadOnly));
    QVERIFY(verbale.read(5) == "%PDF-");
    QCOMPARE(banco.richieste.chiesto.constLast(),
             QStringLiteral("Verbale salvato in %1").arg(QDir::toNativeSeparators(aperti.constFirst())));

    // Esc closes it; F7 brings it back.
    QTest::keyClick(f, Qt::Key_Escape);
    QVERIFY(!f->isVisible());
    QTest::keyClick(&t, Qt::Key_F7);
    QVERIFY(f->isVisible());
}

void TestComandiPartita::premiNellaFinestra()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione + righe({1, 2}));
    Partita &p = t.partita();
    Programma programma;
    programma.tabellone = true;
    programma[Categoria::Ambo].premi = {Premio{QStringLiteral("un panettone"), 0}};
    QCOMPARE(p.impostaProgramma(programma), QString());
    QCOMPARE(p.assegna(reclamo(p.storia().corrente, cartellaDelTabellone(1), {})), QString());
    QTest::keyClick(&t, Qt::Key_F7);
    frmPartita *f = t.comandiPartita().finestra();
    QVERIFY(f && f->corrente->lstVincite->isVisibleTo(f));
    QCOMPARE(f->corrente->lstVincite->count(), 1);
    QVERIFY2(f->corrente->lstVincite->item(0)->text().contains(u"chiamata 2"),
             qPrintable(f->corrente->lstVincite->item(0)->text()));
    QVERIFY(!f->cmdRitiraPremio->isEnabled());
    f->corrente->lstVincite->setCurrentRow(0);
    QVERIFY(f->cmdRitiraPremio->isEnabled());
    f->cmdRitiraPremio->click(); // no reason given: nothing changes
    QVERIFY(!p.storia().corrente.assegnazioni.at(0).ritirata);
    banco.richieste.immissioni = {QStringLiteral("cartella letta male")};
    f->cmdRitiraPremio->click();
    QVERIFY(p.storia().corrente.assegnazioni.at(0).ritirata);
    QCOMPARE(p.storia().corrente.assegnazioni.at(0).motivo, QStringLiteral("cartella letta male"));
    QVERIFY(f->corrente->lstVincite->item(0)->text().contains(u"RITIRATO alle"));
    QVERIFY(f->corrente->lstVincite->item(0)->text().endsWith(u"cartella letta male"));
    QVERIFY(!f->cmdRitiraPremio->isEnabled());
    f->close();
}

void TestComandiPartita::misuraF6ControDoppioClic()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione);
    QVERIFY(f6(t) != 0); // the fingerprint once, out of the way
    // From the input to the pop-up's first paint.
    QElapsedTimer orologio;
    qint64 dipinto = -1;
    struct Filtro : QObject {
        std::function<void()> azione;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Paint && o->isWidgetType() && qobject_cast<frmTip *>(static_cast<QWidget *>(o)->window()))
                azione();
            return false;
        }
    } filtro;
    filtro.azione = [&] {
        if (dipinto < 0)
            dipinto = orologio.nsecsElapsed();
    };
    qApp->installEventFilter(&filtro);
    // Closed only once painted: a pop-up closed sooner would give no time.
    const auto chiudiDipinto = [&](frmTip *p) {
        (void)QTest::qWaitFor([&] { return dipinto >= 0; }, 2000);
        QTest::keyClick(p, ' ');
    };
    QList<qint64> tastiera, mouse;
    for (int i = 0; i < 31; ++i) {
        dipinto = -1;
        QVERIFY(allaModale<frmTip>([&] { orologio.start(); QTest::keyClick(&t, Qt::Key_F6); }, chiudiDipinto));
        tastiera << dipinto;
        // By hand, the last number of the computer's order still in the bag.
        const auto ordine = ordineDelSeme(t.partita().storia().corrente.seme);
        const int m = *std::find_if(ordine.rbegin(), ordine.rend(), [](int n) { return Estratti[n] == NonEstratto; });
        dipinto = -1;
        QVERIFY(allaModale<frmTip>([&] { orologio.start(); QTest::mouseDClick(t.Img[m], Qt::LeftButton); },
                                   chiudiDipinto));
        mouse << dipinto;
    }
    qApp->removeEventFilter(&filtro);
    qInfo() << "F6, ns:" << tastiera << "double click, ns:" << mouse;
    const auto mediana = [](QList<qint64> tempi) {
        std::sort(tempi.begin(), tempi.end());
        return tempi.constFirst() < 0 ? -1.0 : tempi[tempi.size() / 2] / 1e6;
    };
    const double f6Ms = mediana(tastiera), clicMs = mediana(mouse);
    qInfo("F6 to pop-up painted: median %.2f ms; double click: %.2f ms; ratio %.2f", f6Ms, clicMs, f6Ms / clicMs);
    QVERIFY(f6Ms > 0 && clicMs > 0);
}

QTEST_MAIN(TestComandiPartita)
#include "test_comandipartita.moc"
