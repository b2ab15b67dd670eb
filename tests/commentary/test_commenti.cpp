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
    // level 2 texts easy to lose in transcription, letter for letter. No comment reaches the voice
    // with a word to spell (an accent mark left at a word's end, a one-letter abbreviation, a run of
    // capitals), a double blank or an aside; each is a sentence.
    void testiDeiDueLivelli()
    {
        const QRegularExpression daCompitare(QStringLiteral("\\w'(?!\\w)|\\b\\w\\.\\s|[A-Z]{2}|  |[()-]"));
        for (int livello : {1, 2}) {
            const auto &testi = commentiLivello(livello);
            QCOMPARE(QSet<QString>(testi.begin(), testi.end()).size(), 90);
            for (int n = 1; n <= 90; ++n) {
                const QString &testo = testi[n - 1], detto = testoAnnuncio(n, testo);
                QVERIFY2(!testo.isEmpty() && testo.size() <= 25 && testo.trimmed() == testo && testo.toUpper() == testo
                             && testo.toLatin1() == testo.toUtf8() && !daCompitare.match(detto).hasMatch()
                             && detto.endsWith(u'.') && detto.at(detto.indexOf(u' ') + 1).isUpper(),
                         qPrintable(testo + QStringLiteral(" -> ") + detto));
            }
        }
        const auto &secondo = commentiLivello(2);
        QCOMPARE((QStringList{secondo[0], secondo[5], secondo[44], secondo[65]}),
                 (QStringList{"L' ITALIA", "QUELLO CHE GUARDA A TERRA", "IL VINO  BUONO", "LE DUE ZITELLA"}));
    }

    // Level 1 or 2 replaces entries 1..90 of the table, and nothing else; level 3 or no level at
    // all leave the table as an earlier start filled it.
    void livelloRiempieSoloLeVociDaUnoANovanta()
    {
        std::array<QString, 101> tabella, uno, due;
        std::copy(commentiLivello(1).begin(), commentiLivello(1).end(), uno.begin() + 1);
        std::copy(commentiLivello(2).begin(), commentiLivello(2).end(), due.begin() + 1);
        Livelli(2, tabella);
        QCOMPARE(tabella, due);
        // Left with level 2, so that either filling the table with level 1 shows.
        Livelli(3, tabella);
        Livelli(std::nullopt, tabella);
        QCOMPARE(tabella, due);
        Livelli(1, tabella);
        QCOMPARE(tabella, uno);
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
