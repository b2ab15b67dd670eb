// SPDX-License-Identifier: MIT
#include "annuncio.h"
#include "archivio.h"
#include "comandi.h"
#include "frmverifica.h"
#include "prova_finestre.h"

#include <algorithm>
#include <QAccessible>
#include <QElapsedTimer>
#include <QLabel>

#include <algorithm>

class TestTabellone : public QObject
{
    Q_OBJECT

private slots:
    // A new board scrolls the full caption; laid out again it draws one set of lines. Each tick moves
    // caption and message column one character left and sizes them: messages at the unit, the clock no
    // larger and never cut. A screen reader hears the message and the time.
    void nuovoTabelloneETic_data();
    void nuovoTabelloneETic();
    // A double click announces the number on the modal pop-up, then marks, records and speaks
    // it; double clicks queued behind the first are dropped. A screen reader hears the comment and
    // which numbers are out, and never meets the cells that take no part in the game. Only the
    // right button withdraws.
    void doppioClicEAccessibilita();
    // The board's keys start a new game, write messages, maximise and restore, or leave the board;
    // held down, they do not repeat.
    void tastiDelTabellone();
    // F5 asks for a card (by its number, by code and number, or a block of the board) and shows
    // it over the board: drawn numbers marked, each row's count and prize, the best prize, and
    // whether the last number drawn is on it; the voice reads the outcome. An unknown card is
    // told; a cancelled box shows nothing. Closing it changes nothing in the game.
    void verificaConF5_data();
    void verificaConF5();
    // F5 waits its turn: not while F11 is under way, not with a modifier that adds up to it.
    void verificaUnaOperazioneAllaVolta();
};

void TestTabellone::nuovoTabelloneETic_data()
{
    QTest::addColumn<QSize>("tabellone"); // inner size once laid out again, in pixels
    QTest::newRow("a board too narrow for a unit") << QSize(40, 300);
    QTest::newRow("maximised on 1920 x 1080") << QSize(1920, 1050);
}

void TestTabellone::nuovoTabelloneETic()
{
    QFETCH(QSize, tabellone);
    const auto interfaccia = [](QObject *o) { return QAccessible::queryAccessibleInterface(o); };
    Banco banco;
    frmTabellone &t = banco.crea();
    const QString titolo = t.windowTitle();
    QCOMPARE(titolo, titoloTabellone());
    QVERIFY(t.Timer1->isActive());
    // Four separators and a frame of four lines per cell.
    t.resize(tabellone);
    t.RicalcolaMisure();
    QCOMPARE(t.superficie().segmenti().size(), std::size_t(4 + 90 * 4));

    banco.richieste.immissioni = {QStringLiteral("AMBO")};
    QTest::keyClick(&t, Qt::Key_F10);
    QCOMPARE(interfaccia(t.LblDX2)->text(QAccessible::Description), QStringLiteral("AMBO"));
    QVERIFY(QMetaObject::invokeMethod(&t, "Timer1_Timer"));
    QVERIFY(interfaccia(t.LblDX)->text(QAccessible::Description).startsWith(QStringLiteral("sono le ore ")));
    QCOMPARE(t.windowTitle(), titolo.mid(1) + titolo.left(1));
    QCOMPARE(t.LblDX2->text(), QStringLiteral("MBO   \nAMBO   \nA"));
    const double punti = std::max(1, int(Spessore));
    QCOMPARE(t.LblDX2->font().pointSizeF(), punti);
    const double orologio = t.LblDX->font().pointSizeF();
    QVERIFY2(orologio >= 1 && orologio <= punti, qPrintable(QString::number(orologio)));
    // No glyph of the clock reaches the column's edges.
    const QImage immagine = t.LblDX->grab().toImage();
    QRect inchiostro;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x)
            if (qGray(immagine.pixel(x, y)) < 100)
                inchiostro |= QRect(x, y, 1, 1);
    QVERIFY2(orologio == 1 || (!inchiostro.isEmpty() && immagine.rect().adjusted(1, 0, -1, -1).contains(inchiostro)),
             qPrintable(QStringLiteral("clock cut at %1 points").arg(orologio)));
}

void TestTabellone::doppioClicEAccessibilita()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(IntestazioneVecchia + righe({7}));
    Livello = 1;
    t.Livelli();
    VoceFinta voce;
    t.partita().impostaVoce(&voce);
    const auto interfaccia = [](QObject *o) { return QAccessible::queryAccessibleInterface(o); };
    QStringList celle, attese;
    QAccessibleInterface *tabellone = interfaccia(&t);
    for (int i = 0; i < tabellone->childCount(); ++i)
        if (const QObject *figlio = tabellone->child(i)->object(); figlio && figlio->objectName().startsWith("Img"))
            celle << tabellone->child(i)->text(QAccessible::Name);
    for (int n = PrimoNumero; n <= UltimoNumero; ++n)
        attese << (n == 7 ? QStringLiteral("7, estratto") : QString::number(n));
    QCOMPARE(celle, attese);

    // Double clicks that queue up while the first is being handled (a fast hand, a slow
    // machine) are dropped: one pop-up, one line, no reminder for the 7.
    QStringList visto;
    QVERIFY(allaModale<frmTip>(
        [&] {
            for (Immagine *cella : {t.Img[8], t.Img[8], t.Img[9], t.Img[7]}) {
                const QPointF centro = QRectF(cella->rect()).center();
                QCoreApplication::postEvent(cella, new QMouseEvent(QEvent::MouseButtonDblClick, centro,
                                                                   cella->mapToGlobal(centro), Qt::LeftButton,
                                                                   Qt::LeftButton, Qt::NoModifier));
            }
            QCoreApplication::processEvents();
        },
        [&](frmTip *tip) {
            visto << tip->windowTitle() << tip->ImgNumero->nomeCaricato() << tip->LblSmorfia->text()
                  << interfaccia(tip->LblSmorfia)->text(QAccessible::Description)
                  << QString::number(tip->LblSmorfia->font().pointSizeF())
                  << QString::number(tip->superficie().segmenti().size()) << QString::number(Estratti[8])
                  << QString::fromLatin1(banco.registro());
            // The voice starts once the pop-up is on screen.
            QTRY_COMPARE(voce.detti.size(), 1);
            QTest::keyClick(tip, Qt::Key_Space);
        }));
    QCoreApplication::processEvents();
    // Marked and recorded only once the pop-up has been dismissed.
    const QString commento = QStringLiteral("IL PETTO DELLE DONNE");
    QCOMPARE(visto, (QStringList{QStringLiteral("La tombola della smorfia "), nomeImmagine(8), commento, commento,
                                 QString::number(Spessore * 1.9), QStringLiteral("4"), QStringLiteral("0"),
                                 QString::fromLatin1(IntestazioneVecchia + righe({7}))}));
    QCOMPARE(voce.detti, QStringList{testoAnnuncio(8, commento)});
    QCOMPARE(banco.registro(), IntestazioneVecchia + righe({7, 8}));
    QCOMPARE(interfaccia(t.Img[8])->text(QAccessible::Name), QStringLiteral("8, estratto"));

    // Withdrawn (the right button asks; left and middle do not), it is only a number again.
    for (const auto pulsante : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton})
        QTest::mouseClick(t.Img[8], pulsante);
    QCOMPARE(banco.richieste.chiesto, QStringList{QStringLiteral("Vuoi veramente nascondere il numero 8")});
    QCOMPARE(interfaccia(t.Img[8])->text(QAccessible::Name), QStringLiteral("8"));
    QCOMPARE(differenze(t, {7}), QString());
    QCOMPARE(banco.registro(), Intestazione + righe({7}));
}

void TestTabellone::tastiDelTabellone()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(IntestazioneVecchia + righe({3}));
    t.Timer1->stop(); // the tick would scroll the column under the test
    // A key held down does not repeat its command: it asks nothing. F2 and Shift+F1 ask the same;
    // cancel keeps the game (what OK does is the flow test's).
    QKeyEvent tenuto(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&t, &tenuto);
    banco.richieste.risposte = {false, false};
    QTest::keyClick(&t, Qt::Key_F2);
    QTest::keyClick(&t, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(banco.richieste.chiesto, QStringList(2, QStringLiteral("Vuoi azzerare la partita?")));
    QCOMPARE(differenze(t, {3}), QString());

    // F10 writes the message twice, and the box starts from its whole text, though an unbroken
    // thousand characters leave the column only what can show. Ctrl+F10 does nothing.
    const QString lungo(1000, u'X');
    banco.richieste.chiesto.clear();
    banco.richieste.immissioni = {lungo};
    QTest::keyClick(&t, Qt::Key_F10);
    QVERIFY2(t.LblDX2->text().size() < 400, qPrintable(QString::number(t.LblDX2->text().size())));
    QTest::keyClick(&t, Qt::Key_F10, Qt::ControlModifier);
    QTest::keyClick(&t, Qt::Key_F10);
    const Domanda messaggi{QStringLiteral("Messaggi"),
                           QStringLiteral("Immetti parole non più lunghe di 4 caratteri.\n"
                                          "Interrompi le più lunghe con '- '"),
                           std::nullopt};
    QCOMPARE(banco.richieste.domande.mid(2), QList<Domanda>(2, messaggi));
    QCOMPARE(banco.richieste.chiesto,
             (QStringList{QStringLiteral("Messaggi: "), QStringLiteral("Messaggi: %1   \n%1   \n").arg(lungo)}));

    // F11 maximises and lays out again once the new size arrives; until then the board takes no
    // other key. A second F11 restores.
    const QSize dimensione = t.size();
    QTest::keyClick(&t, Qt::Key_F11);
    QVERIFY(t.partita().occupata());
    lascia(&t);
    QTRY_VERIFY(!t.partita().occupata());
    QVERIFY(t.isMaximized() && t.isVisible());
    QVERIFY2(t.width() > dimensione.width() && t.height() > dimensione.height(), "the window did not grow");
    QCOMPARE(t.LblDX2->geometry().bottomRight(), t.rect().bottomRight());
    QTest::keyClick(&t, Qt::Key_F11);
    QTRY_VERIFY(!t.partita().occupata());
    QVERIFY(!t.isMaximized() && t.isVisible());
    QCOMPARE(t.size(), dimensione);

    // F1 opens the information dialog over the board; Ctrl+F8 leaves the board.
    QVERIFY(allaModale<frmAbout>([&] { QTest::keyClick(&t, Qt::Key_F1); }, [](frmAbout *d) { d->reject(); }));
    lascia(&t);
    QVERIFY(t.isHidden());
}

namespace {

const Blocchetto Provato = blocchettoDaSeme(0x7ab311e, 12, QDate(2026, 12, 24));

// The numbers of card 67's row r (0..2), as printed.
QList<int> rigaDi67(int r)
{
    QList<int> numeri;
    const Cartella cartella = Provato.cartella(67);
    for (const auto n : cartella.righe[std::size_t(r)])
        if (n)
            numeri << n;
    return numeri;
}

// Called last to first: a record in ascending order might be one a withdrawal rewrote.
QList<int> alContrario(QList<int> numeri)
{
    std::reverse(numeri.begin(), numeri.end());
    return numeri;
}

// A number that is on no row of card 67.
int fuoriDa67()
{
    for (int n = 1;; ++n)
        if (!rigaDi67(0).contains(n) && !rigaDi67(1).contains(n) && !rigaDi67(2).contains(n))
            return n;
}

} // namespace

void TestTabellone::verificaConF5_data()
{
    QTest::addColumn<QString>("scritto");
    QTest::addColumn<QList<int>>("estratti"); // in drawing order: the last is the last drawn
    QTest::addColumn<QStringList>("attese");  // each row's count and prize; empty: no card shown
    QTest::addColumn<QString>("esito");       // the best prize, or the message for an unknown card
    QTest::addColumn<QString>("ultimo");
    QTest::addColumn<QString>("detto"); // by the voice
    QTest::newRow("nothing drawn")
        << "67" << QList<int>{} << QStringList{"0 su 5", "0 su 5", "0 su 5"} << "Nessun premio"
        << "Ultimo numero estratto: non noto." << "Cartella sessantasette: nessun premio";
    QTest::newRow("an ambo, the last number elsewhere")
        << " 67 " << (rigaDi67(0).mid(0, 2) << fuoriDa67()) << QStringList{"2 su 5: ambo", "0 su 5", "0 su 5"}
        << "AMBO" << QStringLiteral("Ultimo numero estratto: %1, NON è sulla cartella.").arg(fuoriDa67())
        << "Cartella sessantasette: ambo";
    QTest::newRow("a cinquina by code and number, the last on it")
        << Provato.codice.toLower() + "-67" << (rigaDi67(0).mid(0, 1) + alContrario(rigaDi67(1)))
        << QStringList{"1 su 5", "5 su 5: cinquina", "0 su 5"} << "CINQUINA"
        << QStringLiteral("Ultimo numero estratto: %1, è sulla cartella.").arg(rigaDi67(1).constFirst())
        << "Cartella sessantasette: cinquina";
    QTest::newRow("tombola") << "67" << (rigaDi67(2) + rigaDi67(0) + rigaDi67(1))
                             << QStringList{"5 su 5: cinquina", "5 su 5: cinquina", "5 su 5: cinquina"} << "TOMBOLA!"
                             << QStringLiteral("Ultimo numero estratto: %1, è sulla cartella.").arg(rigaDi67(1).constLast())
                             << "Cartella sessantasette: tombola";
    QTest::newRow("a block of the board") << "Tabellone 3" << QList<int>{31, 32, 36, 45, 43}
                                          << QStringList{"2 su 5: ambo", "2 su 5: ambo", "0 su 5"} << "AMBO"
                                          << "Ultimo numero estratto: 43, è nel blocco." << "Tabellone tre: ambo";
    QTest::newRow("no such card") << "73" << QList<int>{5} << QStringList{} << "" << "" << "";
    QTest::newRow("cancelled") << "" << QList<int>{5} << QStringList{} << "" << "" << "";
}

void TestTabellone::verificaConF5()
{
    QFETCH(QString, scritto);
    QFETCH(QList<int>, estratti);
    QFETCH(QStringList, attese);
    QFETCH(QString, esito);
    QFETCH(QString, ultimo);
    QFETCH(QString, detto);
    Banco banco;
    const ArchivioBlocchetti archivio(banco.cartella.path());
    QCOMPARE(archivio.aggiungi(Provato, archivio.turno()), QString());
    const QByteArray registro = IntestazioneVecchia + righe(estratti);
    frmTabellone &t = banco.riprendi(registro);
    VoceFinta voce;
    t.partita().impostaVoce(&voce);
    banco.richieste.immissioni = {scritto};
    QStringList visto;
    QElapsedTimer tempo;
    const bool mostrata = allaModale<frmVerifica>(
        [&] {
            tempo.start();
            QTest::keyClick(&t, Qt::Key_F5);
        },
        [&](frmVerifica *d) {
            qInfo("F5: card on screen %lld ms after Enter", tempo.elapsed());
            for (const QLabel *riga : d->lblRighe)
                visto << riga->text();
            visto << d->lblEsito->text() << d->lblUltimo->text();
            // Each drawn number is marked, and only those.
            for (const auto &riga : d->caselle)
                for (const QLabel *casella : riga)
                    if (!casella->text().isEmpty()
                        && casella->accessibleName().endsWith(QLatin1String(", estratto"))
                               != estratti.contains(casella->text().toInt()))
                        visto << QStringLiteral("mismarked ") + casella->text();
            QTest::keyClick(d, Qt::Key_Return);
        });
    QVERIFY(!banco.richieste.domande.isEmpty());
    QCOMPARE(banco.richieste.domande.constFirst().titolo, QStringLiteral("Controllo cartella"));
    QCOMPARE(mostrata, !attese.isEmpty());
    if (mostrata) {
        QCOMPARE(visto, (attese + QStringList{esito, ultimo}));
        QCOMPARE(voce.detti, QStringList{detto});
    } else {
        // An unknown card is told in a message; a cancelled box asks nothing more.
        QCOMPARE(banco.richieste.domande.size(), scritto.isEmpty() ? 1 : 2);
        QVERIFY(voce.detti.isEmpty());
    }
    QCOMPARE(differenze(t, estratti), QString());
    QCOMPARE(banco.registro(), registro);
    QVERIFY(!t.partita().occupata());
}

void TestTabellone::verificaUnaOperazioneAllaVolta()
{
    Banco banco;
    frmTabellone &t = banco.riprendi(Intestazione);
    QTest::keyClick(&t, Qt::Key_F11);
    QVERIFY(t.partita().occupata());
    QTest::keyClick(&t, Qt::Key_F5);
    QTRY_VERIFY(!t.partita().occupata());
    QTest::keyClick(&t, Qt::Key_F1, Qt::AltModifier);
    QTest::keyClick(&t, Qt::Key_F4, Qt::ShiftModifier);
    QCOMPARE(banco.richieste.domande.size(), 0);
    // While the check's box is up the board takes no draw.
    banco.richieste.immissioni = {QStringLiteral("tabellone 1")};
    QVERIFY(allaModale<frmVerifica>([&] { QTest::keyClick(&t, Qt::Key_F5); }, [&](frmVerifica *d) {
        QVERIFY(t.partita().occupata());
        t.partita().estrai(5);
        d->accept();
    }));
    QCOMPARE(differenze(t, {}), QString());
}

QTEST_MAIN(TestTabellone)
#include "test_tabellone.moc"
