// SPDX-License-Identifier: MIT
#include "archivio.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate Giorno(2026, 12, 7);

QByteArray contenutoDi(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<illeggibile>");
}

bool scrivi(const QString &percorso, const QByteArray &contenuto)
{
    QFile file(percorso);
    return file.open(QIODevice::WriteOnly) && file.write(contenuto) == contenuto.size();
}

const QList<Blocchetto> Tre = {blocchettoDaSeme(1, 10, Giorno), blocchettoDaSeme(0xFEDCBA9876543210ULL, 500, Giorno),
                               blocchettoDaSeme(42, 1, Giorno.addDays(1))};

} // namespace

class TestArchivio : public QObject
{
    Q_OBJECT

private slots:
    void codice()
    {
        const QString codice = codiceBlocchetto(1);
        QCOMPARE(codice, QStringLiteral("1KZKAK")); // the same seed, the same code, everywhere
        QVERIFY(codiceBlocchetto(2) != codice);
        // What a person may type for it.
        QCOMPARE(normalizzaCodice(QStringLiteral(" 1kzkak ")), codice);
        QCOMPARE(normalizzaCodice(QStringLiteral("OIL234")), QStringLiteral("011234"));
        QCOMPARE(normalizzaCodice(QStringLiteral("J48KP")), QString());
        QCOMPARE(normalizzaCodice(QStringLiteral("J48KPU")), QString()); // U is no letter of a code
        QCOMPARE(normalizzaCodice(QStringLiteral("J48KPà")), QString());
    }

    void nuoviBlocchettiDiversi()
    {
        const Blocchetto a = nuovoBlocchetto(3, Giorno);
        const Blocchetto b = nuovoBlocchetto(3, Giorno);
        QVERIFY(a.seme != b.seme);
        QCOMPARE(a.codice, codiceBlocchetto(a.seme));
        QCOMPARE(a.cartelle(), 18);
        QCOMPARE(a.data, Giorno);
    }

    void cartellaNelBlocchetto()
    {
        const Blocchetto &b = Tre[0];
        QCOMPARE(b.cartella(1), generaSerie(b.seme, 1)[0]);
        QCOMPARE(b.cartella(6), generaSerie(b.seme, 1)[5]);
        QCOMPARE(b.cartella(7), generaSerie(b.seme, 2)[0]);
        QCOMPARE(b.cartella(60), generaSerie(b.seme, 10)[5]);
        QCOMPARE(b.cartella(0), Cartella{});
        QCOMPARE(b.cartella(61), Cartella{});
    }

    void andataERitorno()
    {
        const QByteArray contenuto = contenutoArchivio(Tre);
        QVERIFY(contenuto.startsWith("tabellone blocchetti 1\r\n"));
        QCOMPARE(contenuto.count("\r\n"), 4);
        // The seed is on disk only here, never in what is printed.
        QVERIFY(contenuto.contains("fedcba9876543210"));
        const ArchivioLetto letto = leggiArchivio(contenuto);
        QCOMPARE(letto.errore, QString());
        QVERIFY(letto.ultimoCerto);
        QCOMPARE(letto.blocchetti.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(letto.blocchetti[i].seme, Tre[i].seme);
            QCOMPARE(letto.blocchetti[i].serie, Tre[i].serie);
            QCOMPARE(letto.blocchetti[i].data, Tre[i].data);
            QCOMPARE(letto.blocchetti[i].codice, Tre[i].codice);
        }
    }

    // Every damage leaves what cannot be read unread: a message, never a card
    // from a wrong seed.
    void danni_data()
    {
        const QByteArray buono = contenutoArchivio(Tre);
        const qsizetype ultimaRiga = buono.lastIndexOf("\r\n", buono.size() - 3) + 2;
        QByteArray semeCambiato = buono;
        semeCambiato[ultimaRiga + 7] = semeCambiato[ultimaRiga + 7] == '0' ? '1' : '0';
        // A seed changed with the checksum made again: its code gives it away.
        Blocchetto falso = Tre[2];
        falso.seme ^= 1;
        QByteArray rifatto = contenutoArchivio({Tre[0], Tre[1]}) + rigaArchivio(falso);
        Blocchetto troppe = Tre[2];
        troppe.serie = 501;

        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<int>("leggibili");
        QTest::addColumn<bool>("ultimoCerto");
        QTest::addColumn<QString>("errore");
        QTest::newRow("seme cambiato") << semeCambiato << 2 << false << QStringLiteral("è danneggiato: una riga non si può leggere");
        QTest::newRow("seme e somma rifatti") << rifatto << 2 << false << QStringLiteral("è danneggiato: una riga non si può leggere");
        QTest::newRow("troppe serie") << contenutoArchivio({Tre[0], troppe}) << 1 << false << QStringLiteral("è danneggiato: una riga non si può leggere");
        QTest::newRow("ultima riga tagliata") << buono.left(buono.size() - 10) << 2 << false << QStringLiteral("è danneggiato: una riga non si può leggere");
        QTest::newRow("prima riga danneggiata") << QByteArray(buono).replace(Tre[0].codice.toLatin1() + ' ', "XXXXXX ")
                                                << 2 << true << QStringLiteral("è danneggiato: una riga non si può leggere");
        QTest::newRow("due righe rovinate") << QByteArray(buono).replace(" 10 ", " 11 ").replace(" 500 ", " 499 ") << 1
                                            << true << QStringLiteral("è danneggiato: 2 righe non si possono leggere");
        QTest::newRow("intestazione diversa") << QByteArray(buono).replace("blocchetti 1", "blocchetti 2") << 0 << false
                                              << QStringLiteral("non è un elenco di blocchetti di questo programma");
        QTest::newRow("senza fine dell'ultima riga") << buono.chopped(2) << 3 << true << QString();
        QTest::newRow("righe vuote in fondo") << buono + "\r\n\r\n" << 3 << true << QString();
        QTest::newRow("a capo semplice") << QByteArray(buono).replace("\r\n", "\n") << 3 << true << QString();
    }
    void danni()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(int, leggibili);
        QFETCH(bool, ultimoCerto);
        QFETCH(QString, errore);
        const ArchivioLetto letto = leggiArchivio(contenuto);
        QCOMPARE(letto.errore, errore);
        QCOMPARE(letto.blocchetti.size(), leggibili);
        QCOMPARE(letto.ultimoCerto, ultimoCerto);
        // A batch read is one of those written, whole.
        for (const Blocchetto &b : letto.blocchetti) {
            QVERIFY(std::any_of(Tre.begin(), Tre.end(), [&](const Blocchetto &t) {
                return t.seme == b.seme && t.serie == b.serie && t.codice == b.codice && t.data == b.data;
            }));
        }
        const CartellaCercata ultima = cercaCartella(letto, QString(), 1);
        QCOMPARE(ultima.trovata(), ultimoCerto);
        if (ultimoCerto)
            QCOMPARE(ultima.cartella, letto.blocchetti.last().cartella(1));
        else
            QVERIFY(!ultima.errore.isEmpty());
    }

    void cerca_data()
    {
        QTest::addColumn<QString>("codice");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("errore"); // empty: found
        QTest::newRow("ultimo blocchetto") << QString() << 6 << QString();
        QTest::newRow("ultimo, oltre le sue cartelle") << QString() << 7
            << QStringLiteral("La cartella 7 non è del blocchetto %1, che ha le cartelle da 1 a 6.").arg(Tre[2].codice);
        QTest::newRow("per codice, un blocchetto prima") << Tre[0].codice << 60 << QString();
        QTest::newRow("per codice, cartella 61 di 60") << Tre[0].codice << 61
            << QStringLiteral("La cartella 61 non è del blocchetto %1, che ha le cartelle da 1 a 60.").arg(Tre[0].codice);
        QTest::newRow("cartella 0") << QString() << 0
            << QStringLiteral("La cartella 0 non è del blocchetto %1, che ha le cartelle da 1 a 6.").arg(Tre[2].codice);
        QTest::newRow("codice sconosciuto") << QStringLiteral("ZZZZZZ") << 1 << QStringLiteral("Nessun blocchetto ha il codice ZZZZZZ.");
    }
    void cerca()
    {
        QFETCH(QString, codice);
        QFETCH(int, numero);
        QFETCH(QString, errore);
        const CartellaCercata c = cercaCartella(leggiArchivio(contenutoArchivio(Tre)), codice, numero);
        QCOMPARE(c.errore, errore);
        if (errore.isEmpty()) {
            const Blocchetto &b = codice.isEmpty() ? Tre[2] : Tre[0];
            QCOMPARE(c.cartella, b.cartella(numero));
            QCOMPARE(c.codice, b.codice);
            QCOMPARE(c.serie, (numero + 5) / 6);
        }
    }

    void codiceDoppio()
    {
        const ArchivioLetto letto = leggiArchivio(contenutoArchivio({Tre[0], Tre[1], Tre[0]}));
        QVERIFY(!cercaCartella(letto, Tre[0].codice, 1).trovata());
        QVERIFY(cercaCartella(letto, Tre[1].codice, 1).trovata());
    }

    void fileNellaCartella()
    {
        QTemporaryDir cartella;
        const ArchivioBlocchetti archivio(cartella.filePath(QStringLiteral("utente")));
        // Nothing made yet: no file, and a message that says so.
        ArchivioLetto letto = archivio.leggi();
        QVERIFY(letto.mancante);
        QCOMPARE(letto.errore, QString());
        QCOMPARE(cercaCartella(letto, QString(), 1).errore, QStringLiteral("Nessun blocchetto di cartelle è stato ancora creato."));

        const auto primo = archivio.nuovo(2, Giorno);
        QCOMPARE(primo.errore, QString());
        QCOMPARE(archivio.aggiungi(Tre[0]), QString());
        QCOMPARE(contenutoDi(archivio.percorso()), contenutoArchivio({primo.blocchetto, Tre[0]}));
#ifdef Q_OS_UNIX
        // The seeds are for the owner only (Windows keeps a profile's files to their user anyway).
        QCOMPARE(QFile::permissions(archivio.percorso()) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
#endif
        QCOMPARE(archivio.aggiungi(Tre[0]), QStringLiteral("Il codice %1 è già di un altro blocchetto.").arg(Tre[0].codice));
        letto = archivio.leggi();
        QCOMPARE(letto.blocchetti.size(), 2);
        QCOMPARE(cercaCartella(letto, primo.blocchetto.codice, 12).cartella, primo.blocchetto.cartella(12));
        QCOMPARE(cercaCartella(letto, QString(), 12).cartella, Tre[0].cartella(12));
        QCOMPARE(archivio.nuovo(0, Giorno).errore, QStringLiteral("Il numero di serie deve essere da 1 a 500."));
        QCOMPARE(archivio.nuovo(501, Giorno).errore, QStringLiteral("Il numero di serie deve essere da 1 a 500."));

        // A damaged line is kept as it is; the new batch becomes the last.
        QByteArray danneggiato = contenutoDi(archivio.percorso());
        danneggiato.replace(" 2 ", " 3 ");
        QVERIFY(scrivi(archivio.percorso(), danneggiato));
        QCOMPARE(archivio.aggiungi(Tre[1]), QString());
        letto = archivio.leggi();
        QCOMPARE(letto.righeDanneggiate, 1);
        QVERIFY(letto.ultimoCerto);
        QCOMPARE(letto.errore, QStringLiteral("%1 è danneggiato: una riga non si può leggere")
                                   .arg(QDir::toNativeSeparators(archivio.percorso())));
        QCOMPARE(cercaCartella(letto, QString(), 1).cartella, Tre[1].cartella(1));
        QVERIFY(!cercaCartella(letto, primo.blocchetto.codice, 1).trovata());
    }

    void fileCheNonSiLegge()
    {
#ifdef Q_OS_WIN
        QSKIP("a link made by Qt is a shortcut file on Windows, an ordinary file for everyone else");
#endif
        QTemporaryDir cartella;
        const ArchivioBlocchetti archivio(cartella.path());
        const QString altrove = cartella.filePath(QStringLiteral("altrove"));
        QVERIFY(scrivi(altrove, contenutoArchivio(Tre)));
        // A link in its place is not followed, neither to read nor to write.
        QVERIFY(QFile::link(altrove, archivio.percorso()));
        ArchivioLetto letto = archivio.leggi();
        QVERIFY(letto.blocchetti.isEmpty());
        QVERIFY2(letto.errore.endsWith(QStringLiteral("non si può leggere (è un collegamento)")), qPrintable(letto.errore));
        QCOMPARE(cercaCartella(letto, QString(), 1).errore,
                 QStringLiteral("Le cartelle non si possono verificare: il file dei blocchetti %1.").arg(letto.errore));
        QVERIFY(!archivio.aggiungi(blocchettoDaSeme(7, 1, Giorno)).isEmpty());
        QCOMPARE(contenutoDi(altrove), contenutoArchivio(Tre));
        QVERIFY(QFile::remove(archivio.percorso()));

        // A file of something else is left alone.
        QVERIFY(scrivi(archivio.percorso(), "appunti\r\n"));
        QVERIFY(archivio.aggiungi(Tre[0]).contains(QStringLiteral("non è un elenco di blocchetti")));
        QCOMPARE(contenutoDi(archivio.percorso()), QByteArray("appunti\r\n"));
    }

    void scritturaCheFallisce()
    {
        // The folder is a file: nothing can be written there, the old file is untouched.
        QTemporaryDir cartella;
        const QString file = cartella.filePath(QStringLiteral("occupato"));
        QVERIFY(scrivi(file, "x"));
        const ArchivioBlocchetti archivio(file);
        const QString errore = archivio.aggiungi(Tre[0]);
        QVERIFY2(errore.startsWith(QStringLiteral("Il file dei blocchetti")), qPrintable(errore));
        QVERIFY(errore.endsWith(QStringLiteral("il blocchetto non è stato registrato.")));
        QCOMPARE(contenutoDi(file), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(TestArchivio)
#include "test_archivio.moc"
