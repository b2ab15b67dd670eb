// SPDX-License-Identifier: MIT
#include "comandi.h"

#include <QTest>

Q_DECLARE_METATYPE(ComandoTastiera)

class TestComandi : public QObject
{
    Q_OBJECT

private slots:
    // Qt's keys arrive as the board's key codes, and modifiers add to the code, so neighbouring
    // keys reach the same commands; F5 alone checks a card, what adds up to it does nothing. F1, Shift+F1, F10, Ctrl+F10, F11 and Ctrl+F8 are pressed
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
