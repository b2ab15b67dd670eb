// SPDX-License-Identifier: MIT
#include "commenti.h"

#include <QSet>
#include <QTest>

using Tabella = std::array<QString, 101>;

class TestCommenti : public QObject
{
    Q_OBJECT

private slots:
    // Level 2 texts that are easy to lose in transcription, letter for letter
    // (the announcement tests and the check across levels below read others).
    void testiDelicatiSonoEsatti_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("testo");
        QTest::newRow("2/1 blank after apostrophe") << 1 << "L' ITALIA";
        QTest::newRow("2/6 longest") << 6 << "QUELLO CHE GUARDA A TERRA";
        QTest::newRow("2/45 two blanks") << 45 << "IL VINO  BUONO";
        QTest::newRow("2/66 singular") << 66 << "LE DUE ZITELLA";
    }
    void testiDelicatiSonoEsatti()
    {
        QFETCH(int, numero);
        QFETCH(QString, testo);
        QCOMPARE(commentiLivello(2)[numero - 1], testo);
    }

    // Nine numbers read the same at both levels; six texts recur under other numbers.
    void livelliSiSomiglianoSoloDoveDevono()
    {
        QList<int> uguali;
        QList<std::tuple<QString, int, int>> spostati;
        for (int a = 1; a <= 90; ++a)
            for (int b = 1; b <= 90; ++b)
                if (const QString &testo = commentiLivello(1)[a - 1]; testo == commentiLivello(2)[b - 1])
                    a == b ? uguali.append(a) : spostati.append({testo, a, b});
        QCOMPARE(uguali, (QList<int>{5, 12, 17, 37, 50, 56, 80, 84, 90}));
        std::sort(spostati.begin(), spostati.end());
        QCOMPARE(spostati, (QList<std::tuple<QString, int, int>>{{"I PIDOCCHI", 42, 87}, {"IL MORTO CHE PARLA", 47, 48},
                                                                 {"L'UBRIACO", 78, 14}, {"LA TESTA", 36, 34},
                                                                 {"LE BASTONATE", 54, 38}, {"LO SCIOCCO", 30, 23}}));
    }

    // Within a level: no text twice, plain upper-case ASCII, at most 25 characters, no outer blanks.
    void testiDistintiMaiuscoliEBrevi()
    {
        for (int livello : {1, 2}) {
            const auto &testi = commentiLivello(livello);
            QCOMPARE(QSet<QString>(testi.begin(), testi.end()).size(), 90);
            for (const QString &testo : testi)
                QVERIFY2(!testo.isEmpty() && testo.size() <= 25 && testo.trimmed() == testo
                             && testo.toUpper() == testo && testo.toLatin1() == testo.toUtf8(),
                         qPrintable(testo));
        }
    }

    // Level 1 or 2 replaces entries 1..90 of a table filled by an earlier start, and
    // nothing else; level 3, 0 or no level at all leave the table as it was.
    void livelloRiempieSoloLeVociDaUnoANovanta_data()
    {
        QTest::addColumn<std::optional<int>>("livello");
        QTest::newRow("level 1") << std::optional<int>(1);
        QTest::newRow("level 2") << std::optional<int>(2);
        QTest::newRow("level 3") << std::optional<int>(3);
        QTest::newRow("level 0") << std::optional<int>(0);
        QTest::newRow("no level") << std::optional<int>();
    }
    void livelloRiempieSoloLeVociDaUnoANovanta()
    {
        QFETCH(std::optional<int>, livello);
        // Level 2 first, so that any other level filling the table with level 1 shows.
        const int prima = livello == 2 ? 1 : 2;
        const auto &testi = commentiLivello(livello == 1 || livello == 2 ? *livello : prima);
        Tabella tabella, attesa;
        std::copy(testi.begin(), testi.end(), attesa.begin() + 1);
        Livelli(prima, tabella);
        Livelli(livello, tabella);
        QCOMPARE(tabella, attesa);
    }
};

QTEST_GUILESS_MAIN(TestCommenti)
#include "test_commenti.moc"
