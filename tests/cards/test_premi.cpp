// SPDX-License-Identifier: MIT
#include "premi.h"
#include "storia.h"
#include "verifica.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// A batch of 12 series (cards 1..72, code 1KZKAK) and an older one of a single series.
const Blocchetto Batch = blocchettoDaSeme(1, 12, QDate(2026, 12, 7));
const Blocchetto Altro = blocchettoDaSeme(2, 1, QDate(2026, 12, 6));
const QList<CartellaGiocata> Elenco = cartelleDeiBlocchetti({Altro, Batch});

// Card 1 of Batch, as printed: its rows are what the tables below call.
const QList<QList<int>> Cartella1 = {{5, 20, 44, 62, 71}, {22, 31, 53, 72, 87}, {7, 14, 47, 55, 78}};

CartellaGiocata carta(const QString &chi)
{
    if (chi.startsWith(u'T'))
        return cartellaDelTabellone(chi.mid(1).toInt());
    const bool altro = chi.startsWith(u"altro "_s);
    const int numero = altro ? chi.mid(6).toInt() : chi.toInt();
    return {IdCartella{altro ? Altro.codice : Batch.codice, numero, false},
            numeriDellaCartella((altro ? Altro : Batch).cartella(numero))};
}

QList<int> riga(const CartellaGiocata &c, int r)
{
    QList<int> numeri;
    for (const auto n : c.numeri[std::size_t(r)])
        numeri.append(n);
    return numeri;
}

QList<int> tutti(const CartellaGiocata &c)
{
    return riga(c, 0) + riga(c, 1) + riga(c, 2);
}

// Numbers in order, each once: a call list.
QList<int> senzaRipetizioni(const QList<int> &numeri)
{
    QList<int> visti;
    for (const int n : numeri) {
        if (!visti.contains(n))
            visti.append(n);
    }
    return visti;
}

// A game told by its calls: a negative number is the withdrawal of that number.
StoriaPartita giocata(const QList<int> &chiamate, const Programma &programma)
{
    StoriaPartita p;
    p.programma = programma;
    for (const int n : chiamate) {
        if (n > 0)
            p.eventi.append({Evento::Tipo::Chiamata, p.chiamate() + 1, n, {}, Fonte::Sacchetto});
        else
            p.eventi.append({Evento::Tipo::Ritiro, 0, -n, {}, Fonte::Ignota});
    }
    return p;
}

// How many prizes each category has, ambo to tombolino; each a text.
Programma programma(const std::array<int, NumeroCategorie> &quanti, bool tabellone = true)
{
    Programma p;
    p.tabellone = tabellone;
    for (const Categoria c : Categorie) {
        for (int i = 0; i < quanti[indice(c)]; ++i)
            p[c].premi.append({u"%1 %2"_s.arg(nomeCategoria(c)).arg(i + 1), 0});
    }
    return p;
}

QString assegna(StoriaPartita &p, const QString &chi, const QList<IdCartella> &pari = {})
{
    const Reclamo r = reclamo(p, carta(chi), Elenco);
    const EsitoAssegnazione e = nuovaAssegnazione(p, r, pari, {});
    if (e.errore.isEmpty())
        p.assegnazioni.append(e.assegnazione);
    return e.errore;
}

// An oracle that shares nothing with the code under test: the F5 check of the
// card on the board after each call in turn, the first call at which it shows the category.
int chiamataSecondoLaVerifica(const NumeriCartella &numeri, const QList<int> &chiamate, Categoria categoria)
{
    Cartella cartella;
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t k = 0; k < 5; ++k)
            cartella.righe[r][k] = numeri[r][k];
    }
    TabellaEstratti tabella{};
    for (qsizetype k = 0; k < chiamate.size(); ++k) {
        tabella[std::size_t(chiamate[k])] = -1;
        const Verifica v = verificaCartella(cartella, tabella, 0);
        const int migliore = *std::max_element(v.estrattiRiga.begin(), v.estrattiRiga.end());
        const bool fatto = categoria >= Categoria::Tombola ? v.tombola : migliore >= int(indice(categoria)) + 2;
        if (fatto)
            return int(k) + 1;
    }
    return 0;
}

// The tied cards the oracle finds: every other card that completed by `entro`, earliest first.
QList<Vincitore> pariSecondoLaVerifica(const QList<CartellaGiocata> &elenco, const IdCartella &chi,
                                       const QList<int> &chiamate, Categoria categoria, int entro)
{
    QList<Vincitore> pari;
    for (const CartellaGiocata &c : elenco) {
        const int k = chiamataSecondoLaVerifica(c.numeri, chiamate, categoria);
        if (k > 0 && k <= entro && !(c.id == chi))
            pari.append({c.id, k});
    }
    std::stable_sort(pari.begin(), pari.end(), [](const Vincitore &a, const Vincitore &b) { return a.chiamata < b.chiamata; });
    return pari;
}

} // namespace

Q_DECLARE_METATYPE(Completamenti)
Q_DECLARE_METATYPE(Programma)

class TestPremi : public QObject
{
    Q_OBJECT

private slots:
    // Every card of a batch kept beside the record under the number printed on it, for
    // batches that start after the ones before too.
    void cartelleColNumeroStampato()
    {
        const Blocchetto primo = blocchettoDaSeme(0x1234, 2, QDate(2026, 12, 6));
        const Blocchetto dopo = blocchettoDaSeme(0x5678, 3, QDate(2026, 12, 6), primo.ultimaCartella() + 1);
        const QList<CartellaGiocata> tutte = cartelleDeiBlocchetti({primo, dopo});
        QCOMPARE(tutte.size(), primo.cartelle() + dopo.cartelle());
        for (const CartellaGiocata &c : tutte) {
            const Blocchetto &b = c.id.codice == primo.codice ? primo : dopo;
            QVERIFY2(b.contiene(c.id.numero), qPrintable(QString::number(c.id.numero)));
            QCOMPARE(c.numeri, numeriDellaCartella(b.cartella(c.id.numero)));
        }
    }
    // The call at which a card completed each category, on the board as it stands: a
    // withdrawal undoes what it completed, a number called again counts from its new call.
    void completamentiDellaCartella_data()
    {
        QTest::addColumn<QString>("cartella");
        QTest::addColumn<QList<int>>("chiamate");
        QTest::addColumn<Completamenti>("attesi"); // ambo … tombolino
        const auto &[r0, r1, r2] = std::tie(Cartella1[0], Cartella1[1], Cartella1[2]);
        QTest::newRow("one number a row: nothing") << "1" << QList<int>{r0[0], r1[0], r2[0], 90}
                                                   << Completamenti{0, 0, 0, 0, 0, 0};
        QTest::newRow("an ambo on the second call of its row")
            << "1" << QList<int>{r0[0], r1[0], 90, r0[1]} << Completamenti{4, 0, 0, 0, 0, 0};
        // Row 1 holds its 2nd, 3rd, 4th number at calls 3, 5, 7; row 0 its 2nd and 3rd at 4 and 6.
        QTest::newRow("each category at its own row's call")
            << "1" << QList<int>{r1[0], r0[0], r1[1], r0[1], r1[2], r0[2], r1[3]} << Completamenti{3, 5, 7, 0, 0, 0};
        QTest::newRow("a cinquina among other numbers")
            << "1" << QList<int>{r2[0], 1, r2[1], r2[2], 2, r2[3], r2[4], 3} << Completamenti{3, 4, 6, 7, 0, 0};
        QTest::newRow("the full card: tombola and tombolino at its fifteenth number")
            << "1" << QList<int>{1} + r0 + r1 + r2 << Completamenti{3, 4, 5, 6, 16, 16};
        QTest::newRow("a withdrawal undoes the ambo")
            << "1" << QList<int>{r0[0], r0[1], -r0[1]} << Completamenti{0, 0, 0, 0, 0, 0};
        QTest::newRow("after a withdrawal the ambo comes with the next number of its row")
            << "1" << QList<int>{r0[0], r0[1], -r0[1], 1, r0[2]} << Completamenti{4, 0, 0, 0, 0, 0};
        QTest::newRow("a number withdrawn and called again counts from its new call")
            << "1" << QList<int>{r0[1], r0[0], -r0[1], 1, r0[1]} << Completamenti{4, 0, 0, 0, 0, 0};
        QTest::newRow("a withdrawal elsewhere changes nothing")
            << "1" << QList<int>{r0[0], 1, r0[1], -1} << Completamenti{3, 0, 0, 0, 0, 0};
        QTest::newRow("a board block: block 1 holds 1-5, 11-15, 21-25")
            << "T1" << QList<int>{11, 90, 1, 2, 3, 4, 5} << Completamenti{4, 5, 6, 7, 0, 0};
        QTest::newRow("a card of the older batch, its first row")
            << "altro 4" << riga(carta(u"altro 4"_s), 0) << Completamenti{2, 3, 4, 5, 0, 0};
    }
    void completamentiDellaCartella()
    {
        QFETCH(QString, cartella);
        QFETCH(QList<int>, chiamate);
        const StoriaPartita p = giocata(chiamate, programma({1, 1, 1, 1, 1, 1}));
        QTEST(completamenti(carta(cartella).numeri, chiamateSulTabellone(p)), "attesi");
    }

    // The cards as the batch gives them, one series drawn for six cards.
    void cartelleDelBlocchetto()
    {
        QCOMPARE(Elenco.size(), 6 + 72);
        for (const CartellaGiocata &c : Elenco) {
            const Blocchetto &b = c.id.codice == Batch.codice ? Batch : Altro;
            QCOMPARE(c.numeri, numeriDellaCartella(b.cartella(c.id.numero)));
        }
        QCOMPARE(riga(Elenco[6], 0), Cartella1[0]);
        QCOMPARE(Elenco.constLast().id, (IdCartella{Batch.codice, 72, false}));
    }

    // A claim: what the card completed in the categories still open, the lowest of them
    // it may win (categories in order, one at a time; not one it already holds), and
    // wrong claims told plainly. "prima": the claims assigned before, in order.
    void reclami_data()
    {
        QTest::addColumn<QList<int>>("chiamate");
        QTest::addColumn<QStringList>("prima");
        QTest::addColumn<QString>("cartella");
        QTest::addColumn<QString>("dichiarata");
        QTest::addColumn<QString>("categoria"); // empty: a wrong claim
        QTest::addColumn<QString>("errore");
        QTest::addColumn<QStringList>("righe");
        // Two ambi, one terno, no quaterna, one cinquina, one tombola, one tombolino.
        const auto &[r0, r1, r2] = std::tie(Cartella1[0], Cartella1[1], Cartella1[2]);
        const QList<int> piena = r0 + r1 + r2;
        const QList<int> bloccoPieno{1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 21, 22, 23, 24, 25};
        const QList<int> dueTessere = senzaRipetizioni(piena + bloccoPieno); // 27 calls: 5, 14, 22 are on both
        QTest::newRow("one number is no ambo")
            << QList<int>{r0[0]} << QStringList() << "1" << "" << "" << "la cartella 1 non ha ancora un ambo"
            << QStringList();
        QTest::newRow("an ambo") << r0.mid(0, 2) << QStringList() << "1" << "" << "ambo" << ""
                                 << QStringList{"ambo completato alla chiamata 2; ultima chiamata 2"};
        QTest::newRow("a terno is an ambo first")
            << r0.mid(0, 3) << QStringList() << "1" << "" << "ambo" << ""
            << QStringList{"ambo completato alla chiamata 2; ultima chiamata 3",
                           "terno completato alla chiamata 3; ultima chiamata 3"};
        QTest::newRow("the terno once both ambi are given")
            << QList<int>{6, 7, 1, 2} + r0.mid(0, 3) << QStringList{"T2", "T1"} << "1" << "" << "terno" << ""
            << QStringList{"terno completato alla chiamata 7; ultima chiamata 7"};
        QTest::newRow("a card holding an ambo goes on to the terno while another ambo is open")
            << r0.mid(0, 3) << QStringList{"1"} << "1" << "" << "terno" << ""
            << QStringList{"terno completato alla chiamata 3; ultima chiamata 3"};
        QTest::newRow("a category not played is passed over")
            << r0.mid(0, 4) << QStringList{"1", "1"} << "1" << "" << "" << "la cartella 1 non ha ancora una cinquina"
            << QStringList();
        QTest::newRow("called a cinquina on a quaterna")
            << r0.mid(0, 4) << QStringList() << "1" << "cinquina" << "" << "la cartella 1 non ha ancora una cinquina"
            << QStringList{"ambo completato alla chiamata 2; ultima chiamata 4",
                           "terno completato alla chiamata 3; ultima chiamata 4"};
        QTest::newRow("called a quaterna, not played")
            << r0.mid(0, 4) << QStringList{"1", "1"} << "1" << "quaterna" << ""
            << "la quaterna non è in programma in questa partita" << QStringList();
        QTest::newRow("called a terno once it is given")
            << r0.mid(0, 4) << QStringList{"1", "1"} << "1" << "terno" << "" << "il terno non è più in palio"
            << QStringList();
        QTest::newRow("called an ambo closed by the tombola")
            << senzaRipetizioni(piena + bloccoPieno) << QStringList{"1", "1", "1", "1"} << "T3" << "ambo" << ""
            << "l'ambo non è più in palio" << QStringList();
        QTest::newRow("called a cinquina with the ambo still open: the ambo")
            << r0 << QStringList() << "1" << "cinquina" << "ambo" << ""
            << QStringList{"ambo completato alla chiamata 2; ultima chiamata 5",
                           "terno completato alla chiamata 3; ultima chiamata 5",
                           "cinquina completata alla chiamata 5; ultima chiamata 5"};
        QTest::newRow("a late claim: completed at 5, claimed at 9")
            << r0 + QList<int>{1, 2, 3, 90} << QStringList{"T1", "1", "1"} << "1" << "cinquina" << "cinquina" << ""
            << QStringList{"cinquina completata alla chiamata 5; ultima chiamata 9"};
        // Block 3 has an ambo (53, 55) and one ambo prize is left, but the tombola is gone.
        QTest::newRow("the tombola closes the smaller prizes")
            << dueTessere << QStringList{"1", "1", "1", "1"} << "T3" << "" << ""
            << "il tabellone 3 non ha ancora un tombolino" << QStringList();
        QTest::newRow("the tombolino is the second full card")
            << dueTessere << QStringList{"1", "1", "1", "1"} << "T1" << "" << "tombolino" << ""
            << QStringList{"tombolino completato alla chiamata 27; ultima chiamata 27"};
        QTest::newRow("the tombola's card cannot take the tombolino")
            << dueTessere << QStringList{"1", "1", "1", "1"} << "1" << "" << ""
            << "la cartella 1 ha già vinto i premi ancora aperti" << QStringList();
        QTest::newRow("all given") << dueTessere << QStringList{"1", "1", "1", "1", "T1"} << "T3" << "" << ""
                                   << "i premi di questa partita sono già stati tutti assegnati" << QStringList();
    }
    void reclami()
    {
        QFETCH(QList<int>, chiamate);
        QFETCH(QStringList, prima);
        QFETCH(QString, cartella);
        QFETCH(QString, dichiarata);
        StoriaPartita p = giocata(chiamate, programma({2, 1, 0, 1, 1, 1}));
        for (const QString &chi : prima)
            QCOMPARE(assegna(p, chi), QString());
        const Reclamo r = reclamo(p, carta(cartella), Elenco, categoriaDalNome(dichiarata));
        QTEST(r.categoria ? nomeCategoria(*r.categoria) : QString(), "categoria");
        QTEST(r.errore, "errore");
        QTEST(r.righe, "righe");
        QCOMPARE(r.valido(), r.errore.isEmpty());
        // A wrong claim gives nothing, and says why.
        const EsitoAssegnazione e = nuovaAssegnazione(p, r, {}, {});
        QCOMPARE(e.errore, r.errore);
    }

    // What each assignment in turn gives, and what closes: the tombolino after a tombola
    // from another card; then everything is given.
    void unaSerataIntera()
    {
        const QList<int> bloccoPieno{1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 21, 22, 23, 24, 25};
        StoriaPartita p = giocata(senzaRipetizioni(Cartella1[0] + Cartella1[1] + Cartella1[2] + bloccoPieno),
                                  programma({2, 1, 0, 1, 1, 1}));
        QStringList date;
        for (const char *chi : {"1", "1", "T1", "1", "1", "T1"}) {
            QCOMPARE(assegna(p, QString::fromLatin1(chi)), QString());
            date.append(u"%1 %2 %3"_s.arg(nomeCategoria(p.assegnazioni.constLast().categoria), QString::fromLatin1(chi))
                            .arg(p.assegnazioni.constLast().numero + 1));
        }
        QCOMPARE(date, (QStringList{"ambo 1 1", "terno 1 1", "ambo T1 2", "cinquina 1 1", "tombola 1 1",
                                    "tombolino T1 1"}));
        QCOMPARE(p.assegnazioni[3].premio, (Premio{u"cinquina 1"_s, 0}));
        const auto stato = statoPremi(p);
        QVERIFY(std::none_of(stato.begin(), stato.end(), [](const StatoCategoria &s) { return s.aperta; }));
        QCOMPARE(stato[indice(Categoria::Ambo)].assegnati, 2);
        QCOMPARE(stato[indice(Categoria::Quaterna)].premi, 0);
    }

    // Tied cards: every other card that completed the same category at the same call or
    // earlier, in every batch kept and on the board when its holder plays, as the F5
    // check shows them call by call. Card B completes its ambo on the claim's very call,
    // card C two calls before.
    void pariMerito_data()
    {
        QTest::addColumn<QString>("chi"); // the claiming card
        QTest::addColumn<bool>("tabellone");
        QTest::newRow("a card of the last batch") << "67" << false;
        QTest::newRow("a card of the older batch: ties in both") << "altro 4" << false;
        QTest::newRow("a board block, the board playing") << "T4" << true;
        QTest::newRow("a card, with the board playing too") << "12" << true;
    }
    void pariMerito()
    {
        QFETCH(QString, chi);
        QFETCH(bool, tabellone);
        const CartellaGiocata a = carta(chi);
        const int x = a.numeri[1][2];
        // B: another card of the last batch holding x, C: yet another, on which nothing of A's first row lies.
        QList<CartellaGiocata> tutte = Elenco;
        if (tabellone) {
            for (int blocco = 1; blocco <= 6; ++blocco)
                tutte.append(cartellaDelTabellone(blocco));
        }
        const auto b = std::find_if(tutte.begin(), tutte.end(), [&](const CartellaGiocata &d) {
            return !(d.id == a.id) && d.id.codice == Batch.codice && tutti(d).contains(x)
                   && !tutti(d).contains(a.numeri[1][0]);
        });
        QVERIFY(b != tutte.end());
        const int rigaB = int(std::find_if(b->numeri.begin(), b->numeri.end(),
                                           [&](const auto &r) { return std::count(r.begin(), r.end(), x) > 0; })
                              - b->numeri.begin());
        const int y = *std::find_if(b->numeri[std::size_t(rigaB)].begin(), b->numeri[std::size_t(rigaB)].end(),
                                    [&](int n) { return n != x && !tutti(a).contains(n); });
        const auto c = std::find_if(tutte.begin(), tutte.end(), [&](const CartellaGiocata &d) {
            return !(d.id == a.id) && !(d.id == b->id) && !tutti(d).contains(x) && !tutti(d).contains(y)
                   && !tutti(d).contains(a.numeri[1][0]) && !tutti(a).contains(d.numeri[0][0])
                   && !tutti(a).contains(d.numeri[0][1]) && !tutti(*b).contains(d.numeri[0][0])
                   && !tutti(*b).contains(d.numeri[0][1]);
        });
        QVERIFY(c != tutte.end());
        const QList<int> chiamate{c->numeri[0][0], c->numeri[0][1], a.numeri[1][0], y, x};
        Programma pr = programma({1, 1, 1, 1, 1, 1}, tabellone);
        const StoriaPartita p = giocata(chiamate, pr);

        const Reclamo r = reclamo(p, a, Elenco);
        QCOMPARE(r.errore, QString());
        QCOMPARE(r.categoria, std::optional<Categoria>(Categoria::Ambo));
        QCOMPARE(r.chiamata, 5);
        const QList<Vincitore> attesi = pariSecondoLaVerifica(tutte, a.id, chiamate, Categoria::Ambo, 5);
        QCOMPARE(r.pariMerito, attesi);
        QVERIFY(r.pariMerito.contains(Vincitore{b->id, 5}));
        QVERIFY(r.pariMerito.contains(Vincitore{c->id, 2}));
        QCOMPARE(r.pariMerito.constFirst().chiamata, 2);

        // Given to A with B: the prize is theirs, C is told the ambo is gone.
        StoriaPartita dopo = p;
        const EsitoAssegnazione e = nuovaAssegnazione(dopo, r, {b->id}, {});
        QCOMPARE(e.errore, QString());
        QCOMPARE(e.assegnazione.vincitori, (QList<Vincitore>{{a.id, 5}, {b->id, 5}}));
        dopo.assegnazioni.append(e.assegnazione);
        const Reclamo diC = reclamo(dopo, *c, Elenco);
        QVERIFY(!diC.valido());
        QCOMPARE(diC.errore, u"%1 %2 non ha ancora un terno"_s.arg(c->id.tabellone ? u"il"_s : u"la"_s, c->id.nome()));
        // A card not offered cannot be slipped in.
        const IdCartella estranea{Batch.codice, 999, false};
        QCOMPARE(nuovaAssegnazione(p, r, {estranea}, {}).errore, u"la cartella 999 non è fra le cartelle a pari merito"_s);
    }

    // The board's blocks win only when the board's holder plays.
    void ilTabelloneGiocaSoloSeIscritto()
    {
        const StoriaPartita senza = giocata({1, 2}, programma({1, 0, 0, 0, 1, 0}, false));
        QCOMPARE(reclamo(senza, carta(u"T1"_s), Elenco).errore, u"il tabellone non partecipa ai premi di questa partita"_s);
        QVERIFY(!reclamo(senza, carta(u"T2"_s), Elenco).valido());
        const StoriaPartita con = giocata({1, 2}, programma({1, 0, 0, 0, 1, 0}, true));
        QVERIFY(reclamo(con, carta(u"T1"_s), Elenco).valido());
        // No programme, no prizes.
        QCOMPARE(reclamo(giocata({1, 2}, {}), carta(u"T1"_s), Elenco).errore,
                 u"nessun premio è in programma per questa partita"_s);
    }

    // An assignment settled on a game that moved on since is refused.
    void reclamoScaduto()
    {
        StoriaPartita p = giocata(Cartella1[0].mid(0, 2), programma({1, 1, 1, 1, 1, 1}));
        const Reclamo r = reclamo(p, carta(u"1"_s), Elenco);
        QVERIFY(r.valido());
        const QString scaduto = u"la partita è cambiata dopo la verifica: verifica di nuovo la cartella"_s;
        StoriaPartita chiamata = p;
        chiamata.eventi.append({Evento::Tipo::Chiamata, 3, 90, {}, Fonte::Sacchetto});
        QCOMPARE(nuovaAssegnazione(chiamata, r, {}, {}).errore, scaduto);
        StoriaPartita data = p;
        QCOMPARE(assegna(data, u"1"_s), QString());
        QCOMPARE(nuovaAssegnazione(data, r, {}, {}).errore, scaduto);
        StoriaPartita cambiata = p;
        cambiata.programma[Categoria::Ambo].premi.append(Premio{});
        QCOMPARE(nuovaAssegnazione(cambiata, r, {}, {}).errore, scaduto);
        QCOMPARE(nuovaAssegnazione(p, r, {}, {}).errore, QString());
    }

    // A withdrawn assignment stays for the minutes, gives its prize back (the next claim takes
    // that very prize) and, for a tombola, reopens the smaller prizes.
    void assegnazioneRitirata()
    {
        StoriaPartita p = giocata(Cartella1[0] + Cartella1[1] + Cartella1[2], programma({2, 0, 0, 1, 1, 0}));
        QCOMPARE(assegna(p, u"1"_s), QString()); // ambo 1
        QCOMPARE(assegna(p, u"1"_s), QString()); // cinquina
        QCOMPARE(assegna(p, u"1"_s), QString()); // tombola
        QCOMPARE(p.assegnazioni[2].categoria, Categoria::Tombola);
        QCOMPARE(reclamo(p, carta(u"altro 1"_s), Elenco).errore, u"i premi di questa partita sono già stati tutti assegnati"_s);
        QCOMPARE(erroreRitiro(p, 2, u"  "_s), u"scrivi il motivo del ritiro: resta nel verbale"_s);
        QCOMPARE(erroreRitiro(p, 3, u"errore"_s), u"nessuna assegnazione con questo numero"_s);
        QCOMPARE(erroreRitiro(p, 2, QString(MassimaLunghezzaTesto + 1, u'x')),
                 u"il motivo deve essere un testo di al massimo 200 caratteri"_s);
        QCOMPARE(erroreRitiro(p, 2, u"numero 44 segnato per sbaglio"_s), QString());
        p.assegnazioni[2].ritirata = true;
        p.assegnazioni[0].ritirata = true;
        QCOMPARE(erroreRitiro(p, 2, u"di nuovo"_s), u"questa assegnazione è già stata ritirata"_s);
        const auto stato = statoPremi(p);
        QCOMPARE(stato[indice(Categoria::Ambo)].assegnati, 1 - 1);
        QVERIFY(stato[indice(Categoria::Ambo)].aperta && stato[indice(Categoria::Tombola)].aperta);
        QVERIFY(!stato[indice(Categoria::Cinquina)].aperta);
        // Ambo 1 is free again: the next ambo takes it; the card that lost it may claim again.
        QCOMPARE(assegna(p, u"1"_s), QString());
        QCOMPARE(p.assegnazioni.constLast().categoria, Categoria::Ambo);
        QCOMPARE(p.assegnazioni.constLast().numero, 0);
        QCOMPARE(assegna(p, u"1"_s), QString());
        QCOMPARE(p.assegnazioni.constLast().categoria, Categoria::Tombola);
    }

    // The pot split by shares: categories by their percentages, then each category's part
    // equally among its prizes, to the cent, always adding up to the pot.
    void montepremi_data()
    {
        QTest::addColumn<qint64>("montepremi");
        QTest::addColumn<QList<int>>("quote"); // ambo … tombolino, hundredths of a percent
        QTest::addColumn<QList<int>>("quanti");
        QTest::addColumn<QList<QList<qint64>>>("attesi");
        QTest::newRow("100 euro in thirds") << qint64(10000) << QList<int>{3333, 3333, 0, 3334, 0, 0}
                                            << QList<int>{1, 1, 0, 1, 0, 0}
                                            << QList<QList<qint64>>{{3333}, {3333}, {}, {3334}, {}, {}};
        QTest::newRow("one cent for three") << qint64(1) << QList<int>{3333, 3334, 3333, 0, 0, 0}
                                            << QList<int>{1, 1, 1, 0, 0, 0}
                                            << QList<QList<qint64>>{{0}, {1}, {0}, {}, {}, {}};
        // 1234,57 €: cinquine 30% = 370,371 -> 370,37; tombola 70% = 864,199 -> 864,20;
        // 370,37 in 120 = 3,0864...: 77 prizes of 3,09 and 43 of 3,08.
        QList<qint64> cinquine(120, 308);
        for (int i = 0; i < 77; ++i)
            cinquine[i] = 309;
        QTest::newRow("120 cinquine sharing 30%") << qint64(123457) << QList<int>{0, 0, 0, 3000, 7000, 0}
                                                  << QList<int>{0, 0, 0, 120, 1, 0}
                                                  << QList<QList<qint64>>{{}, {}, {}, cinquine, {86420}, {}};
        QTest::newRow("12.5% and odd counts") << qint64(99999) << QList<int>{1250, 1250, 1250, 1250, 3750, 1250}
                                              << QList<int>{3, 1, 1, 7, 1, 2}
                                              << QList<QList<qint64>>{{4167, 4167, 4166}, {12500}, {12500},
                                                                      {1786, 1786, 1786, 1786, 1786, 1785, 1785},
                                                                      {37499}, {6250, 6250}};
    }
    void montepremi()
    {
        QFETCH(qint64, montepremi);
        QFETCH(QList<int>, quote);
        QFETCH(QList<int>, quanti);
        QFETCH(QList<QList<qint64>>, attesi);
        Programma p;
        p.montepremi = montepremi;
        for (const Categoria c : Categorie) {
            p[c].quota = quote[qsizetype(indice(c))];
            p[c].premi = QList<Premio>(quanti[qsizetype(indice(c))]);
        }
        QCOMPARE(erroreProgramma(p), QString());
        const auto importi = importiDelMontepremi(p);
        qint64 somma = 0;
        for (const Categoria c : Categorie) {
            QCOMPARE(importi[indice(c)], attesi[qsizetype(indice(c))]);
            for (int i = 0; i < importi[indice(c)].size(); ++i) {
                QCOMPARE(premioEffettivo(p, c, i).centesimi, importi[indice(c)][i]);
                somma += importi[indice(c)][i];
            }
        }
        QCOMPARE(somma, montepremi);
    }

    // Any pot, any shares, any counts: the parts add up, none more than a cent from its exact value.
    void ripartizioneSommaSempreGiusta()
    {
        QRandomGenerator caso(19);
        for (int volta = 0; volta < 2000; ++volta) {
            const qint64 totale = caso.bounded(qint64(1), MassimoImporto);
            QList<qint64> pesi;
            for (int i = int(caso.bounded(1, 8)); i > 0; --i)
                pesi.append(caso.bounded(0, QuotaIntera));
            if (std::accumulate(pesi.begin(), pesi.end(), qint64(0)) == 0)
                pesi[0] = 1;
            const QList<qint64> parti = ripartisci(totale, pesi);
            const qint64 somma = std::accumulate(pesi.begin(), pesi.end(), qint64(0));
            QCOMPARE(std::accumulate(parti.begin(), parti.end(), qint64(0)), totale);
            for (qsizetype i = 0; i < parti.size(); ++i) {
                const long double esatto = (long double)totale * pesi[i] / somma;
                QVERIFY2(parti[i] >= qint64(esatto) && parti[i] <= qint64(esatto) + 1, qPrintable(QString::number(volta)));
            }
        }
        QCOMPARE(ripartisci(100, {}), QList<qint64>());
        QCOMPARE(ripartisci(100, {0, 0}), QList<qint64>());
    }

    // A prize won by several cards: equal shares of its amount, the leftover cents to the first.
    void quoteAPariMerito_data()
    {
        QTest::addColumn<qint64>("centesimi");
        QTest::addColumn<int>("vincitori");
        QTest::addColumn<QList<qint64>>("quote");
        QTest::newRow("alone") << qint64(5000) << 1 << QList<qint64>{5000};
        QTest::newRow("10 euro in three") << qint64(1000) << 3 << QList<qint64>{334, 333, 333};
        QTest::newRow("5 cents in four") << qint64(5) << 4 << QList<qint64>{2, 1, 1, 1};
        QTest::newRow("a prize without amount") << qint64(0) << 2 << QList<qint64>{};
    }
    void quoteAPariMerito()
    {
        QFETCH(qint64, centesimi);
        QFETCH(int, vincitori);
        Assegnazione a;
        a.premio.centesimi = centesimi;
        for (int i = 1; i <= vincitori; ++i)
            a.vincitori.append({IdCartella{Batch.codice, i, false}, 3});
        QTEST(a.quote(), "quote");
    }

    // Programmes that cannot be used say why.
    void programmiSbagliati_data()
    {
        QTest::addColumn<Programma>("programma");
        QTest::addColumn<QString>("errore");
        Programma buono = programma({1, 1, 0, 1, 1, 0});
        QTest::newRow("a good one") << buono << "";
        QTest::newRow("none at all") << Programma{} << "";
        Programma troppi = buono;
        troppi[Categoria::Cinquina].premi = QList<Premio>(1000);
        QTest::newRow("1000 cinquine") << troppi << "Al massimo 999 premi per categoria: cinquina ne ha 1000.";
        Programma lungo = buono;
        lungo[Categoria::Ambo].premi[0].testo = QString(201, u'x');
        QTest::newRow("a long text") << lungo << "Il testo di un premio (ambo) è più lungo di 200 caratteri.";
        Programma senzaMontepremi = buono;
        senzaMontepremi[Categoria::Ambo].quota = 5000;
        QTest::newRow("shares without a pot") << senzaMontepremi
                                              << "Le percentuali valgono solo con un montepremi: ambo ne ha una.";
        Programma novanta = buono;
        novanta.montepremi = 10000;
        novanta[Categoria::Ambo].quota = 4000;
        novanta[Categoria::Tombola].quota = 5050;
        QTest::newRow("shares of 90.5%") << novanta << "Le percentuali dei premi fanno 90,50%: devono fare 100%.";
        Programma fuori = novanta;
        fuori[Categoria::Tombola].quota = 4000;
        fuori[Categoria::Quaterna].quota = 2000;
        QTest::newRow("a share for a category not played")
            << fuori << "Quaterna non è in gioco: la sua percentuale deve essere zero.";
        Programma doppio = novanta;
        doppio[Categoria::Tombola].quota = 6000;
        doppio[Categoria::Tombola].premi[0].centesimi = 500;
        QTest::newRow("an amount beside the pot")
            << doppio
            << "Con il montepremi gli importi dei premi sono calcolati dalle percentuali: togli l'importo scritto per tombola.";
        Programma negativo = buono;
        negativo[Categoria::Terno].premi[0].centesimi = -1;
        QTest::newRow("a negative amount")
            << negativo << "L'importo di un premio (terno) deve essere da 0 a 100.000.000,00 €.";
    }
    void programmiSbagliati()
    {
        QFETCH(Programma, programma);
        QTEST(erroreProgramma(programma), "errore");
    }

    // The texts: amounts, the assignment as listed, what the voice says.
    void testi_data()
    {
        QTest::addColumn<QString>("scritto");
        QTest::addColumn<qint64>("centesimi"); // -1: not an amount
        QTest::newRow("whole euro") << "12" << qint64(1200);
        QTest::newRow("one decimal") << "12,5" << qint64(1250);
        QTest::newRow("thousands and the sign") << "1.234,50 €" << qint64(123450);
        QTest::newRow("a decimal point") << "12.50" << qint64(1250);
        QTest::newRow("three decimals") << "12,505" << qint64(-1);
        QTest::newRow("negative") << "-3" << qint64(-1);
        QTest::newRow("words") << "dodici" << qint64(-1);
        QTest::newRow("past the limit") << "100.000.000,01" << qint64(-1);
    }
    void testi()
    {
        QFETCH(QString, scritto);
        QFETCH(qint64, centesimi);
        QCOMPARE(leggiEuro(scritto), centesimi < 0 ? std::optional<qint64>() : std::optional<qint64>(centesimi));
        if (centesimi >= 0)
            QCOMPARE(leggiEuro(testoEuro(centesimi)), std::optional<qint64>(centesimi));
    }

    void annunci()
    {
        QCOMPARE(testoEuro(123450), u"1.234,50 €"_s);
        QCOMPARE(testoEuro(5), u"0,05 €"_s);
        Assegnazione a;
        a.categoria = Categoria::Cinquina;
        a.premio = {QString(), 1000};
        a.vincitori = {{IdCartella{Batch.codice, 67, false}, 34}};
        QCOMPARE(testoVoceAssegnazione(a), u"Cinquina! Cartella sessantasette."_s);
        QCOMPARE(testoAssegnazione(a, 1), u"Cinquina: 10,00 € — cartella 67, chiamata 34"_s);
        a.vincitori << Vincitore{IdCartella{Batch.codice, 12, false}, 30} << Vincitore{IdCartella{{}, 3, true}, 33};
        a.numero = 1;
        QCOMPARE(testoVoceAssegnazione(a), u"Cinquina! Cartelle sessantasette e dodici, tabellone tre."_s);
        QCOMPARE(testoAssegnazione(a, 3), u"Cinquina (premio 2 di 3): 10,00 €, diviso a pari merito — cartella 67, "
                                          u"chiamata 34, 3,34 €; cartella 12, chiamata 30, 3,33 €; tabellone 3, "
                                          u"chiamata 33, 3,33 €"_s);
        a.premio = {u"un prosciutto"_s, 0};
        a.ritirata = true;
        a.motivo = u"chiamata dopo il numero seguente"_s;
        QCOMPARE(testoAssegnazione(a, 1), u"Cinquina: un prosciutto, a pari merito fra 3 — cartella 67, chiamata 34; "
                                          u"cartella 12, chiamata 30; tabellone 3, chiamata 33 "
                                          u"(ritirata: chiamata dopo il numero seguente)"_s);
        QCOMPARE(IdCartella::dallaChiave(u"1KZKAK-67"_s), std::optional<IdCartella>(IdCartella{Batch.codice, 67, false}));
        QCOMPARE(IdCartella::dallaChiave(u"T6"_s), std::optional<IdCartella>(IdCartella{{}, 6, true}));
        for (const auto chiave : {u"T7", u"1KZKAK-067", u"1kzkak-67", u"1KZKAO-67", u"1KZKAK-0", u"1KZKAK 67"})
            QCOMPARE(IdCartella::dallaChiave(QString::fromUtf16(chiave)), std::optional<IdCartella>());
    }

    // Against a real batch of 500 series (3000 cards), the tied cards of a claim, checked
    // against the F5 check call by call; the time is printed, not asserted.
    void pariMeritoSuCinquecentoSerie()
    {
        QElapsedTimer orologio;
        orologio.start();
        const QList<CartellaGiocata> elenco = cartelleDeiBlocchetti({nuovoBlocchetto(500, QDate(2026, 12, 7))});
        const qint64 costruzione = orologio.elapsed();
        QCOMPARE(elenco.size(), 3000);
        QList<int> numeri;
        for (int n = 1; n <= 90; ++n)
            numeri.append(n);
        std::shuffle(numeri.begin(), numeri.end(), QRandomGenerator(7));
        const QList<int> chiamate = numeri.mid(0, 40);
        const StoriaPartita p = giocata(chiamate, programma({0, 0, 0, 1, 1, 0}, false));
        // The claim: the card whose cinquina came last.
        const ChiamateNumeri sul = chiamateSulTabellone(p);
        const auto ultima = std::max_element(elenco.begin(), elenco.end(), [&](const auto &a, const auto &b) {
            return completamenti(a.numeri, sul)[3] < completamenti(b.numeri, sul)[3];
        });
        const Reclamo r = reclamo(p, *ultima, elenco);
        QCOMPARE(r.categoria, std::optional<Categoria>(Categoria::Cinquina));
        QCOMPARE(r.pariMerito, pariSecondoLaVerifica(elenco, ultima->id, chiamate, Categoria::Cinquina, r.chiamata));
        QVERIFY(!r.pariMerito.isEmpty());
        constexpr int Volte = 50;
        orologio.restart();
        for (int i = 0; i < Volte; ++i)
            QCOMPARE(reclamo(p, *ultima, elenco).pariMerito.size(), r.pariMerito.size());
        const double perReclamo = double(orologio.nsecsElapsed()) / Volte / 1e6;
        qInfo("3000 cards: built in %lld ms; a claim with its %lld tied cards in %.3f ms", costruzione,
              qlonglong(r.pariMerito.size()), perReclamo);
    }
};

QTEST_GUILESS_MAIN(TestPremi)
#include "test_premi.moc"
