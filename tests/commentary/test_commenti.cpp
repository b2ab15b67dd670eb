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

    // The nine numbers that read the same at both levels, and only those.
    void noveNumeriUgualiNeiDueLivelli();

    // Six texts recur across the levels under other numbers.
    void seiTestiCambianoNumeroTraILivelli();

    // Within one level no text appears twice.
    void nessunTestoRipetutoNelloStessoLivello();

    // Plain upper-case ASCII, at most 25 characters, no blanks at the ends.
    void testiMaiuscoliBreviESenzaSpaziAiLati();

    // Level 1 or 2 fills 1..90 and nothing else.
    void livelloRiempieSoloLeVociDaUnoANovanta_data();
    void livelloRiempieSoloLeVociDaUnoANovanta();

    // Level 3 or no level at all leave whatever the table held.
    void livelloTreONessunoLascianoLaTabella_data();
    void livelloTreONessunoLascianoLaTabella();

    // A later start with another level replaces every comment.
    void livelloDueSostituisceIlLivelloUno();
};

void TestCommenti::testiDelicatiSonoEsatti_data()
{
    QTest::addColumn<int>("livello");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("testo");
    QTest::newRow("1/1") << 1 << 1 << "IL MASCHIO";
    QTest::newRow("1/22 hyphen between blanks") << 1 << 22 << "IL PARROCO - IL PRETE";
    QTest::newRow("1/33 single blank") << 1 << 33 << "GLI ANNI DI CRISTO";
    QTest::newRow("1/34 brackets") << 1 << 34 << "L'ADULTERIO (LE CORNA)";
    QTest::newRow("1/39") << 1 << 39 << "LA SMORFIA";
    QTest::newRow("1/48 accent as apostrophe") << 1 << 48 << "LA CASTITA'";
    QTest::newRow("1/90") << 1 << 90 << "LA PAURA";
    QTest::newRow("2/1 blank after apostrophe") << 2 << 1 << "L' ITALIA";
    QTest::newRow("2/6 longest") << 2 << 6 << "QUELLO CHE GUARDA A TERRA";
    QTest::newRow("2/33 two blanks") << 2 << 33 << "GLI ANNI DI  CRISTO";
    QTest::newRow("2/42") << 2 << 42 << "IL CAFFE'";
    QTest::newRow("2/45 two blanks") << 2 << 45 << "IL VINO  BUONO";
    QTest::newRow("2/66 singular") << 2 << 66 << "LE DUE ZITELLA";
    QTest::newRow("2/77") << 2 << 77 << "LI DIAVOLI";
    QTest::newRow("2/90") << 2 << 90 << "LA PAURA";
}

void TestCommenti::testiDelicatiSonoEsatti()
{
    QFETCH(int, livello);
    QFETCH(int, numero);
    QFETCH(QString, testo);
    QCOMPARE(commentiLivello(livello)[numero - 1], testo);
}

void TestCommenti::noveNumeriUgualiNeiDueLivelli()
{
    QList<int> uguali;
    for (int n = 1; n <= 90; ++n) {
        if (commentiLivello(1)[n - 1] == commentiLivello(2)[n - 1])
            uguali.append(n);
    }
    QCOMPARE(uguali, (QList<int>{5, 12, 17, 37, 50, 56, 80, 84, 90}));
    QCOMPARE(commentiLivello(1)[4], QStringLiteral("LA MANO"));
}

void TestCommenti::seiTestiCambianoNumeroTraILivelli()
{
    const QList<std::tuple<QString, int, int>> attesi = {
        {"LO SCIOCCO", 30, 23}, {"LA TESTA", 36, 34},         {"LE BASTONATE", 54, 38},
        {"IL MORTO CHE PARLA", 47, 48}, {"I PIDOCCHI", 42, 87}, {"L'UBRIACO", 78, 14},
    };
    int trovati = 0;
    for (int a = 1; a <= 90; ++a) {
        for (int b = 1; b <= 90; ++b) {
            if (a != b && commentiLivello(1)[a - 1] == commentiLivello(2)[b - 1]) {
                QVERIFY2(attesi.contains({commentiLivello(1)[a - 1], a, b}), qPrintable(commentiLivello(1)[a - 1]));
                ++trovati;
            }
        }
    }
    QCOMPARE(trovati, 6);
}

void TestCommenti::nessunTestoRipetutoNelloStessoLivello()
{
    for (int livello : {1, 2}) {
        const auto &testi = commentiLivello(livello);
        const QSet<QString> distinti(testi.begin(), testi.end());
        QCOMPARE(distinti.size(), 90);
    }
}

void TestCommenti::testiMaiuscoliBreviESenzaSpaziAiLati()
{
    for (int livello : {1, 2}) {
        for (const QString &testo : commentiLivello(livello)) {
            QVERIFY2(!testo.isEmpty() && testo.size() <= 25, qPrintable(testo));
            QCOMPARE(testo.trimmed(), testo);
            QCOMPARE(testo.toUpper(), testo);
            for (QChar c : testo)
                QVERIFY2(c.unicode() >= 32 && c.unicode() < 127, qPrintable(testo));
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
    Tabella tabella;
    Livelli(livello, tabella);
    QVERIFY(tabella[0].isEmpty());
    for (int n = 91; n <= 100; ++n)
        QVERIFY(tabella[n].isEmpty());
    for (int n = 1; n <= 90; ++n)
        QCOMPARE(tabella[n], commentiLivello(livello)[n - 1]);
}

void TestCommenti::livelloTreONessunoLascianoLaTabella_data()
{
    QTest::addColumn<std::optional<int>>("livello");
    QTest::newRow("level 3") << std::optional<int>(3);
    QTest::newRow("no level") << std::optional<int>();
    QTest::newRow("level 0") << std::optional<int>(0);
    QTest::newRow("level 4") << std::optional<int>(4);
}

void TestCommenti::livelloTreONessunoLascianoLaTabella()
{
    QFETCH(std::optional<int>, livello);
    Tabella vuota;
    Livelli(livello, vuota);
    for (const QString &voce : vuota)
        QVERIFY(voce.isEmpty());

    Tabella primaPartenza;
    Livelli(1, primaPartenza);
    const Tabella prima = primaPartenza;
    Livelli(livello, primaPartenza);
    QCOMPARE(primaPartenza, prima);
}

void TestCommenti::livelloDueSostituisceIlLivelloUno()
{
    Tabella tabella;
    Livelli(1, tabella);
    Livelli(2, tabella);
    for (int n = 1; n <= 90; ++n)
        QCOMPARE(tabella[n], commentiLivello(2)[n - 1]);
}

QTEST_GUILESS_MAIN(TestCommenti)
#include "test_commenti.moc"
