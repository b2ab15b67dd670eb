// SPDX-License-Identifier: MIT
#include "comandi.h"

#include <QTest>

Q_DECLARE_METATYPE(ComandoTastiera)

class TestComandi : public QObject
{
    Q_OBJECT

private slots:
    // Qt's keys arrive as the board's key codes, and modifiers add to the code, so neighbouring
    // keys reach the same commands; F5 alone checks a card, F6 alone draws for the computer, F7 alone opens the
    // game's window, F9 alone switches the automatic draws; what adds up to them does nothing. F1, Shift+F1, F10, Ctrl+F10, F11 and Ctrl+F8 are pressed
    // on a board in test_tabellone.
    void tastiRaggiungonoIComandi_data()
    {
        QTest::addColumn<int>("tasto");
        QTest::addColumn<Qt::KeyboardModifiers>("modificatori");
        QTest::addColumn<int>("codice");
        QTest::addColumn<ComandoTastiera>("comando");
        const auto S = Qt::ShiftModifier, C = Qt::ControlModifier, A = Qt::AltModifier, T = Qt::KeypadModifier;
        using K = ComandoTastiera;
        QTest::newRow("F1") << int(Qt::Key_F1) << Qt::KeyboardModifiers() << 112 << K::Informazioni;
        QTest::newRow("Ctrl+Alt+F4") << int(Qt::Key_F4) << (C | A) << 115 << K::LasciaTabellone;
        QTest::newRow("Shift+Ctrl+Alt+F4") << int(Qt::Key_F4) << (S | C | A) << 115 << K::IngrandisciRiduci;
        QTest::newRow("Alt+F4 does nothing") << int(Qt::Key_F4) << Qt::KeyboardModifiers(A) << 115 << K::Nessuno;
        QTest::newRow("F5 checks a card") << int(Qt::Key_F5) << Qt::KeyboardModifiers() << 116 << K::VerificaCartella;
        QTest::newRow("Alt+F1 adds up to F5, does nothing") << int(Qt::Key_F1) << Qt::KeyboardModifiers(A) << 112 << K::Nessuno;
        QTest::newRow("Shift+F4 adds up to F5, does nothing") << int(Qt::Key_F4) << Qt::KeyboardModifiers(S) << 115 << K::Nessuno;
        QTest::newRow("F6: the computer draws") << int(Qt::Key_F6) << Qt::KeyboardModifiers() << 117 << K::EstrazioneComputer;
        QTest::newRow("Shift+F5 adds up to F6, does nothing") << int(Qt::Key_F5) << Qt::KeyboardModifiers(S) << 116 << K::Nessuno;
        QTest::newRow("Ctrl+F4 adds up to F6, does nothing") << int(Qt::Key_F4) << Qt::KeyboardModifiers(C) << 115 << K::Nessuno;
        QTest::newRow("Alt+F2 adds up to F6, does nothing") << int(Qt::Key_F2) << Qt::KeyboardModifiers(A) << 113 << K::Nessuno;
        QTest::newRow("Shift+F6 does nothing") << int(Qt::Key_F6) << Qt::KeyboardModifiers(S) << 117 << K::Nessuno;
        QTest::newRow("Ctrl+F6 does nothing") << int(Qt::Key_F6) << Qt::KeyboardModifiers(C) << 117 << K::Nessuno;
        QTest::newRow("Alt+F6 leaves") << int(Qt::Key_F6) << Qt::KeyboardModifiers(A) << 117 << K::LasciaTabellone;
        QTest::newRow("Shift+Alt+F6 maximises") << int(Qt::Key_F6) << (S | A) << 117 << K::IngrandisciRiduci;
        QTest::newRow("F7: the game's window") << int(Qt::Key_F7) << Qt::KeyboardModifiers() << 118 << K::FinestraPartita;
        QTest::newRow("Ctrl+F5 adds up to F7, does nothing") << int(Qt::Key_F5) << Qt::KeyboardModifiers(C) << 116 << K::Nessuno;
        QTest::newRow("Shift+F7 does nothing") << int(Qt::Key_F7) << Qt::KeyboardModifiers(S) << 118 << K::Nessuno;
        QTest::newRow("Alt+F7 maximises") << int(Qt::Key_F7) << Qt::KeyboardModifiers(A) << 118 << K::IngrandisciRiduci;
        QTest::newRow("F8 does nothing") << int(Qt::Key_F8) << Qt::KeyboardModifiers() << 119 << K::Nessuno;
        QTest::newRow("F9: automatic draws") << int(Qt::Key_F9) << Qt::KeyboardModifiers() << 120 << K::EstrazioniAutomatiche;
        QTest::newRow("Shift+F8 adds up to F9, does nothing") << int(Qt::Key_F8) << Qt::KeyboardModifiers(S) << 119 << K::Nessuno;
        QTest::newRow("Ctrl+F7 adds up to F9, does nothing") << int(Qt::Key_F7) << Qt::KeyboardModifiers(C) << 118 << K::Nessuno;
        QTest::newRow("Shift+F9 leaves") << int(Qt::Key_F9) << Qt::KeyboardModifiers(S) << 120 << K::LasciaTabellone;
        QTest::newRow("keypad 9 with all modifiers") << int(Qt::Key_9) << (S | C | A | T) << 105 << K::Informazioni;
        QTest::newRow("keypad slash with Ctrl") << int(Qt::Key_Slash) << (C | T) << 111 << K::NuovaPartita;
        QTest::newRow("digit 9 with all modifiers") << int(Qt::Key_9) << (S | C | A) << 57 << K::Nessuno;
        QTest::newRow("Z with Shift") << int(Qt::Key_Z) << Qt::KeyboardModifiers(S) << 90 << K::Nessuno;
        QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << 13 << K::Nessuno;
        QTest::newRow("Shift alone") << int(Qt::Key_Shift) << Qt::KeyboardModifiers(S) << 16 << K::Nessuno;
        QTest::newRow("unknown key") << int(Qt::Key_MediaPlay) << Qt::KeyboardModifiers() << 0 << K::Nessuno;
    }
    void tastiRaggiungonoIComandi()
    {
        QFETCH(int, tasto);
        QFETCH(Qt::KeyboardModifiers, modificatori);
        const int codice = codiceTasto(tasto, modificatori, 0);
        QTEST(codice, "codice");
        QTEST(smistaTasto(codice, mascheraModificatori(modificatori)), "comando");
    }

    // The caption: four copies of the base text with the three key hints between them; the
    // message column: the message twice, each time followed by three blanks and a line feed.
    void testiDelTabellone()
    {
        const QString t = QStringLiteral("Tabellone Tombola: doppio clic sul numero estratto");
        QCOMPARE(titoloTabellone(), t + " [CTRL+ALT+F4 per finire]   $    " + t + " [F11 ingrandire/ridurre]   $    "
                                        + t + " [F1 info]   $    " + t);
        QCOMPARE(testoColonnaMessaggi(QStringLiteral("CIAO")), QStringLiteral("CIAO   \nCIAO   \n"));
    }
};

QTEST_GUILESS_MAIN(TestComandi)
#include "test_comandi.moc"
