// SPDX-License-Identifier: MIT
#include "commenti.h"

#include <QSet>
#include <QTest>

using Tabella = std::array<QString, 101>;

class TestCommenti : public QObject
{
    Q_OBJECT

private slots:
    // Texts that are easy to lose in transcription, letter for letter.
    void testiDelicatiSonoEsatti_data();
    void testiDelicatiSonoEsatti();

    // Nine numbers read the same at both levels; six texts recur under other numbers.
    void livelliSiSomiglianoSoloDoveDevono();

    // Within a level: no text twice, plain upper-case ASCII, at most 25 characters, no outer blanks.
    void testiDistintiMaiuscoliEBrevi();

    // Level 1 or 2 fills 1..90 and nothing else.
    void livelloRiempieSoloLeVociDaUnoANovanta_data();
    void livelloRiempieSoloLeVociDaUnoANovanta();

    // Level 3 or no level at all leave whatever the table held.
    void livelloTreONessunoLascianoLaTabella();

};

void TestCommenti::testiDelicatiSonoEsatti_data()
{
    QTest::addColumn<int>("livello");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("testo");
    QTest::newRow("1/22 hyphen between blanks") << 1 << 22 << "IL PARROCO - IL PRETE";
    QTest::newRow("1/33 single blank") << 1 << 33 << "GLI ANNI DI CRISTO";
    QTest::newRow("1/39") << 1 << 39 << "LA SMORFIA";
    QTest::newRow("1/48 accent as apostrophe") << 1 << 48 << "LA CASTITA'";
    QTest::newRow("1/90") << 1 << 90 << "LA PAURA";
    QTest::newRow("2/1 blank after apostrophe") << 2 << 1 << "L' ITALIA";
    QTest::newRow("2/6 longest") << 2 << 6 << "QUELLO CHE GUARDA A TERRA";
    QTest::newRow("2/33 two blanks") << 2 << 33 << "GLI ANNI DI  CRISTO";
    QTest::newRow("2/45 two blanks") << 2 << 45 << "IL VINO  BUONO";
    QTest::newRow("2/66 singular") << 2 << 66 << "LE DUE ZITELLA";
}

void TestCommenti::testiDelicatiSonoEsatti()
{
    QFETCH(int, livello);
    QFETCH(int, numero);
    QFETCH(QString, testo);
    QCOMPARE(commentiLivello(livello)[numero - 1], testo);
}

void TestCommenti::livelliSiSomiglianoSoloDoveDevono()
{
    QList<int> uguali;
    QList<std::tuple<QString, int, int>> spostati;
    for (int a = 1; a <= 90; ++a) {
        for (int b = 1; b <= 90; ++b) {
            if (commentiLivello(1)[a - 1] != commentiLivello(2)[b - 1])
                continue;
            if (a == b)
                uguali.append(a);
            else
                spostati.append({commentiLivello(1)[a - 1], a, b});
        }
    }
    QCOMPARE(uguali, (QList<int>{5, 12, 17, 37, 50, 56, 80, 84, 90}));
    std::sort(spostati.begin(), spostati.end());
    QCOMPARE(spostati, (QList<std::tuple<QString, int, int>>{{"I PIDOCCHI", 42, 87},
                                                             {"IL MORTO CHE PARLA", 47, 48},
                                                             {"L'UBRIACO", 78, 14},
                                                             {"LA TESTA", 36, 34},
                                                             {"LE BASTONATE", 54, 38},
                                                             {"LO SCIOCCO", 30, 23}}));
}

void TestCommenti::testiDistintiMaiuscoliEBrevi()
{
    for (int livello : {1, 2}) {
        const auto &testi = commentiLivello(livello);
        QCOMPARE(QSet<QString>(testi.begin(), testi.end()).size(), 90);
        for (const QString &testo : testi) {
            QVERIFY2(!testo.isEmpty() && testo.size() <= 25 && testo.trimmed() == testo, qPrintable(testo));
            QVERIFY2(testo.toUpper() == testo && QString::fromLatin1(testo.toLatin1()) == testo
                         && testo.toLatin1() == testo.toUtf8(),
                     qPrintable(testo));
        }
    }
}

void TestCommenti::livelloRiempieSoloLeVociDaUnoANovanta_data()
{
    QTest::addColumn<int>("livello");
    QTest::newRow("level 1") << 1;
    QTest::newRow("level 2") << 2;
}

void TestCommenti::livelloRiempieSoloLeVociDaUnoANovanta()
{
    QFETCH(int, livello);
    // Starting from the other level's texts: a later start replaces every comment.
    Tabella tabella;
    Livelli(3 - livello, tabella);
    Livelli(livello, tabella);
    QVERIFY(tabella[0].isEmpty());
    for (int n = 91; n <= 100; ++n)
        QVERIFY(tabella[n].isEmpty());
    for (int n = 1; n <= 90; ++n)
        QCOMPARE(tabella[n], commentiLivello(livello)[n - 1]);
}

void TestCommenti::livelloTreONessunoLascianoLaTabella()
{
    for (const std::optional<int> livello : {std::optional<int>(3), std::optional<int>(), std::optional<int>(0)}) {
        Tabella tabella;
        Livelli(livello, tabella);
        QVERIFY(std::all_of(tabella.begin(), tabella.end(), [](const QString &v) { return v.isEmpty(); }));
        Livelli(1, tabella);
        const Tabella livelloUno = tabella;
        Livelli(livello, tabella);
        QCOMPARE(tabella, livelloUno);
    }
}

QTEST_GUILESS_MAIN(TestCommenti)
#include "test_commenti.moc"
