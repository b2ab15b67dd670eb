// SPDX-License-Identifier: MIT
#include "annuncio.h"
#include "verifica.h"

#include <QTest>

#include <set>

using namespace Qt::StringLiterals;

namespace {

// Card 1 of the batch with seed 1, written out: the check must show it as printed.
const std::array<std::array<int, 9>, 3> Cartella1 = {{
    {5, 0, 20, 0, 44, 0, 62, 71, 0},
    {0, 0, 22, 31, 0, 53, 0, 72, 87},
    {7, 14, 0, 0, 47, 55, 0, 78, 0},
}};

const Blocchetto Batch = blocchettoDaSeme(1, 12, QDate(2026, 12, 7)); // cards 1..72
const Blocchetto Dopo = blocchettoDaSeme(2, 1, QDate(2026, 12, 8), 73); // cards 73..78, made later
const ArchivioLetto Archivio = leggiArchivio(contenutoArchivio({Batch, Dopo}));

TabellaEstratti tabella(const QList<int> &estratti)
{
    TabellaEstratti t{};
    for (int n : estratti)
        t[std::size_t(n)] = -1;
    return t;
}

QList<int> rigaDi(const Cartella &c, int riga)
{
    QList<int> numeri;
    for (auto n : c.righe[std::size_t(riga)]) {
        if (n != 0)
            numeri.append(n);
    }
    return numeri;
}

QList<int> tutti(const Cartella &c)
{
    return rigaDi(c, 0) + rigaDi(c, 1) + rigaDi(c, 2);
}

} // namespace

class TestVerifica : public QObject
{
    Q_OBJECT

private slots:
    void richieste_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<bool>("tabellone");
        QTest::addColumn<QString>("codice");
        QTest::addColumn<int>("numero");
        QTest::addColumn<bool>("valida");
        QTest::newRow("numero") << "67" << false << "" << 67 << true;
        QTest::newRow("codice-numero") << "1kzkak-67" << false << "1KZKAK" << 67 << true;
        QTest::newRow("O letta come zero") << "K3M9QO - 5" << false << "K3M9Q0" << 5 << true;
        QTest::newRow("tabellone") << "Tabellone 3" << true << "" << 3 << true;
        QTest::newRow("tabellone attaccato") << "tabellone6" << true << "" << 6 << true;
        QTest::newRow("tabellone 7") << "tabellone 7" << true << "" << 0 << false;
        QTest::newRow("codice corto") << "ABC-67" << false << "" << 0 << false;
        QTest::newRow("cartella 0") << "0" << false << "" << 0 << false;
        QTest::newRow("parole") << "ambo!" << false << "" << 0 << false;
    }
    void richieste()
    {
        QFETCH(QString, testo);
        QFETCH(bool, tabellone);
        QFETCH(QString, codice);
        QFETCH(int, numero);
        QFETCH(bool, valida);
        const Richiesta r = leggiRichiesta(testo);
        QCOMPARE(r.valida(), valida);
        QCOMPARE(r.errore.isEmpty(), valida);
        if (!valida)
            return;
        QCOMPARE(r.tipo == Richiesta::Tipo::Tabellone, tabellone);
        QCOMPARE(r.codice, codice);
        QCOMPARE(r.numero, numero);
    }

    void blocchiDelTabellone()
    {
        QCOMPARE(bloccoTabellone(1)[2], (std::array<int, 5>{21, 22, 23, 24, 25}));
        QCOMPARE(bloccoTabellone(2)[1], (std::array<int, 5>{16, 17, 18, 19, 20}));
        QCOMPARE(bloccoTabellone(3)[0], (std::array<int, 5>{31, 32, 33, 34, 35}));
        std::set<int> visti;
        for (int b = 1; b <= 6; ++b) {
            for (const auto &riga : bloccoTabellone(b))
                visti.insert(riga.begin(), riga.end());
        }
        QCOMPARE(int(visti.size()), 90); // together the whole board, each number once
        QCOMPARE(*visti.begin() + *visti.rbegin(), 91);
    }

    void controllo_data()
    {
        const Cartella c67 = Batch.cartella(67);
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QList<int>>("estratti");
        QTest::addColumn<int>("ultimo");
        QTest::addColumn<QList<int>>("perRiga");
        QTest::addColumn<QString>("esito");
        QTest::addColumn<bool>("ultimoSopra");
        QTest::addColumn<QString>("voce"); // empty: no card, errore says why
        QTest::newRow("niente estratto") << "1" << QList<int>{} << 0 << QList<int>{0, 0, 0} << "" << false
                                         << "Cartella uno: nessun premio";
        QTest::newRow("un numero a riga") << "1" << QList<int>{5, 31, 14, 90} << 90 << QList<int>{1, 1, 1} << ""
                                          << false << "Cartella uno: nessun premio";
        QTest::newRow("ambo sulla prima riga") << "1" << QList<int>{5, 20, 31} << 20 << QList<int>{2, 1, 0} << "ambo"
                                               << true << "Cartella uno: ambo";
        QTest::newRow("quaterna, ultimo fuori") << "1kzkak-1" << QList<int>{7, 14, 47, 55, 1, 2} << 2
                                                << QList<int>{0, 0, 4} << "quaterna" << false << "Cartella uno: quaterna";
        QTest::newRow("cinquina sulla 67") << "67" << rigaDi(c67, 1) << int(rigaDi(c67, 1).last())
                                           << QList<int>{0, 5, 0} << "cinquina" << true
                                           << "Cartella sessantasette: cinquina";
        QTest::newRow("tombola") << "1" << tutti(Batch.cartella(1)) + QList<int>{1, 90} << 78 << QList<int>{5, 5, 5}
                                 << "TOMBOLA" << true << "Cartella uno: tombola";
        QTest::newRow("tabellone 1, terno") << "tabellone 1" << QList<int>{1, 2, 11, 12, 13, 6} << 6
                                            << QList<int>{2, 3, 0} << "terno" << false << "Tabellone uno: terno";
        QTest::newRow("tabellone 6, tombola") << "tabellone 6"
                                              << QList<int>{66, 67, 68, 69, 70, 76, 77, 78, 79, 80, 86, 87, 88, 89, 90}
                                              << 90 << QList<int>{5, 5, 5} << "TOMBOLA" << true
                                              << "Tabellone sei: tombola";
        QTest::newRow("67 after a later batch") << "67" << rigaDi(c67, 1) << 2 << QList<int>{0, 5, 0} << "cinquina"
                                                << false << "Cartella sessantasette: cinquina";
        QTest::newRow("past every batch") << "79" << QList<int>{} << 0 << QList<int>{} << "" << false << "";
        QTest::newRow("later batch, not its card") << codiceBlocchetto(2) + "-72" << QList<int>{} << 0 << QList<int>{} << "" << false << "";
        QTest::newRow("later batch, by number") << "73" << tutti(Dopo.cartella(73)) << tutti(Dopo.cartella(73)).constLast()
                                                << QList<int>{5, 5, 5} << "TOMBOLA" << true << "Cartella settantatré: tombola";
        QTest::newRow("later batch, by code") << codiceBlocchetto(2) + "-78" << QList<int>{} << 0 << QList<int>{0, 0, 0}
                                              << "" << false << "Cartella settantotto: nessun premio";
        QTest::newRow("codice sconosciuto") << "ZZZZZZ-1" << QList<int>{} << 0 << QList<int>{} << "" << false << "";
    }
    void controllo()
    {
        QFETCH(QString, testo);
        QFETCH(QList<int>, estratti);
        QFETCH(int, ultimo);
        QFETCH(QList<int>, perRiga);
        QFETCH(QString, esito);
        QFETCH(bool, ultimoSopra);
        QFETCH(QString, voce);
        const TabellaEstratti t = tabella(estratti);
        const Verifica v = verifica(testo, Archivio, t, ultimo);
        QCOMPARE(v.errore.isEmpty(), !voce.isEmpty());
        QCOMPARE(v.testoVoce, voce);
        if (voce.isEmpty())
            return;
        QCOMPARE(v.esito, esito);
        QCOMPARE(v.tombola, esito == QLatin1String("TOMBOLA"));
        QCOMPARE(v.ultimoSullaCartella, ultimoSopra);
        QCOMPARE(v.ultimo, ultimo);
        int totale = 0;
        for (int riga = 0; riga < 3; ++riga) {
            QCOMPARE(v.estrattiRiga[std::size_t(riga)], perRiga[riga]);
            QCOMPARE(v.premioRiga[std::size_t(riga)], premioRiga(perRiga[riga]));
            totale += perRiga[riga];
            // Every place marked exactly when its number is drawn; five numbers a row.
            int pieni = 0;
            for (int j = 0; j < v.colonne; ++j) {
                const int n = v.numeri[std::size_t(riga)][std::size_t(j)];
                pieni += n != 0;
                QCOMPARE(v.estratto[std::size_t(riga)][std::size_t(j)], n != 0 && estratti.contains(n));
            }
            QCOMPARE(pieni, 5);
        }
        QCOMPARE(v.estrattiTotale, totale);
    }

    void cartellaComeStampata()
    {
        const Verifica v = verifica(QStringLiteral("1"), Archivio, tabella({}), 0);
        QCOMPARE(v.colonne, 9);
        for (int r = 0; r < 3; ++r) {
            for (int j = 0; j < 9; ++j)
                QCOMPARE(int(v.numeri[std::size_t(r)][std::size_t(j)]), Cartella1[std::size_t(r)][std::size_t(j)]);
        }
        QCOMPARE(v.titolo, QStringLiteral("Cartella 1 (serie 1, blocchetto %1)").arg(Batch.codice));
        QCOMPARE(verifica(QStringLiteral("67"), Archivio, tabella({}), 0).serie, 12);
        const Verifica b = verifica(QStringLiteral("tabellone 3"), Archivio, tabella({}), 0);
        QCOMPARE(b.colonne, 5);
        QCOMPARE(int(b.numeri[1][4]), 45);
        QCOMPARE(b.titolo, QStringLiteral("Tabellone 3"));
    }

    void messaggi()
    {
        QCOMPARE(verifica(QStringLiteral("79"), Archivio, tabella({}), 0).errore,
                 QStringLiteral("Nessun blocchetto ha la cartella 79: le cartelle stampate vanno da 1 a 78."));
        QCOMPARE(verifica(Dopo.codice + QStringLiteral("-72"), Archivio, tabella({}), 0).errore,
                 QStringLiteral("La cartella 72 non è del blocchetto %1, che ha le cartelle da 73 a 78.").arg(Dopo.codice));
        QCOMPARE(verifica(QStringLiteral("74"), Archivio, tabella({}), 0).titolo,
                 QStringLiteral("Cartella 74 (serie 13, blocchetto %1)").arg(Dopo.codice));
        QCOMPARE(verifica(QStringLiteral("1"), ArchivioLetto{{}, {}, true}, tabella({}), 0).errore,
                 QStringLiteral("Nessun blocchetto di cartelle è stato ancora creato."));
        // The board's blocks need no batch.
        QVERIFY(verifica(QStringLiteral("tabellone 2"), ArchivioLetto{{}, {}, true}, tabella({}), 0).errore.isEmpty());
    }

    void paroleDeiNumeri()
    {
        for (int n = 1; n <= 90; ++n)
            QCOMPARE(paroleNumeroIntero(n), paroleNumero(n));
        // Card numbers go past 90: the elisions and the accent of tre hold there too.
        const QStringList attese = {u"centotré"_s, u"centottanta"_s, u"milleottocentottantuno"_s, u"tremila"_s};
        const QStringList dette = {paroleNumeroIntero(103), paroleNumeroIntero(180), paroleNumeroIntero(1881),
                                   paroleNumeroIntero(3000)};
        QCOMPARE(dette, attese);
        QCOMPARE(paroleNumeroIntero(0), QString());
    }
};

QTEST_GUILESS_MAIN(TestVerifica)
#include "test_verifica.moc"
