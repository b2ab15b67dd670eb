// SPDX-License-Identifier: MIT
// What the phones are given: the game as it stands (never its seed) and one
// card's numbers for the code printed on it, nothing for anything else.
#include "archivio.h"
#include "blocchetto.h"
#include "dichiarazioni.h"
#include "istantanea.h"
#include "ordine.h"
#include "premi.h"
#include "storia.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

QJsonArray interi(const QList<int> &numeri)
{
    QJsonArray a;
    for (int n : numeri)
        a.append(n);
    return a;
}

} // namespace

class TestIstantanea : public QObject
{
    Q_OBJECT

private slots:
    void partita()
    {
        StoriaPartita p;
        p.seme = QByteArray(32, '\x5a');
        // 7, 42, 13 called; 42 withdrawn; 90 called.
        p.eventi.append({Evento::Tipo::Chiamata, 1, 7, {}, Fonte::Sacchetto});
        p.eventi.append({Evento::Tipo::Chiamata, 2, 42, {}, Fonte::Sacchetto});
        p.eventi.append({Evento::Tipo::Chiamata, 3, 13, {}, Fonte::Computer});
        p.eventi.append({Evento::Tipo::Ritiro, 0, 42, {}, Fonte::Ignota});
        p.eventi.append({Evento::Tipo::Chiamata, 4, 90, {}, Fonte::Sacchetto});
        Dichiarazioni::Commenti[90] = QStringLiteral("La paura ");
        const QByteArray json = istantaneaTelefoni(p, 17);
        const QJsonObject o = QJsonDocument::fromJson(json).object();
        QCOMPARE(o[QLatin1String("seq")].toInteger(), 17);
        QCOMPARE(o[QLatin1String("numeri")].toArray(), interi({7, 13, 90}));
        QCOMPARE(o[QLatin1String("ultimo")].toInt(), 90);
        QCOMPARE(o[QLatin1String("commento")].toString(), QStringLiteral("La paura"));
        QCOMPARE(o[QLatin1String("ultimi")].toArray(), interi({7, 13, 90}));
        QCOMPARE(o[QLatin1String("chiamate")].toInt(), 4);
        QCOMPARE(o[QLatin1String("impronta")].toString(), improntaSeme(p.seme));
        QCOMPARE(o[QLatin1String("programma")].toBool(), false);
        // The seed is nowhere, in any spelling.
        for (const QByteArray &seme : {p.seme, p.seme.toHex(), p.seme.toHex().toUpper(), p.seme.toBase64()})
            QVERIFY(!json.contains(seme));
    }

    void premi()
    {
        StoriaPartita p;
        p.programma[Categoria::Ambo].premi = {Premio{QStringLiteral("un salame"), 0}};
        p.programma[Categoria::Tombola].premi = {Premio{QStringLiteral("un prosciutto"), 0}};
        Assegnazione a;
        a.categoria = Categoria::Ambo;
        a.premio = p.programma[Categoria::Ambo].premi[0];
        a.vincitori = {Vincitore{IdCartella{QStringLiteral("K3M9QX"), 67, false}, 5}};
        p.assegnazioni = {a};
        Assegnazione ritirata = a;
        ritirata.ritirata = true;
        ritirata.categoria = Categoria::Tombola;
        p.assegnazioni.append(ritirata);
        const QJsonObject o = QJsonDocument::fromJson(istantaneaTelefoni(p, 1)).object();
        QCOMPARE(o[QLatin1String("programma")].toBool(), true);
        // The ambo is given; the tombola's assignment was withdrawn: it is still open.
        QCOMPARE(o[QLatin1String("aperte")].toArray(), QJsonArray{QStringLiteral("tombola")});
        const QJsonArray premi = o[QLatin1String("premi")].toArray();
        QCOMPARE(premi.size(), 1);
        QCOMPARE(premi[0].toObject()[QLatin1String("categoria")].toString(), QStringLiteral("ambo"));
        QCOMPARE(premi[0].toObject()[QLatin1String("vincitori")].toString(), QStringLiteral("cartella 67"));
        QCOMPARE(premi[0].toObject()[QLatin1String("premio")].toString(), QStringLiteral("un salame"));
    }

    void cartella_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("numero"); // 0: no card
        QTest::newRow("il codice stampato") << QStringLiteral("%1-67") << 67;
        QTest::newRow("minuscole e spazi") << QStringLiteral("  %1-61 ").toLower() << 61;
        QTest::newRow("l'ultima") << QStringLiteral("%1-120") << 120;
        QTest::newRow("oltre l'ultima") << QStringLiteral("%1-121") << 0;
        QTest::newRow("prima della prima") << QStringLiteral("%1-60") << 0;
        QTest::newRow("il numero da solo") << QStringLiteral("67") << 0;
        QTest::newRow("un altro codice") << QStringLiteral("ZZZZZZ-67") << 0;
        QTest::newRow("coda in più") << QStringLiteral("%1-67;1") << 0;
        QTest::newRow("vuoto") << QString() << 0;
        QTest::newRow("un blocco del tabellone") << QStringLiteral("tabellone 3") << 0;
    }
    void cartella()
    {
        QFETCH(QString, testo);
        QFETCH(int, numero);
        const Blocchetto b = blocchettoDaSeme(0x5eed1234u, 10, QDate(2026, 12, 24), 61);
        ArchivioLetto archivio;
        archivio.blocchetti = {b};
        const auto esito = cartellaTelefoni(archivio, testo.contains(QLatin1String("%1")) ? testo.arg(b.codice) : testo);
        QCOMPARE(esito.has_value(), numero != 0);
        if (!esito)
            return;
        const QJsonObject o = QJsonDocument::fromJson(*esito).object();
        QCOMPARE(o[QLatin1String("codice")].toString(), QStringLiteral("%1-%2").arg(b.codice).arg(numero));
        QJsonArray attese;
        for (const auto &riga : numeriDellaCartella(b.cartella(numero))) {
            QJsonArray r;
            for (auto n : riga)
                r.append(int(n));
            attese.append(r);
        }
        QCOMPARE(o[QLatin1String("numeri")].toArray(), attese);
        QCOMPARE(o.keys(), (QStringList{QStringLiteral("codice"), QStringLiteral("numeri")}));
    }
};

QTEST_GUILESS_MAIN(TestIstantanea)
#include "test_istantanea.moc"
