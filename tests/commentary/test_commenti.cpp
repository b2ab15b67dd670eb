// SPDX-License-Identifier: MIT
#include "annuncio.h"
#include "commenti.h"
#include "orologio.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TestCommenti : public QObject
{
    Q_OBJECT

private slots:
    // Within a level no text twice, plain upper-case ASCII, at most 25 characters, no outer blanks;
    // level 2 texts easy to lose in transcription, letter for letter.
    void testiDeiDueLivelli()
    {
        for (int livello : {1, 2}) {
            const auto &testi = commentiLivello(livello);
            QCOMPARE(QSet<QString>(testi.begin(), testi.end()).size(), 90);
            for (const QString &testo : testi)
                QVERIFY2(!testo.isEmpty() && testo.size() <= 25 && testo.trimmed() == testo
                             && testo.toUpper() == testo && testo.toLatin1() == testo.toUtf8(),
                         qPrintable(testo));
        }
        const auto &secondo = commentiLivello(2);
        QCOMPARE((QStringList{secondo[0], secondo[5], secondo[44], secondo[65]}),
                 (QStringList{"L' ITALIA", "QUELLO CHE GUARDA A TERRA", "IL VINO  BUONO", "LE DUE ZITELLA"}));
    }

    // Level 1 or 2 replaces entries 1..90 of a table filled by an earlier start, and nothing
    // else; level 3 or no level at all leave the table as it was.
    void livelloRiempieSoloLeVociDaUnoANovanta_data()
    {
        QTest::addColumn<std::optional<int>>("livello");
        QTest::newRow("level 1") << std::optional<int>(1);
        QTest::newRow("level 2") << std::optional<int>(2);
        QTest::newRow("level 3") << std::optional<int>(3);
        QTest::newRow("no level") << std::optional<int>();
    }
    void livelloRiempieSoloLeVociDaUnoANovanta()
    {
        QFETCH(std::optional<int>, livello);
        // Level 2 first, so that any other level filling the table with level 1 shows.
        const int prima = livello == 2 ? 1 : 2;
        const auto &testi = commentiLivello(livello == 1 || livello == 2 ? *livello : prima);
        std::array<QString, 101> tabella, attesa;
        std::copy(testi.begin(), testi.end(), attesa.begin() + 1);
        Livelli(prima, tabella);
        Livelli(livello, tabella);
        QCOMPARE(tabella, attesa);
    }

    // Every number from 1 to 90 in words: elision before uno and otto, tré in compounds.
    void numeriSiLegonoInParole()
    {
        const QStringList attese = QStringLiteral(
            "uno due tre quattro cinque sei sette otto nove dieci undici dodici tredici quattordici quindici sedici "
            "diciassette diciotto diciannove venti ventuno ventidue ventitré ventiquattro venticinque ventisei "
            "ventisette ventotto ventinove trenta trentuno trentadue trentatré trentaquattro trentacinque trentasei "
            "trentasette trentotto trentanove quaranta quarantuno quarantadue quarantatré quarantaquattro "
            "quarantacinque quarantasei quarantasette quarantotto quarantanove cinquanta cinquantuno cinquantadue "
            "cinquantatré cinquantaquattro cinquantacinque cinquantasei cinquantasette cinquantotto cinquantanove "
            "sessanta sessantuno sessantadue sessantatré sessantaquattro sessantacinque sessantasei sessantasette "
            "sessantotto sessantanove settanta settantuno settantadue settantatré settantaquattro settantacinque "
            "settantasei settantasette settantotto settantanove ottanta ottantuno ottantadue ottantatré "
            "ottantaquattro ottantacinque ottantasei ottantasette ottantotto ottantanove novanta").split(u' ');
        for (int n = 1; n <= 90; ++n)
            QCOMPARE(paroleNumero(n), attese.value(n - 1));
        QVERIFY(paroleNumero(0).isEmpty() && paroleNumero(91).isEmpty());
    }

    // The number, then the comment as a sentence: pauses, accents, elisions, names and saints as
    // they are said. Level 3 has no comment: the number alone.
    void annuncioLeggeNumeroECommento_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("commento");
        QTest::addColumn<QString>("atteso");
        const auto riga = [](const char *nome, int livello, int numero, const char *atteso) {
            QTest::newRow(nome) << numero << (livello == 3 ? QString() : commentiLivello(livello)[numero - 1])
                                << QString::fromUtf8(atteso);
        };
        riga("1/22 dash as pause", 1, 22, "Ventidue. Il parroco, il prete.");
        riga("1/48 CASTITA'", 1, 48, "Quarantotto. La castità.");
        riga("2/13 S. ANTONIO", 2, 13, "Tredici. Sant'Antonio.");
        riga("2/42 CAFFE'", 2, 42, "Quarantadue. Il caffè.");
        riga("3/90", 3, 90, "Novanta.");
        // Accents and saints the lists do not hold yet.
        QTest::newRow("e open and closed, cut word, saints")
            << 4 << QStringLiteral("E' PERCHE' NE' IL VENTITRE' NE' UN PO' S. LUCIA E S. STEFANO")
            << QStringLiteral("Quattro. È perché né il ventitré né un po' santa lucia e santo stefano.");
    }
    void annuncioLeggeNumeroECommento()
    {
        QFETCH(int, numero);
        QFETCH(QString, commento);
        QTEST(testoAnnuncio(numero, commento), "atteso");
    }

    // No comment reaches the voice with a word to spell (an accent mark left at a word's end, a
    // one-letter abbreviation, a run of capitals), a double blank or an aside; each is a sentence.
    void nessunCommentoArrivaAllaVoceDaCompitare()
    {
        const QRegularExpression daCompitare(QStringLiteral("\\w'(?!\\w)|\\b\\w\\.\\s|[A-Z]{2}|  |[()-]"));
        for (int livello : {1, 2}) {
            for (int n = 1; n <= 90; ++n) {
                const QString detto = testoAnnuncio(n, commentiLivello(livello)[n - 1]);
                QVERIFY2(!daCompitare.match(detto).hasMatch() && detto.endsWith(u'.')
                             && detto.at(detto.indexOf(u' ') + 1).isUpper(),
                         qPrintable(detto));
            }
        }
    }

    // The clock column: eleven lines, two-digit values. Scrolling moves the first character, whole
    // even outside the basic plane, to the end.
    void orologioEScorrimento()
    {
        QCOMPARE(testoOrologio(QTime(9, 5, 7)).split(u'\n'),
                 (QStringList{"", "sono", " le ", "ore", "09", "", "min", "05", "", "sec", "07"}));
        QCOMPARE(ruota(QString()), QString());
        QCOMPARE(ruota(QStringLiteral("\U0001F600ab")), QStringLiteral("ab\U0001F600"));
    }
};

QTEST_GUILESS_MAIN(TestCommenti)
#include "test_commenti.moc"
