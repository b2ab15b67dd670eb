// SPDX-License-Identifier: MIT
#include "premi.h"

#include "storia.h"
#include "verifica.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <climits>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

constexpr int NumeriPerRiga = 5;
constexpr int BlocchiTabellone = 6;

struct Nomi {
    const char16_t *nome;
    bool femminile;
    const char16_t *articolo; // the definite one
};
constexpr std::array<Nomi, NumeroCategorie> NomiCategorie = {{
    {u"ambo", false, u"l'"},
    {u"terno", false, u"il "},
    {u"quaterna", true, u"la "},
    {u"cinquina", true, u"la "},
    {u"tombola", true, u"la "},
    {u"tombolino", false, u"il "},
}};

// "l'ambo", "la cinquina".
QString conArticoloDeterminato(Categoria categoria)
{
    const Nomi &n = NomiCategorie[indice(categoria)];
    return QString::fromUtf16(n.articolo) + QString::fromUtf16(n.nome);
}

QString maiuscola(QString testo)
{
    if (!testo.isEmpty())
        testo[0] = testo[0].toUpper();
    return testo;
}

// "la cartella 67", "il tabellone 3".
QString conArticoloCartella(const IdCartella &id)
{
    return (id.tabellone ? u"il "_s : u"la "_s) + id.nome();
}

// "a, b e c".
QString elenca(const QStringList &parti)
{
    if (parti.size() <= 1)
        return parti.join(QString());
    return parti.mid(0, parti.size() - 1).join(u", "_s) + u" e "_s + parti.constLast();
}

// What the prizes given so far leave open, and who holds what: computed once a claim.
struct Contesto {
    std::array<StatoCategoria, NumeroCategorie> stato{};
    std::array<QSet<QString>, NumeroCategorie> vincitori; // card keys, by category
};

Contesto contesto(const StoriaPartita &partita)
{
    Contesto c;
    c.stato = statoPremi(partita);
    for (const Assegnazione &a : partita.assegnazioni) {
        if (a.ritirata)
            continue;
        for (const Vincitore &v : a.vincitori)
            c.vincitori[indice(a.categoria)].insert(v.cartella.chiave());
    }
    return c;
}

bool puoVincere(const Contesto &c, Categoria categoria, const QString &chiave)
{
    if (c.vincitori[indice(categoria)].contains(chiave))
        return false;
    // The tombolino is the second full card: never the first one's.
    return categoria != Categoria::Tombolino || !c.vincitori[indice(Categoria::Tombola)].contains(chiave);
}

std::optional<Categoria> categoriaPer(const Contesto &c, const QString &chiave, const Completamenti &completate)
{
    for (const Categoria categoria : Categorie) {
        if (c.stato[indice(categoria)].aperta && completate[indice(categoria)] > 0
            && puoVincere(c, categoria, chiave))
            return categoria;
    }
    return std::nullopt;
}

} // namespace

QString nomeCategoria(Categoria categoria)
{
    return QString::fromUtf16(NomiCategorie[indice(categoria)].nome);
}

std::optional<Categoria> categoriaDalNome(QStringView nome)
{
    for (const Categoria c : Categorie) {
        if (nome == QStringView(NomiCategorie[indice(c)].nome))
            return c;
    }
    return std::nullopt;
}

QString conArticolo(Categoria categoria)
{
    // What a card does not have yet: "un ambo", "una cinquina", "una tombola".
    const Nomi &n = NomiCategorie[indice(categoria)];
    return (n.femminile ? u"una "_s : u"un "_s) + QString::fromUtf16(n.nome);
}

bool Programma::vuoto() const
{
    return *this == Programma{};
}

QString erroreProgramma(const Programma &programma)
{
    if (programma.montepremi < 0 || programma.montepremi > MassimoImporto)
        return u"Il montepremi deve essere da 0 a %1."_s.arg(testoEuro(MassimoImporto));
    int quote = 0;
    bool inGioco = false;
    for (const Categoria c : Categorie) {
        const ProgrammaCategoria &pc = programma[c];
        const QString nome = nomeCategoria(c);
        if (pc.premi.size() > MassimoPremiPerCategoria)
            return u"Al massimo %1 premi per categoria: %2 ne ha %3."_s.arg(MassimoPremiPerCategoria).arg(nome).arg(
                pc.premi.size());
        inGioco = inGioco || !pc.premi.isEmpty();
        for (const Premio &p : pc.premi) {
            if (p.testo.size() > MassimaLunghezzaTesto)
                return u"Il testo di un premio (%1) è più lungo di %2 caratteri."_s.arg(nome).arg(
                    MassimaLunghezzaTesto);
            if (QString::fromUtf8(p.testo.toUtf8()) != p.testo)
                return u"Il testo di un premio (%1) contiene caratteri non validi."_s.arg(nome);
            if (p.centesimi < 0 || p.centesimi > MassimoImporto)
                return u"L'importo di un premio (%1) deve essere da 0 a %2."_s.arg(nome, testoEuro(MassimoImporto));
            if (programma.montepremi > 0 && p.centesimi != 0)
                return u"Con il montepremi gli importi dei premi sono calcolati dalle percentuali: "
                       u"togli l'importo scritto per %1."_s.arg(nome);
        }
        if (pc.quota < 0 || pc.quota > QuotaIntera)
            return u"La percentuale di %1 deve essere da 0 a 100."_s.arg(nome);
        if (pc.quota > 0 && programma.montepremi == 0)
            return u"Le percentuali valgono solo con un montepremi: %1 ne ha una."_s.arg(nome);
        if (pc.quota > 0 && pc.premi.isEmpty())
            return u"%1 non è in gioco: la sua percentuale deve essere zero."_s.arg(maiuscola(nome));
        quote += pc.quota;
    }
    if (programma.montepremi > 0 && !inGioco)
        return u"Il montepremi non ha premi fra cui dividersi."_s;
    if (programma.montepremi > 0 && quote != QuotaIntera)
        return u"Le percentuali dei premi fanno %1%: devono fare 100%."_s.arg(
            QLocale(QLocale::Italian).toString(quote / 100.0, 'f', quote % 100 == 0 ? 0 : 2));
    return {};
}

QList<qint64> ripartisci(qint64 totale, const QList<qint64> &pesi)
{
    const qint64 somma = std::accumulate(pesi.begin(), pesi.end(), qint64(0));
    if (somma <= 0 || totale < 0)
        return {};
    QList<qint64> parti;
    QList<qint64> resti;
    qint64 dato = 0;
    for (const qint64 peso : pesi) {
        // totale and every weight are bounded (cents of at most MassimoImporto, shares of at most QuotaIntera).
        parti.append(totale * peso / somma);
        resti.append(totale * peso % somma);
        dato += parti.constLast();
    }
    QList<qsizetype> ordine(pesi.size());
    std::iota(ordine.begin(), ordine.end(), 0);
    std::stable_sort(ordine.begin(), ordine.end(), [&](qsizetype a, qsizetype b) { return resti[a] > resti[b]; });
    for (qsizetype i = 0; dato < totale; ++i, ++dato)
        ++parti[ordine[i % ordine.size()]];
    return parti;
}

std::array<QList<qint64>, NumeroCategorie> importiDelMontepremi(const Programma &programma)
{
    std::array<QList<qint64>, NumeroCategorie> importi;
    if (programma.montepremi <= 0)
        return importi;
    QList<qint64> quote;
    for (const ProgrammaCategoria &pc : programma.categorie)
        quote.append(pc.quota);
    const QList<qint64> parti = ripartisci(programma.montepremi, quote);
    if (parti.isEmpty())
        return importi;
    for (const Categoria c : Categorie) {
        const qsizetype quanti = programma[c].premi.size();
        if (quanti > 0)
            importi[indice(c)] = ripartisci(parti[qsizetype(indice(c))], QList<qint64>(quanti, 1));
    }
    return importi;
}

Premio premioEffettivo(const Programma &programma, Categoria categoria, int numero)
{
    const QList<Premio> &premi = programma[categoria].premi;
    if (numero < 0 || numero >= premi.size())
        return {};
    Premio premio = premi[numero];
    if (programma.montepremi > 0) {
        const QList<qint64> importi = importiDelMontepremi(programma)[indice(categoria)];
        premio.centesimi = numero < importi.size() ? importi[numero] : 0;
    }
    return premio;
}

QString testoEuro(qint64 centesimi)
{
    if (centesimi < 0)
        return u"-"_s + testoEuro(-std::max(centesimi, -MassimoImporto));
    QString euro = QString::number(centesimi / 100);
    for (qsizetype i = euro.size() - 3; i > 0; i -= 3)
        euro.insert(i, u'.');
    return euro + u","_s + u"%1"_s.arg(centesimi % 100, 2, 10, QLatin1Char('0')) + u" €"_s;
}

std::optional<qint64> leggiEuro(const QString &testo)
{
    QString t = testo.simplified();
    if (t.endsWith(u'€'))
        t.chop(1);
    t = t.trimmed();
    static const QRegularExpression virgola(u"\\A([0-9]{1,3}(?:\\.[0-9]{3})+|[0-9]{1,12})(?:,([0-9]{1,2}))?\\z"_s);
    static const QRegularExpression punto(u"\\A([0-9]{1,12})\\.([0-9]{1,2})\\z"_s);
    QRegularExpressionMatch m = virgola.match(t);
    if (!m.hasMatch())
        m = punto.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    const QString interi = m.captured(1).remove(u'.');
    if (interi.size() > 12)
        return std::nullopt;
    const QString decimali = m.captured(2).leftJustified(2, u'0');
    const qint64 centesimi = interi.toLongLong() * 100 + decimali.toLongLong();
    if (centesimi > MassimoImporto)
        return std::nullopt;
    return centesimi;
}

QString testoPremio(const Premio &premio)
{
    if (premio.testo.isEmpty())
        return premio.centesimi > 0 ? testoEuro(premio.centesimi) : u"premio"_s;
    return premio.centesimi > 0 ? u"%1 (%2)"_s.arg(premio.testo, testoEuro(premio.centesimi)) : premio.testo;
}

QString IdCartella::nome() const
{
    return (tabellone ? u"tabellone %1"_s : u"cartella %1"_s).arg(numero);
}

QString IdCartella::chiave() const
{
    return tabellone ? u"T%1"_s.arg(numero) : u"%1-%2"_s.arg(codice).arg(numero);
}

std::optional<IdCartella> IdCartella::dallaChiave(QStringView chiave)
{
    static const QRegularExpression blocco(u"\\AT([1-6])\\z"_s);
    static const QRegularExpression cartella(u"\\A([0-9A-Z]{6})-([1-9][0-9]{0,5})\\z"_s);
    if (const auto m = blocco.match(chiave.toString()); m.hasMatch())
        return IdCartella{QString(), m.captured(1).toInt(), true};
    const auto m = cartella.match(chiave.toString());
    if (!m.hasMatch() || normalizzaCodice(m.captured(1)) != m.captured(1))
        return std::nullopt;
    return IdCartella{m.captured(1), m.captured(2).toInt(), false};
}

NumeriCartella numeriDellaCartella(const Cartella &cartella)
{
    NumeriCartella numeri{};
    for (std::size_t riga = 0; riga < RigheCartella; ++riga) {
        std::size_t k = 0;
        for (const std::uint8_t n : cartella.righe[riga]) {
            if (n != 0 && k < NumeriPerRiga)
                numeri[riga][k++] = n;
        }
    }
    return numeri;
}

QList<CartellaGiocata> cartelleDeiBlocchetti(const QList<Blocchetto> &blocchetti)
{
    QList<CartellaGiocata> elenco;
    for (const Blocchetto &b : blocchetti) {
        elenco.reserve(elenco.size() + b.cartelle());
        // One series drawn for its six cards: each card alone would draw its series again.
        for (int serie = 1; serie <= b.serie; ++serie) {
            const Serie carte = generaSerie(b.seme, serie);
            for (int posto = 0; posto < CartellePerSerie; ++posto) {
                const int numero = b.primaCartella + (serie - 1) * CartellePerSerie + posto;
                elenco.append({IdCartella{b.codice, numero, false}, numeriDellaCartella(carte[std::size_t(posto)])});
            }
        }
    }
    return elenco;
}

CartellaGiocata cartellaDelTabellone(int blocco)
{
    CartellaGiocata c{IdCartella{QString(), blocco, true}, {}};
    const auto numeri = bloccoTabellone(blocco);
    for (std::size_t riga = 0; riga < RigheCartella; ++riga) {
        for (std::size_t k = 0; k < NumeriPerRiga; ++k)
            c.numeri[riga][k] = std::uint8_t(numeri[riga][k]);
    }
    return c;
}

std::optional<CartellaGiocata> cartellaDellaVerifica(const Verifica &verifica)
{
    if (!verifica.errore.isEmpty() || verifica.numero < 1 || verifica.colonne <= 0)
        return std::nullopt;
    if (verifica.tabellone)
        return cartellaDelTabellone(verifica.numero);
    Cartella cartella;
    cartella.righe = verifica.numeri;
    return CartellaGiocata{IdCartella{verifica.codice, verifica.numero, false}, numeriDellaCartella(cartella)};
}

ChiamateNumeri chiamateSulTabellone(const StoriaPartita &partita)
{
    ChiamateNumeri chiamate{};
    for (const Evento &e : partita.eventi) {
        if (e.numero < 1 || e.numero > 90)
            continue;
        chiamate[std::size_t(e.numero)] = e.tipo == Evento::Tipo::Chiamata ? e.chiamata : 0;
    }
    return chiamate;
}

Completamenti completamenti(const NumeriCartella &numeri, const ChiamateNumeri &chiamate)
{
    // Per row, its numbers' calls in order: the m-th smallest is the call at
    // which the row held m of them. A number not on the board never comes.
    constexpr int Mai = INT_MAX;
    std::array<int, NumeriPerRiga> migliore;
    migliore.fill(Mai);
    int piena = 0;
    for (const auto &riga : numeri) {
        std::array<int, NumeriPerRiga> k{};
        for (std::size_t j = 0; j < NumeriPerRiga; ++j) {
            const int c = riga[j] <= 90 ? chiamate[riga[j]] : 0;
            k[j] = c > 0 ? c : Mai;
        }
        std::sort(k.begin(), k.end());
        for (std::size_t m = 1; m < NumeriPerRiga; ++m)
            migliore[m] = std::min(migliore[m], k[m]);
        piena = std::max(piena, k[NumeriPerRiga - 1]);
    }
    Completamenti c{};
    for (std::size_t m = 1; m < NumeriPerRiga; ++m)
        c[m - 1] = migliore[m] == Mai ? 0 : migliore[m]; // ambo is two of a row, … cinquina five
    c[indice(Categoria::Tombola)] = c[indice(Categoria::Tombolino)] = piena == Mai ? 0 : piena;
    return c;
}

QList<qint64> Assegnazione::quote() const
{
    if (premio.centesimi <= 0 || vincitori.isEmpty())
        return {};
    return ripartisci(premio.centesimi, QList<qint64>(vincitori.size(), 1));
}

std::array<StatoCategoria, NumeroCategorie> statoPremi(const StoriaPartita &partita)
{
    std::array<StatoCategoria, NumeroCategorie> stato{};
    bool tombola = false;
    for (const Categoria c : Categorie)
        stato[indice(c)].premi = partita.programma.quanti(c);
    for (const Assegnazione &a : partita.assegnazioni) {
        if (a.ritirata)
            continue;
        ++stato[indice(a.categoria)].assegnati;
        tombola = tombola || a.categoria == Categoria::Tombola;
    }
    for (const Categoria c : Categorie) {
        StatoCategoria &s = stato[indice(c)];
        s.aperta = s.assegnati < s.premi;
        // A full card ends the smaller prizes; the tombolino waits for the tombola's.
        if (c < Categoria::Tombola && tombola)
            s.aperta = false;
        const StatoCategoria &t = stato[indice(Categoria::Tombola)];
        if (c == Categoria::Tombolino && t.assegnati < t.premi)
            s.aperta = false;
    }
    return stato;
}

std::optional<Categoria> categoriaDaAssegnare(const StoriaPartita &partita, const IdCartella &cartella,
                                              const Completamenti &completate)
{
    return categoriaPer(contesto(partita), cartella.chiave(), completate);
}

Reclamo reclamo(const StoriaPartita &partita, const CartellaGiocata &cartella, const QList<CartellaGiocata> &elenco,
                std::optional<Categoria> dichiarata)
{
    Reclamo r;
    r.cartella = cartella;
    r.eventi = int(partita.eventi.size());
    r.assegnazioni = partita.assegnazioni;
    r.programma = partita.programma;
    r.ultimaChiamata = partita.chiamate();
    const ChiamateNumeri chiamate = chiamateSulTabellone(partita);
    r.completate = completamenti(cartella.numeri, chiamate);
    const Contesto c = contesto(partita);
    const QString chi = conArticoloCartella(cartella.id);

    if (std::all_of(c.stato.begin(), c.stato.end(), [](const StatoCategoria &s) { return s.premi == 0; })) {
        r.errore = u"nessun premio è in programma per questa partita"_s;
        return r;
    }
    if (cartella.id.tabellone && !partita.programma.tabellone) {
        r.errore = u"il tabellone non partecipa ai premi di questa partita"_s;
        return r;
    }
    const QString chiave = cartella.id.chiave();
    for (const Categoria categoria : Categorie) {
        const int k = r.completate[indice(categoria)];
        if (c.stato[indice(categoria)].aperta && k > 0 && puoVincere(c, categoria, chiave))
            r.righe.append(u"%1 %2 alla chiamata %3; ultima chiamata %4"_s.arg(
                nomeCategoria(categoria),
                NomiCategorie[indice(categoria)].femminile ? u"completata"_s : u"completato"_s)
                               .arg(k)
                               .arg(r.ultimaChiamata));
    }
    if (dichiarata && r.completate[indice(*dichiarata)] == 0) {
        r.errore = u"%1 non ha ancora %2"_s.arg(chi, conArticolo(*dichiarata));
        return r;
    }
    r.categoria = categoriaPer(c, chiave, r.completate);
    if (!r.categoria) {
        const auto aperta = std::find_if(Categorie.begin(), Categorie.end(), [&](Categoria categoria) {
            return c.stato[indice(categoria)].aperta && puoVincere(c, categoria, chiave);
        });
        if (std::none_of(c.stato.begin(), c.stato.end(), [](const StatoCategoria &s) { return s.aperta; }))
            r.errore = u"i premi di questa partita sono già stati tutti assegnati"_s;
        else if (dichiarata && c.stato[indice(*dichiarata)].premi == 0)
            r.errore = u"%1 non è in programma in questa partita"_s.arg(conArticoloDeterminato(*dichiarata));
        else if (dichiarata && !c.stato[indice(*dichiarata)].aperta)
            r.errore = u"%1 non è più in palio"_s.arg(conArticoloDeterminato(*dichiarata));
        else if (aperta == Categorie.end())
            r.errore = u"%1 ha già vinto i premi ancora aperti"_s.arg(chi);
        else
            r.errore = u"%1 non ha ancora %2"_s.arg(chi, conArticolo(*aperta));
        return r;
    }
    const Categoria categoria = *r.categoria;
    r.chiamata = r.completate[indice(categoria)];

    const auto candidato = [&](const CartellaGiocata &altra) {
        const Completamenti sue = completamenti(altra.numeri, chiamate);
        const int k = sue[indice(categoria)];
        // Cheap tests first: thousands of cards, a handful of which completed by then.
        if (k == 0 || k > r.chiamata || altra.id == cartella.id)
            return;
        if (categoriaPer(c, altra.id.chiave(), sue) == categoria)
            r.pariMerito.append({altra.id, k});
    };
    for (const CartellaGiocata &altra : elenco)
        candidato(altra);
    if (partita.programma.tabellone) {
        for (int blocco = 1; blocco <= BlocchiTabellone; ++blocco)
            candidato(cartellaDelTabellone(blocco));
    }
    std::stable_sort(r.pariMerito.begin(), r.pariMerito.end(),
                     [](const Vincitore &a, const Vincitore &b) { return a.chiamata < b.chiamata; });
    return r;
}

EsitoAssegnazione nuovaAssegnazione(const StoriaPartita &partita, const Reclamo &reclamo,
                                    const QList<IdCartella> &pariScelti, const QDateTime &quando)
{
    EsitoAssegnazione esito;
    if (!reclamo.valido()) {
        esito.errore = reclamo.errore.isEmpty() ? u"nessun premio da assegnare"_s : reclamo.errore;
        return esito;
    }
    if (reclamo.eventi != partita.eventi.size() || reclamo.assegnazioni != partita.assegnazioni
        || reclamo.programma != partita.programma) {
        esito.errore = u"la partita è cambiata dopo la verifica: verifica di nuovo la cartella"_s;
        return esito;
    }
    Assegnazione &a = esito.assegnazione;
    a.categoria = *reclamo.categoria;
    a.vincitori.append({reclamo.cartella.id, reclamo.chiamata});
    for (const IdCartella &scelta : pariScelti) {
        const bool offerta = std::any_of(reclamo.pariMerito.begin(), reclamo.pariMerito.end(),
                                         [&](const Vincitore &v) { return v.cartella == scelta; });
        if (!offerta) {
            esito.errore = u"%1 non è fra le cartelle a pari merito"_s.arg(conArticoloCartella(scelta));
            return esito;
        }
    }
    // In the order offered, each once.
    for (const Vincitore &v : reclamo.pariMerito) {
        if (pariScelti.contains(v.cartella))
            a.vincitori.append(v);
    }
    if (a.vincitori.size() > MassimoVincitori) {
        esito.errore = u"al massimo %1 cartelle possono dividersi un premio"_s.arg(MassimoVincitori);
        return esito;
    }
    // The first prize of the category that nobody holds: a withdrawn one is given again.
    QSet<int> tenuti;
    for (const Assegnazione &altra : partita.assegnazioni) {
        if (!altra.ritirata && altra.categoria == a.categoria)
            tenuti.insert(altra.numero);
    }
    while (tenuti.contains(a.numero))
        ++a.numero;
    a.premio = premioEffettivo(partita.programma, a.categoria, a.numero);
    a.ultimaChiamata = reclamo.ultimaChiamata;
    a.quando = quando;
    return esito;
}

QString erroreCambioProgramma(const StoriaPartita &partita, const Programma &programma)
{
    if (QString errore = erroreProgramma(programma); !errore.isEmpty())
        return errore;
    for (const Assegnazione &a : partita.assegnazioni) {
        if (a.numero >= programma.quanti(a.categoria))
            return u"%1: il premio %2 è già stato assegnato in questa partita, "
                   u"i premi non possono essere meno di %2."_s
                .arg(maiuscola(nomeCategoria(a.categoria)))
                .arg(a.numero + 1);
    }
    return {};
}

QString erroreRitiro(const StoriaPartita &partita, int numero, const QString &motivo)
{
    if (numero < 0 || numero >= partita.assegnazioni.size())
        return u"nessuna assegnazione con questo numero"_s;
    if (partita.assegnazioni[numero].ritirata)
        return u"questa assegnazione è già stata ritirata"_s;
    if (motivo.trimmed().isEmpty())
        return u"scrivi il motivo del ritiro: resta nel verbale"_s;
    if (motivo.size() > MassimaLunghezzaTesto || QString::fromUtf8(motivo.toUtf8()) != motivo)
        return u"il motivo deve essere un testo di al massimo %1 caratteri"_s.arg(MassimaLunghezzaTesto);
    return {};
}

QString testoAssegnazione(const Assegnazione &assegnazione, int premiDellaCategoria)
{
    QString testo = maiuscola(nomeCategoria(assegnazione.categoria));
    if (premiDellaCategoria > 1)
        testo += u" (premio %1 di %2)"_s.arg(assegnazione.numero + 1).arg(premiDellaCategoria);
    testo += u": "_s + testoPremio(assegnazione.premio);
    const QList<qint64> quote = assegnazione.quote();
    if (assegnazione.vincitori.size() > 1)
        testo += quote.isEmpty() ? u", a pari merito fra %1"_s.arg(assegnazione.vincitori.size())
                                 : u", diviso a pari merito"_s;
    QStringList chi;
    for (qsizetype i = 0; i < assegnazione.vincitori.size(); ++i) {
        const Vincitore &v = assegnazione.vincitori[i];
        QString riga = u"%1, chiamata %2"_s.arg(v.cartella.nome()).arg(v.chiamata);
        if (assegnazione.vincitori.size() > 1 && i < quote.size())
            riga += u", "_s + testoEuro(quote[i]);
        chi.append(riga);
    }
    testo += u" — "_s + chi.join(u"; "_s);
    if (assegnazione.ritirata)
        testo += u" (ritirata: %1)"_s.arg(assegnazione.motivo);
    return testo;
}

QString testoVoceAssegnazione(const Assegnazione &assegnazione)
{
    QStringList cartelle, blocchi;
    for (const Vincitore &v : assegnazione.vincitori)
        (v.cartella.tabellone ? blocchi : cartelle).append(paroleNumeroIntero(v.cartella.numero));
    QStringList parti;
    if (!cartelle.isEmpty())
        parti.append((cartelle.size() == 1 ? u"cartella "_s : u"cartelle "_s) + elenca(cartelle));
    if (!blocchi.isEmpty())
        parti.append((blocchi.size() == 1 ? u"tabellone "_s : u"tabelloni "_s) + elenca(blocchi));
    return maiuscola(nomeCategoria(assegnazione.categoria)) + u"! "_s + maiuscola(parti.join(u", "_s)) + u"."_s;
}
