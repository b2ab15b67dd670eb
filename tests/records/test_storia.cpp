// SPDX-License-Identifier: MIT
#include "storia.h"

#include <QTemporaryDir>
#include <QTest>

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

} // namespace

Q_DECLARE_METATYPE(StoriaPartita)

class TestStoria : public QObject
{
    Q_OBJECT

private slots:
    // The file's exact bytes (the same on every platform), and back.
    void fileScrittoERiletto()
    {
        Storia storia{giocata(), std::nullopt, 35};
        QCOMPARE(contenutoStoria(storia), Giocata);
        QCOMPARE(leggiContenutoStoria(Giocata), std::optional<Storia>(storia));
        // The game before, ended, with calls the record of an older program did not time.
        storia.precedente = StoriaPartita{alle(1), alle(4), QByteArray(32, '\x01'), {chiamata(1, 9), ritiro(9)}};
        QCOMPARE(leggiContenutoStoria(contenutoStoria(storia)), std::optional<Storia>(storia));
        QCOMPARE(leggiContenutoStoria(contenutoStoria({})), std::optional<Storia>(Storia{}));
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
                                                  << StoriaPartita{{}, {}, {}, {chiamata(1, 30), chiamata(2, 5)}};
    }
    void laStoriaSegueIlRegistro()
    {
        QFETCH(StoriaPartita, storia);
        QFETCH(QList<int>, registro);
        Storia tutta{storia, std::nullopt, 20};
        concilia(tutta, registro);
        QTEST(tutta.corrente, "attesa");
        QVERIFY(!tutta.precedente);
    }

    void nuovaPartitaMaiRegistrata()
    {
        Storia storia{{}, giocata(), 20};
        storia.precedente->fine = alle(10);
        concilia(storia, {40, 7, 63});
        QCOMPARE(storia.corrente.sulTabellone(), (QList<int>{40, 7, 63}));
        QVERIFY(!storia.precedente);
        // Once the new game's record is written, the game before is kept apart.
        Storia nuova{{}, giocata(), 20};
        concilia(nuova, {});
        QVERIFY(nuova.corrente.vuota() && nuova.precedente);
    }

    // Beside the record: written through the folder, read back with the record it belongs to.
    void archivioAccantoAlRegistro()
    {
        QTemporaryDir cartella;
        const Storia storia{giocata(), std::nullopt, 35};
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
