// SPDX-License-Identifier: MIT
#include "storia.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QDateTime alle(int minuti, int secondi = 0)
{
    return QDateTime(QDate(2026, 12, 6), QTime(21, minuti, secondi));
}

Evento chiamata(int k, int n, const QDateTime &quando = {}, Fonte fonte = Fonte::Ignota)
{
    return {Evento::Tipo::Chiamata, k, n, quando, fonte};
}

Evento ritiro(int n, const QDateTime &quando = {})
{
    return {Evento::Tipo::Ritiro, 0, n, quando, Fonte::Ignota};
}

// A game: 40 and 7 from the bag, 15 by the computer, 15 withdrawn, 63 by the computer.
StoriaPartita giocata()
{
    StoriaPartita p;
    p.inizio = alle(5);
    p.seme = QByteArray(32, '\x5a');
    p.eventi = {chiamata(1, 40, alle(5), Fonte::Sacchetto), chiamata(2, 7, alle(6), Fonte::Sacchetto),
                chiamata(3, 15, alle(7, 30), Fonte::Computer), ritiro(15, alle(8)),
                chiamata(4, 63, alle(9), Fonte::Computer)};
    return p;
}

const QByteArray Giocata = QByteArrayLiteral("tabellone storia 1\r\n"
                                             "intervallo 35\r\n"
                                             "partita\r\n"
                                             "inizio 2026-12-06T21:05:00\r\n"
                                             "seme 5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a\r\n"
                                             "c 1 40 2026-12-06T21:05:00 s\r\n"
                                             "c 2 7 2026-12-06T21:06:00 s\r\n"
                                             "c 3 15 2026-12-06T21:07:30 c\r\n"
                                             "r 15 2026-12-06T21:08:00\r\n"
                                             "c 4 63 2026-12-06T21:09:00 c\r\n");

// The same game played for prizes: a pot for the next games, and this game's own
// programme with its assignments, one of them withdrawn.
Storia conPremi()
{
    Storia storia{giocata(), std::nullopt, 35, {}};
    Programma &serate = storia.programma;
    serate.montepremi = 50000;
    serate[Categoria::Cinquina] = {QList<Premio>(2), 4000};
    serate[Categoria::Tombola] = {{Premio{u"un prosciutto\r\ne vino"_s, 0}}, 6000};
    Programma &questa = storia.corrente.programma;
    questa.tabellone = true;
    questa[Categoria::Ambo].premi = QList<Premio>(3, Premio{QString(), 500});
    questa[Categoria::Terno].premi = {Premio{u"cesto \"Natale\", caffè 100%"_s, 0}};
    questa[Categoria::Tombola].premi = {Premio{QString(), 5000}};
    Assegnazione ritirata{Categoria::Ambo, 0, {QString(), 500}, {{IdCartella{u"1KZKAK"_s, 67, false}, 2},
                                                                 {IdCartella{{}, 1, true}, 2}},
                          2, alle(6, 10), true, alle(7), u"numero 7 segnato per sbaglio"_s};
    Assegnazione data{Categoria::Ambo, 0, {QString(), 500}, {{IdCartella{u"1KZKAK"_s, 12, false}, 4}},
                      4, alle(9, 30), false, {}, {}};
    storia.corrente.assegnazioni = {ritirata, data};
    return storia;
}

const QByteArray ConPremi = QByteArrayLiteral("tabellone storia 1\r\n"
                                              "intervallo 35\r\n"
                                              "p montepremi 50000\r\n"
                                              "p quota cinquina 4000\r\n"
                                              "p premi cinquina 2 0 -\r\n"
                                              "p quota tombola 6000\r\n"
                                              "p premi tombola 1 0 un%20prosciutto%0D%0Ae%20vino\r\n"
                                              "partita\r\n"
                                              "p tabellone\r\n"
                                              "p premi ambo 3 500 -\r\n"
                                              "p premi terno 1 0 cesto%20%22Natale%22%2C%20caff%C3%A8%20100%25\r\n"
                                              "p premi tombola 1 5000 -\r\n"
                                              "inizio 2026-12-06T21:05:00\r\n"
                                              "seme 5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a\r\n"
                                              "c 1 40 2026-12-06T21:05:00 s\r\n"
                                              "c 2 7 2026-12-06T21:06:00 s\r\n"
                                              "c 3 15 2026-12-06T21:07:30 c\r\n"
                                              "r 15 2026-12-06T21:08:00\r\n"
                                              "c 4 63 2026-12-06T21:09:00 c\r\n"
                                              "a ambo 1 2 2026-12-06T21:06:10 500 - 1KZKAK-67:2,T1:2\r\n"
                                              "ritirata 2026-12-06T21:07:00 numero%207%20segnato%20per%20sbaglio\r\n"
                                              "a ambo 1 4 2026-12-06T21:09:30 500 - 1KZKAK-12:4\r\n");

} // namespace

Q_DECLARE_METATYPE(StoriaPartita)

class TestStoria : public QObject
{
    Q_OBJECT

private slots:
    // The file's exact bytes (the same on every platform), and back.
    void fileScrittoERiletto()
    {
        Storia storia{giocata(), std::nullopt, 35, {}};
        QCOMPARE(contenutoStoria(storia), Giocata);
        QCOMPARE(leggiContenutoStoria(Giocata), std::optional<Storia>(storia));
        // The game before, ended, with calls the record of an older program did not time.
        storia.precedente = StoriaPartita{alle(1), alle(4), QByteArray(32, '\x01'), {chiamata(1, 9), ritiro(9)}, {}, {}};
        QCOMPARE(leggiContenutoStoria(contenutoStoria(storia)), std::optional<Storia>(storia));
        QCOMPARE(leggiContenutoStoria(contenutoStoria({})), std::optional<Storia>(Storia{}));
    }

    // Prizes: the default programme, the game's own and its assignments, in lines of
    // their own; free texts percent-encoded so blanks, line ends and accents survive. A
    // game without prizes keeps the bytes it had (the test above).
    void premiScrittiERiletti()
    {
        const Storia storia = conPremi();
        QCOMPARE(contenutoStoria(storia), ConPremi);
        QCOMPARE(leggiContenutoStoria(ConPremi), std::optional<Storia>(storia));
        // The game before keeps its own, and ends after its assignments.
        Storia dopo = storia;
        dopo.precedente = storia.corrente;
        dopo.precedente->fine = alle(20);
        dopo.corrente = {};
        dopo.corrente.programma = storia.programma;
        QCOMPARE(leggiContenutoStoria(contenutoStoria(dopo)), std::optional<Storia>(dopo));
        QVERIFY(contenutoStoria(dopo).contains("1KZKAK-12:4\r\nfine 2026-12-06T21:20:00\r\n"));
        // Equal prizes in a row are one line: 120 cinquine, then a last one of its own.
        Storia molte;
        molte.programma[Categoria::Cinquina].premi = QList<Premio>(120, Premio{u"buono"_s, 500}) << Premio{};
        QVERIFY(contenutoStoria(molte).contains("p premi cinquina 120 500 buono\r\np premi cinquina 1 0 -\r\n"));
        QCOMPARE(leggiContenutoStoria(contenutoStoria(molte)), std::optional<Storia>(molte));
    }

    // Prize lines another hand wrote: anything this program would not have written reads as no story.
    void righeDeiPremiEstranee_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        const QByteArray testa = "tabellone storia 1\r\nintervallo 20\r\n";
        const QByteArray partita = testa + "partita\r\np premi ambo 2 500 -\r\nc 1 7 - s\r\nc 2 8 - s\r\n";
        const auto conRiga = [&](const QByteArray &riga) { return partita + riga + "\r\n"; };
        QTest::newRow("a programme line after the calls") << conRiga("p premi terno 1 0 -");
        QTest::newRow("a programme line of the next games inside a game")
            << testa + "partita\r\nc 1 7 - s\r\np montepremi 100\r\n";
        QTest::newRow("an unknown category") << testa + "p premi superenalotto 1 0 -\r\npartita\r\n";
        QTest::newRow("a raw blank in a text") << testa + "p premi ambo 1 0 un prosciutto\r\npartita\r\n";
        QTest::newRow("a lower-case escape") << testa + "p premi ambo 1 0 a%2cb\r\npartita\r\n";
        QTest::newRow("a stray percent") << testa + "p premi ambo 1 0 100%\r\npartita\r\n";
        QTest::newRow("an escaped letter") << testa + "p premi ambo 1 0 %41\r\npartita\r\n";
        QTest::newRow("a raw dash as text") << testa + "p premi ambo 1 0 a-b\r\npartita\r\n";
        QTest::newRow("bytes that are not UTF-8") << testa + "p premi ambo 1 0 caff%E8\r\npartita\r\n";
        QTest::newRow("a text of 201 characters")
            << testa + "p premi ambo 1 0 " + QByteArray(201, 'x') + "\r\npartita\r\n";
        QTest::newRow("1000 ambi in two lines")
            << testa + "p premi ambo 999 0 -\r\np premi ambo 1 0 -\r\npartita\r\n";
        QTest::newRow("no prize in a line") << testa + "p premi ambo 0 0 -\r\npartita\r\n";
        QTest::newRow("a negative amount") << testa + "p premi ambo 1 -5 -\r\npartita\r\n";
        QTest::newRow("a leading zero") << testa + "p premi ambo 1 0500 -\r\npartita\r\n";
        QTest::newRow("an amount past the limit") << testa + "p premi ambo 1 10000000001 -\r\npartita\r\n";
        QTest::newRow("two pots") << testa + "p montepremi 100\r\np montepremi 200\r\npartita\r\n";
        QTest::newRow("shares of 90%")
            << testa + "p montepremi 100\r\np quota ambo 9000\r\np premi ambo 1 0 -\r\npartita\r\n";
        QTest::newRow("a share without a pot") << testa + "p quota ambo 10000\r\np premi ambo 1 0 -\r\npartita\r\n";
        QTest::newRow("an extra word") << testa + "p tabellone si\r\npartita\r\n";
        QTest::newRow("an assignment of a category not played") << conRiga("a terno 1 2 - 0 - T1:2");
        QTest::newRow("an assignment of a third ambo") << conRiga("a ambo 3 2 - 500 - T1:2");
        QTest::newRow("the same ambo given twice")
            << conRiga("a ambo 1 2 - 500 - T1:2\r\na ambo 1 2 - 500 - T2:2");
        QTest::newRow("no card") << conRiga("a ambo 1 2 - 500 -");
        QTest::newRow("an empty winner") << conRiga("a ambo 1 2 - 500 - T1:2,");
        QTest::newRow("a card code in lower case") << conRiga("a ambo 1 2 - 500 - 1kzkak-67:2");
        QTest::newRow("a seventh board block") << conRiga("a ambo 1 2 - 500 - T7:2");
        QTest::newRow("completed after the last call") << conRiga("a ambo 1 2 - 500 - T1:3");
        QTest::newRow("a card twice") << conRiga("a ambo 1 2 - 500 - T1:2,T1:1");
        QTest::newRow("a withdrawal of nothing") << conRiga("ritirata - sbaglio");
        QTest::newRow("a withdrawal without reason") << conRiga("a ambo 1 2 - 500 - T1:2\r\nritirata - -");
        QTest::newRow("two withdrawals") << conRiga("a ambo 1 2 - 500 - T1:2\r\nritirata - a\r\nritirata - b");
        QTest::newRow("a call after an assignment") << conRiga("a ambo 1 2 - 500 - T1:2\r\nc 3 9 - s");
        QTest::newRow("an assignment after the end") << conRiga("fine 2026-12-06T21:05:00\r\na ambo 1 2 - 500 - T1:2");
    }
    void righeDeiPremiEstranee()
    {
        QFETCH(QByteArray, contenuto);
        QCOMPARE(leggiContenutoStoria(contenuto), std::optional<Storia>());
    }

    // Their neighbours this program does write read well: each row above differs from one of these by its fault.
    void righeDeiPremiBuone_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        const QByteArray testa = "tabellone storia 1\r\nintervallo 20\r\n";
        const QByteArray partita = testa + "partita\r\np premi ambo 2 500 -\r\nc 1 7 - s\r\nc 2 8 - s\r\n";
        const auto conRiga = [&](const QByteArray &riga) { return partita + riga + "\r\n"; };
        QTest::newRow("a programme and two calls") << partita;
        QTest::newRow("escapes") << testa + "p premi ambo 1 0 a%2Cb%25%2Dc%20%C3%A8\r\npartita\r\n";
        QTest::newRow("a text of 200 characters")
            << testa + "p premi ambo 1 0 " + QByteArray(200, 'x') + "\r\npartita\r\n";
        QTest::newRow("999 ambi in two lines")
            << testa + "p premi ambo 998 0 -\r\np premi ambo 1 500 -\r\npartita\r\n";
        QTest::newRow("the largest amount") << testa + "p premi ambo 1 10000000000 -\r\npartita\r\n";
        QTest::newRow("shares of 100%") << testa
                                            + "p montepremi 100\r\np quota ambo 9000\r\np premi ambo 1 0 -\r\n"
                                              "p quota tombola 1000\r\np premi tombola 1 0 -\r\npartita\r\n";
        QTest::newRow("the second ambo to two cards")
            << conRiga("a ambo 2 2 - 500 - T1:2,1KZKAK-67:1");
        QTest::newRow("an ambo withdrawn and given again")
            << conRiga("a ambo 1 2 - 500 - T1:2\r\nritirata - sbaglio\r\na ambo 1 2 - 500 - T2:2");
        QTest::newRow("the end after an assignment")
            << conRiga("a ambo 1 2 - 500 - T1:2\r\nfine 2026-12-06T21:05:00");
    }
    void righeDeiPremiBuone()
    {
        QFETCH(QByteArray, contenuto);
        const std::optional<Storia> storia = leggiContenutoStoria(contenuto);
        QVERIFY(storia);
        QCOMPARE(contenutoStoria(*storia), contenuto);
    }

    // What the story tells of the board: calls keep their numbers through withdrawals.
    void cheCosaRaccontaLaPartita()
    {
        const StoriaPartita p = giocata();
        QCOMPARE(p.chiamate(), 4);
        QCOMPARE(p.sulTabellone(), (QList<int>{40, 7, 63}));
        QCOMPARE(p.ultimo(), 63);
        QCOMPARE(p.ultimeChiamate(2), (QList<Evento>{chiamata(2, 7, alle(6), Fonte::Sacchetto),
                                                      chiamata(4, 63, alle(9), Fonte::Computer)}));
        StoriaPartita ritirato = p;
        ritirato.eventi.append(ritiro(63));
        QCOMPARE(ritirato.ultimo(), 7);
    }

    // Untrusted bytes: anything that is not a story this program could have written reads as none.
    void fileEstraneiNonSonoStorie_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        const QByteArray inizio = "tabellone storia 1\r\nintervallo 20\r\npartita\r\n";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("another file") << QByteArray("Partita : 06/12/2026 21:05:33\r\n 7 \r\n");
        QTest::newRow("cut in the middle of a line") << Giocata.left(Giocata.size() - 5);
        QTest::newRow("a line ending in LF only") << inizio + "c 1 7 - s\n";
        QTest::newRow("a call skipping its number") << inizio + "c 2 7 - s\r\n";
        QTest::newRow("a number past 90") << inizio + "c 1 91 - s\r\n";
        QTest::newRow("a number called twice") << inizio + "c 1 7 - s\r\nc 2 7 - s\r\n";
        QTest::newRow("a withdrawal of a number not drawn") << inizio + "r 7 -\r\n";
        QTest::newRow("an unknown source") << inizio + "c 1 7 - x\r\n";
        QTest::newRow("a moment that is not one") << inizio + "c 1 7 2026-13-06T21:05:00 s\r\n";
        QTest::newRow("a short seed") << inizio + "seme 5a5a\r\n";
        QTest::newRow("a seed after the first call") << inizio + "c 1 7 - s\r\nseme " + QByteArray(64, 'a') + "\r\n";
        QTest::newRow("an interval of none") << QByteArray("tabellone storia 1\r\nintervallo 0\r\npartita\r\n");
        QTest::newRow("two current games") << inizio + "partita\r\n";
        QTest::newRow("no current game") << QByteArray("tabellone storia 1\r\nintervallo 20\r\n");
        QTest::newRow("a huge file") << inizio + QByteArray(2 * 1024 * 1024, 'c');
    }
    void fileEstraneiNonSonoStorie()
    {
        QFETCH(QByteArray, contenuto);
        QCOMPARE(leggiContenutoStoria(contenuto), std::optional<Storia>());
    }

    // The record is the board's truth: a story that ran ahead of it by one write (a kill
    // between the two) loses that step; one of an older program's record gains the numbers
    // it lacks as not known; a new game whose record was never written gives way to the old.
    void laStoriaSegueIlRegistro_data()
    {
        QTest::addColumn<StoriaPartita>("storia");
        QTest::addColumn<QList<int>>("registro");
        QTest::addColumn<StoriaPartita>("attesa");
        const StoriaPartita p = giocata();
        StoriaPartita senzaUltima = p;
        senzaUltima.eventi.removeLast();
        QTest::newRow("they agree") << p << QList<int>{7, 40, 63} << p;
        QTest::newRow("killed after the story of a call") << p << QList<int>{40, 7} << senzaUltima;
        StoriaPartita prima = senzaUltima;
        prima.eventi.removeLast();
        QTest::newRow("killed after the story of a withdrawal") << senzaUltima << QList<int>{40, 7, 15} << prima;
        StoriaPartita primaChiamata;
        primaChiamata.seme = p.seme;
        primaChiamata.inizio = alle(5);
        primaChiamata.eventi = {chiamata(1, 40, alle(5), Fonte::Sacchetto)};
        StoriaPartita soloSeme;
        soloSeme.seme = p.seme;
        QTest::newRow("killed after the story of the first call: the seed stays")
            << primaChiamata << QList<int>{} << soloSeme;
        StoriaPartita aggiunta = p;
        aggiunta.eventi << ritiro(63) << chiamata(5, 2) << chiamata(6, 88);
        QTest::newRow("a record changed by another program") << p << QList<int>{2, 40, 7, 88} << aggiunta;
        QTest::newRow("an older program's record") << StoriaPartita{} << QList<int>{30, 5}
                                                  << StoriaPartita{{}, {}, {}, {chiamata(1, 30), chiamata(2, 5)}, {}, {}};
    }
    void laStoriaSegueIlRegistro()
    {
        QFETCH(StoriaPartita, storia);
        QFETCH(QList<int>, registro);
        Storia tutta{storia, std::nullopt, 20, {}};
        concilia(tutta, registro);
        QTEST(tutta.corrente, "attesa");
        QVERIFY(!tutta.precedente);
    }

    void nuovaPartitaMaiRegistrata()
    {
        Storia storia{{}, giocata(), 20, {}};
        storia.precedente->fine = alle(10);
        concilia(storia, {40, 7, 63});
        QCOMPARE(storia.corrente.sulTabellone(), (QList<int>{40, 7, 63}));
        QVERIFY(!storia.precedente);
        // Once the new game's record is written, the game before is kept apart.
        Storia nuova{{}, giocata(), 20, {}};
        concilia(nuova, {});
        QVERIFY(nuova.corrente.vuota() && nuova.precedente);
    }

    // Beside the record: written through the folder, read back with the record it belongs to.
    void archivioAccantoAlRegistro()
    {
        QTemporaryDir cartella;
        const Storia storia{giocata(), std::nullopt, 35, {}};
        QVERIFY(ArchivioStoria(cartella.path()).scrivi(storia).riuscita());
        TabellaEstratti estratti{};
        estratti[40] = estratti[7] = -1;
        QVERIFY(RegistroPartita(cartella.path()).riscrivi(estratti, alle(9)).riuscita());
        const Storia letta = storiaDelRegistro(cartella.path());
        QCOMPARE(letta.corrente.sulTabellone(), (QList<int>{40, 7}));
        QCOMPARE(letta.intervallo, 35);
        QString errore;
        QVERIFY(QFile(cartella.filePath(QStringLiteral("storia.dat"))).resize(10));
        QCOMPARE(ArchivioStoria(cartella.path()).leggi(&errore), Storia{});
        QVERIFY2(errore.contains(u"non è una storia"), qPrintable(errore));
    }
};

QTEST_GUILESS_MAIN(TestStoria)
#include "test_storia.moc"
