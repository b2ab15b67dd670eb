// SPDX-License-Identifier: MIT
#include "comandi.h"

#include <QTest>

Q_DECLARE_METATYPE(ComandoTastiera)

namespace {

int codice(Qt::Key tasto, Qt::KeyboardModifiers modificatori = Qt::NoModifier)
{
    return codiceTasto(tasto, modificatori, 0);
}

} // namespace

class TestComandi : public QObject
{
    Q_OBJECT

private slots:
    // Modifiers add to the key code, so neighbouring function keys reach the same commands.
    void combinazioniRaggiungonoIComandi_data();
    void combinazioniRaggiungonoIComandi();

    // Qt's keys arrive as the board's key codes.
    void codiciDeiTasti_data();
    void codiciDeiTasti();

    // The caption: four copies of the base text with the three key hints between them.
    void titoloDelTabellone();

    // F10's message stands twice in the column, each time followed by three blanks and a line feed.
    void colonnaDeiMessaggi_data();
    void colonnaDeiMessaggi();
};

void TestComandi::combinazioniRaggiungonoIComandi_data()
{
    QTest::addColumn<int>("tasto");
    QTest::addColumn<Qt::KeyboardModifiers>("modificatori");
    QTest::addColumn<ComandoTastiera>("atteso");
    const auto S = Qt::ShiftModifier, C = Qt::ControlModifier, A = Qt::AltModifier;
    using K = ComandoTastiera;
    QTest::newRow("F1") << int(Qt::Key_F1) << Qt::KeyboardModifiers() << K::Informazioni;
    QTest::newRow("F2") << int(Qt::Key_F2) << Qt::KeyboardModifiers() << K::NuovaPartita;
    QTest::newRow("Shift+F1") << int(Qt::Key_F1) << Qt::KeyboardModifiers(S) << K::NuovaPartita;
    QTest::newRow("F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers() << K::Messaggi;
    QTest::newRow("Ctrl+Alt+F4") << int(Qt::Key_F4) << (C | A) << K::LasciaTabellone;
    QTest::newRow("Shift+F9") << int(Qt::Key_F9) << Qt::KeyboardModifiers(S) << K::LasciaTabellone;
    QTest::newRow("Ctrl+F8") << int(Qt::Key_F8) << Qt::KeyboardModifiers(C) << K::LasciaTabellone;
    QTest::newRow("F11") << int(Qt::Key_F11) << Qt::KeyboardModifiers() << K::IngrandisciRiduci;
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(S) << K::IngrandisciRiduci;
    QTest::newRow("Ctrl+F9") << int(Qt::Key_F9) << Qt::KeyboardModifiers(C) << K::IngrandisciRiduci;
    QTest::newRow("Shift+Ctrl+Alt+F4") << int(Qt::Key_F4) << (S | C | A) << K::IngrandisciRiduci;
    QTest::newRow("Ctrl+F10 does nothing") << int(Qt::Key_F10) << Qt::KeyboardModifiers(C) << K::Nessuno;
    QTest::newRow("F3 does nothing") << int(Qt::Key_F3) << Qt::KeyboardModifiers() << K::Nessuno;
    QTest::newRow("Alt+F4 does nothing") << int(Qt::Key_F4) << Qt::KeyboardModifiers(A) << K::Nessuno;
    // Ordinary keys whose sum falls on a command trigger it as well.
    const auto tutti = S | C | A | Qt::KeypadModifier;
    QTest::newRow("keypad 9 with all modifiers is 112") << int(Qt::Key_9) << tutti << K::Informazioni;
    QTest::newRow("keypad slash with Ctrl is 113") << int(Qt::Key_Slash) << (C | Qt::KeypadModifier) << K::NuovaPartita;
    QTest::newRow("digit 9 with all modifiers is only 64") << int(Qt::Key_9) << (S | C | A) << K::Nessuno;
}

void TestComandi::combinazioniRaggiungonoIComandi()
{
    QFETCH(int, tasto);
    QFETCH(Qt::KeyboardModifiers, modificatori);
    QFETCH(ComandoTastiera, atteso);
    QCOMPARE(smistaTasto(codice(Qt::Key(tasto), modificatori), mascheraModificatori(modificatori)), atteso);
}

void TestComandi::codiciDeiTasti_data()
{
    QTest::addColumn<int>("tasto");
    QTest::addColumn<Qt::KeyboardModifiers>("modificatori");
    QTest::addColumn<int>("atteso");
    QTest::newRow("F1") << int(Qt::Key_F1) << Qt::KeyboardModifiers() << 112;
    QTest::newRow("Z with Shift") << int(Qt::Key_Z) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 90;
    QTest::newRow("keypad 9") << int(Qt::Key_9) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 105;
    QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << 13;
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 16;
    QTest::newRow("unknown key") << int(Qt::Key_MediaPlay) << Qt::KeyboardModifiers() << 0;
}

void TestComandi::codiciDeiTasti()
{
    QFETCH(int, tasto);
    QFETCH(Qt::KeyboardModifiers, modificatori);
    QFETCH(int, atteso);
    QCOMPARE(codice(Qt::Key(tasto), modificatori), atteso);
}

void TestComandi::titoloDelTabellone()
{
    const QString t = QStringLiteral("Tabellone Tombola: doppio clic sul numero estratto");
    const QString titolo = titoloTabellone();
    QCOMPARE(titolo, t + " [CTRL+ALT+F4 per finire]   $    " + t + " [F11 ingrandire/ridurre]   $    " + t
                         + " [F1 info]   $    " + t);
}

void TestComandi::colonnaDeiMessaggi_data()
{
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<QString>("colonna");
    QTest::newRow("CIAO") << "CIAO" << "CIAO   \nCIAO   \n";
    QTest::newRow("cancelled box clears it") << "" << "   \n   \n";
}

void TestComandi::colonnaDeiMessaggi()
{
    QFETCH(QString, messaggio);
    QFETCH(QString, colonna);
    QCOMPARE(testoColonnaMessaggi(messaggio), colonna);
}

QTEST_GUILESS_MAIN(TestComandi)
#include "test_comandi.moc"
