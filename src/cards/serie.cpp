// SPDX-License-Identifier: MIT
#include "serie.h"

#include <QtGlobal>

#include <algorithm>
#include <map>
#include <vector>

// How a series is drawn, every valid series equally likely:
//
// A series is fixed by (1) how many numbers each card takes from each column,
// (2) each card's layout: which places of its 3 x 9 grid hold a number, and
// (3) which numbers of each column go to which card (each card shows its own
// in increasing order). For a choice (1) of counts c[card][col], there are
// L(c_card) layouts per card and prod_col T_col! / prod_card c! ways of (3),
// T_col being the column's size (9, 10 ... 10, 11). So choice (1) must be
// drawn with weight prod_card W(c_card), W(c) = L(c) / prod_col c_col!, then
// (2) and (3) uniformly. W is scaled by 6^9 to stay an integer:
// W(c) = L(c) * prod_col 6 / c_col!.
//
// (1) is drawn card by card: card i takes counts c with probability
// W(c) * F(R - c) / F(R), R being the column totals still to deal and F(R)
// the sum over every way to deal R to the cards left of the product of their
// weights. F depends only on the sorted R: 177 such states from the start.
// F reaches about 2^202, so it is kept exactly in 256-bit integers.
//
// Draws are integers only, from xoshiro256** seeded by SplitMix64, both
// defined here: the same seed gives the same series everywhere.

namespace {

constexpr int Colonne = ColonneCartella;
constexpr std::array<int, Colonne> TotaliColonne{9, 10, 10, 10, 10, 10, 10, 10, 11};
constexpr int NumeriPerCartella = 15;
constexpr int NumeriPerRiga = 5;

// Unsigned integer of 32 * N bits, least significant limb first.
template <std::size_t N>
struct Intero {
    std::array<std::uint32_t, N> cifre{};

    static Intero da(std::uint64_t v)
    {
        Intero g;
        g.cifre[0] = std::uint32_t(v);
        g.cifre[1] = std::uint32_t(v >> 32);
        return g;
    }

    Intero per(std::uint32_t m) const
    {
        Intero r;
        std::uint64_t riporto = 0;
        for (std::size_t i = 0; i < cifre.size(); ++i) {
            const std::uint64_t p = std::uint64_t(cifre[i]) * m + riporto;
            r.cifre[i] = std::uint32_t(p);
            riporto = p >> 32;
        }
        if (riporto != 0)
            qFatal("Cartelle: conteggio troppo grande");
        return r;
    }

    Intero &operator+=(const Intero &o)
    {
        std::uint64_t riporto = 0;
        for (std::size_t i = 0; i < cifre.size(); ++i) {
            const std::uint64_t s = std::uint64_t(cifre[i]) + o.cifre[i] + riporto;
            cifre[i] = std::uint32_t(s);
            riporto = s >> 32;
        }
        if (riporto != 0)
            qFatal("Cartelle: conteggio troppo grande");
        return *this;
    }

    // Only for o <= *this.
    Intero &operator-=(const Intero &o)
    {
        std::int64_t prestito = 0;
        for (std::size_t i = 0; i < cifre.size(); ++i) {
            const std::int64_t d = std::int64_t(cifre[i]) - o.cifre[i] - prestito;
            cifre[i] = std::uint32_t(d);
            prestito = d < 0 ? 1 : 0;
        }
        return *this;
    }

    bool operator<(const Intero &o) const
    {
        for (std::size_t i = cifre.size(); i-- > 0;) {
            if (cifre[i] != o.cifre[i])
                return cifre[i] < o.cifre[i];
        }
        return false;
    }

    bool zero() const
    {
        return std::all_of(cifre.begin(), cifre.end(), [](std::uint32_t c) { return c == 0; });
    }

    // Divides by d in place, returns the remainder (for writing in decimal).
    std::uint32_t dividi(std::uint32_t d)
    {
        std::uint64_t resto = 0;
        for (std::size_t i = cifre.size(); i-- > 0;) {
            const std::uint64_t v = (resto << 32) | cifre[i];
            cifre[i] = std::uint32_t(v / d);
            resto = v % d;
        }
        return std::uint32_t(resto);
    }
};

// The counts reach about 2^202.
using Grande = Intero<8>;

std::uint64_t splitmix64(std::uint64_t &stato)
{
    std::uint64_t z = (stato += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// xoshiro256** (Blackman and Vigna).
class Casuale
{
public:
    Casuale(std::uint64_t seme, int numeroSerie)
    {
        // The series number is mixed in first, so neighbouring series share nothing.
        std::uint64_t n = std::uint64_t(std::uint32_t(numeroSerie));
        std::uint64_t avvio = seme ^ splitmix64(n);
        for (auto &s : m_s)
            s = splitmix64(avvio);
    }

    std::uint64_t prossimo()
    {
        const std::uint64_t risultato = ruota(m_s[1] * 5, 7) * 9;
        const std::uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = ruota(m_s[3], 45);
        return risultato;
    }

    std::uint32_t prossimo32() { return std::uint32_t(prossimo() >> 32); }

    // Uniform in 0 .. n-1 (n >= 1), Lemire's multiply-and-reject.
    std::uint32_t sotto(std::uint32_t n)
    {
        std::uint64_t m = std::uint64_t(prossimo32()) * n;
        if (std::uint32_t(m) < n) {
            const std::uint32_t soglia = std::uint32_t(-n) % n;
            while (std::uint32_t(m) < soglia)
                m = std::uint64_t(prossimo32()) * n;
        }
        return std::uint32_t(m >> 32);
    }

    // Uniform in 0 .. n-1 (n >= 1): as many random bits as n has, drawn
    // again when the value reaches n (less than one time in two).
    Grande sotto(const Grande &n)
    {
        std::size_t alta = n.cifre.size() - 1;
        while (n.cifre[alta] == 0)
            --alta;
        int bit = 32;
        while (bit > 0 && (n.cifre[alta] >> (bit - 1)) == 0)
            --bit;
        const std::uint32_t maschera = bit == 32 ? 0xFFFFFFFFu : (1u << bit) - 1;
        for (;;) {
            Grande v;
            for (std::size_t i = 0; i <= alta; ++i)
                v.cifre[i] = prossimo32();
            v.cifre[alta] &= maschera;
            if (v < n)
                return v;
        }
    }

    template <typename T, std::size_t N>
    void mescola(std::array<T, N> &v, int quanti)
    {
        for (int i = quanti - 1; i > 0; --i)
            std::swap(v[std::size_t(i)], v[sotto(std::uint32_t(i + 1))]);
    }

private:
    static std::uint64_t ruota(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::array<std::uint64_t, 4> m_s{};
};

using Conteggi = std::array<std::uint8_t, Colonne>;

constexpr std::uint32_t fattoriale(int n)
{
    return n <= 1 ? 1 : std::uint32_t(n) * fattoriale(n - 1);
}

// The rows (0..2) of the one-number columns in a layout, and the row left
// empty by each two-number column: how many of each kind the layout has.
struct Ripartizione {
    std::array<int, 3> uno{}; // one-number columns per row
    std::array<int, 3> vuote{}; // two-number columns that leave the row empty
    std::uint32_t modi = 0; // layouts with this split
};

// Every split of a card's one- and two-number columns among the rows that
// leaves five numbers a row. a, b, t: columns holding one, two, three.
std::vector<Ripartizione> ripartizioni(int a, int b, int t)
{
    std::vector<Ripartizione> esito;
    for (int x0 = 0; x0 <= a; ++x0) {
        for (int x1 = 0; x0 + x1 <= a; ++x1) {
            Ripartizione r;
            r.uno = {x0, x1, a - x0 - x1};
            bool possibile = true;
            for (int riga = 0; riga < 3; ++riga) {
                // Row sum: t + x + (b - y) = 5.
                r.vuote[std::size_t(riga)] = t + b + r.uno[std::size_t(riga)] - NumeriPerRiga;
                possibile = possibile && r.vuote[std::size_t(riga)] >= 0;
            }
            if (!possibile)
                continue;
            r.modi = fattoriale(a) / (fattoriale(r.uno[0]) * fattoriale(r.uno[1]) * fattoriale(r.uno[2]))
                     * (fattoriale(b) / (fattoriale(r.vuote[0]) * fattoriale(r.vuote[1]) * fattoriale(r.vuote[2])));
            esito.push_back(r);
        }
    }
    return esito;
}

struct Tipo {
    Conteggi conteggi{};
    std::uint32_t disposizioni = 0; // L(c)
    std::uint32_t peso = 0; // W(c)
};

// A sorted vector of remaining column totals, packed four bits each.
using Chiave = std::uint64_t;

Chiave chiave(std::array<int, Colonne> resti)
{
    std::sort(resti.begin(), resti.end());
    Chiave k = 0;
    for (int r : resti)
        k = (k << 4) | Chiave(r);
    return k;
}

struct Stato {
    Grande modi; // F
    // Candidates for the next card, in the sorted order of this state's
    // totals: index into Tavole::tipi and the state after it.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> mosse;
};

class Tavole
{
public:
    std::vector<Tipo> tipi;
    std::vector<Stato> stati;
    std::map<Chiave, std::uint16_t> indice;
    std::uint16_t iniziale = 0;

    Tavole()
    {
        Conteggi c{};
        elenca(c, 0, 0);
        std::array<int, Colonne> totali{};
        std::copy(TotaliColonne.begin(), TotaliColonne.end(), totali.begin());
        std::sort(totali.begin(), totali.end());
        iniziale = calcola(totali);
    }

private:
    void elenca(Conteggi &c, int colonna, int somma)
    {
        if (colonna == Colonne) {
            if (somma != NumeriPerCartella)
                return;
            int quanti[4] = {};
            for (auto v : c)
                ++quanti[v];
            Tipo tipo{c, 0, 1};
            for (const Ripartizione &r : ripartizioni(quanti[1], quanti[2], quanti[3]))
                tipo.disposizioni += r.modi;
            tipo.peso = tipo.disposizioni;
            for (auto v : c)
                tipo.peso *= 6 / fattoriale(v);
            tipi.push_back(tipo);
            return;
        }
        for (std::uint8_t v = 1; v <= 3; ++v) {
            c[std::size_t(colonna)] = v;
            elenca(c, colonna + 1, somma + v);
        }
    }

    // resti sorted ascending.
    std::uint16_t calcola(const std::array<int, Colonne> &resti)
    {
        const Chiave k = chiave(resti);
        if (auto trovato = indice.find(k); trovato != indice.end())
            return trovato->second;
        const auto numero = std::uint16_t(stati.size());
        stati.push_back({});
        indice.emplace(k, numero);
        int somma = 0;
        for (int r : resti)
            somma += r;
        Grande modi;
        if (somma == 0) {
            modi = Grande::da(1);
        } else {
            const int dopo = somma / NumeriPerCartella - 1; // cards left after this one
            std::vector<std::pair<std::uint16_t, std::uint16_t>> mosse;
            for (std::size_t t = 0; t < tipi.size(); ++t) {
                std::array<int, Colonne> restano{};
                bool possibile = true;
                for (std::size_t j = 0; j < Colonne; ++j) {
                    restano[j] = resti[j] - tipi[t].conteggi[j];
                    // Each card left takes one to three from every column.
                    possibile = possibile && restano[j] >= dopo && restano[j] <= 3 * dopo;
                }
                if (!possibile)
                    continue;
                std::sort(restano.begin(), restano.end());
                const std::uint16_t successivo = calcola(restano);
                if (stati[successivo].modi.zero())
                    continue;
                modi += stati[successivo].modi.per(tipi[t].peso);
                mosse.emplace_back(std::uint16_t(t), successivo);
            }
            stati[numero].mosse = std::move(mosse);
        }
        stati[numero].modi = modi;
        return numero;
    }
};

const Tavole &tavole()
{
    static const Tavole t;
    return t;
}

// Indexes of the columns ordered by remaining total, ties by column: the
// state's sorted order.
std::array<int, Colonne> ordine(const std::array<int, Colonne> &resti)
{
    std::array<int, Colonne> o{};
    for (int j = 0; j < Colonne; ++j)
        o[std::size_t(j)] = j;
    std::stable_sort(o.begin(), o.end(), [&](int x, int y) { return resti[std::size_t(x)] < resti[std::size_t(y)]; });
    return o;
}

// Which places of a card with counts c hold a number, uniformly among its layouts.
std::array<std::array<bool, Colonne>, RigheCartella> disposizione(const Conteggi &c, Casuale &caso)
{
    int quanti[4] = {};
    for (auto v : c)
        ++quanti[v];
    const std::vector<Ripartizione> scelte = ripartizioni(quanti[1], quanti[2], quanti[3]);
    std::uint32_t totale = 0;
    for (const auto &r : scelte)
        totale += r.modi;
    std::uint32_t u = caso.sotto(totale);
    std::size_t scelta = 0;
    while (u >= scelte[scelta].modi)
        u -= scelte[scelta++].modi;
    const Ripartizione &r = scelte[scelta];

    // Rows dealt to the one-number columns, and rows left empty by the
    // two-number columns, in a uniformly shuffled order.
    std::array<std::uint8_t, Colonne> righeUno{};
    std::array<std::uint8_t, Colonne> righeVuote{};
    int n1 = 0;
    int n2 = 0;
    for (std::uint8_t riga = 0; riga < 3; ++riga) {
        for (int k = 0; k < r.uno[riga]; ++k)
            righeUno[std::size_t(n1++)] = riga;
        for (int k = 0; k < r.vuote[riga]; ++k)
            righeVuote[std::size_t(n2++)] = riga;
    }
    caso.mescola(righeUno, n1);
    caso.mescola(righeVuote, n2);

    std::array<std::array<bool, Colonne>, RigheCartella> pieni{};
    n1 = 0;
    n2 = 0;
    for (std::size_t j = 0; j < Colonne; ++j) {
        for (std::size_t riga = 0; riga < RigheCartella; ++riga) {
            switch (c[j]) {
            case 1: pieni[riga][j] = riga == righeUno[std::size_t(n1)]; break;
            case 2: pieni[riga][j] = riga != righeVuote[std::size_t(n2)]; break;
            default: pieni[riga][j] = true; break;
            }
        }
        n1 += c[j] == 1;
        n2 += c[j] == 2;
    }
    return pieni;
}

} // namespace

Serie generaSerie(std::uint64_t seme, int numeroSerie)
{
    const Tavole &t = tavole();
    Casuale caso(seme, numeroSerie);

    // 1. Column counts, card by card.
    std::array<Conteggi, CartellePerSerie> conteggi{};
    std::array<int, Colonne> resti = TotaliColonne;
    std::uint16_t stato = t.iniziale;
    for (auto &c : conteggi) {
        const Stato &s = t.stati[stato];
        std::size_t scelta = 0;
        if (s.mosse.size() > 1) {
            Grande u = caso.sotto(s.modi);
            for (;; ++scelta) {
                const auto [tipo, dopo] = s.mosse[scelta];
                const Grande termine = t.stati[dopo].modi.per(t.tipi[tipo].peso);
                if (u < termine)
                    break;
                u -= termine;
            }
        }
        const auto [tipo, dopo] = s.mosse[scelta];
        // The candidate is written in the state's sorted order: back to columns.
        const std::array<int, Colonne> o = ordine(resti);
        for (std::size_t k = 0; k < Colonne; ++k)
            c[std::size_t(o[k])] = t.tipi[tipo].conteggi[k];
        for (std::size_t j = 0; j < Colonne; ++j)
            resti[j] -= c[j];
        stato = dopo;
    }

    // 2. Each card's layout.
    std::array<std::array<std::array<bool, Colonne>, RigheCartella>, CartellePerSerie> pieni{};
    for (std::size_t i = 0; i < CartellePerSerie; ++i)
        pieni[i] = disposizione(conteggi[i], caso);

    // 3. Each column's numbers, shuffled and dealt, increasing down each card.
    Serie serie{};
    for (std::size_t j = 0; j < Colonne; ++j) {
        std::array<std::uint8_t, 11> numeri{};
        const int primo = j == 0 ? 1 : int(j) * 10;
        for (int k = 0; k < TotaliColonne[j]; ++k)
            numeri[std::size_t(k)] = std::uint8_t(primo + k);
        caso.mescola(numeri, TotaliColonne[j]);
        std::size_t preso = 0;
        for (std::size_t i = 0; i < CartellePerSerie; ++i) {
            std::sort(numeri.begin() + std::ptrdiff_t(preso), numeri.begin() + std::ptrdiff_t(preso + conteggi[i][j]));
            for (std::size_t riga = 0; riga < RigheCartella; ++riga) {
                if (pieni[i][riga][j])
                    serie[i].righe[riga][j] = numeri[preso++];
            }
        }
    }
    return serie;
}

std::uint32_t disposizioniCartella(const std::array<int, ColonneCartella> &conteggi)
{
    int quanti[4] = {};
    int somma = 0;
    for (int v : conteggi) {
        if (v < 1 || v > 3)
            return 0;
        ++quanti[v];
        somma += v;
    }
    if (somma != NumeriPerCartella)
        return 0;
    std::uint32_t totale = 0;
    for (const Ripartizione &r : ripartizioni(quanti[1], quanti[2], quanti[3]))
        totale += r.modi;
    return totale;
}

QString numeroSerieValide()
{
    // F(T) * prod T_col! / 6^54: the weights were scaled by 6^9 a card.
    Intero<16> n;
    std::copy(tavole().stati[tavole().iniziale].modi.cifre.begin(), tavole().stati[tavole().iniziale].modi.cifre.end(),
              n.cifre.begin());
    for (int t : TotaliColonne) {
        for (int k = 2; k <= t; ++k)
            n = n.per(std::uint32_t(k));
    }
    for (int k = 0; k < 54; ++k) {
        if (n.dividi(6) != 0)
            qFatal("Cartelle: conteggio delle serie non intero");
    }
    QString cifre;
    do {
        cifre.prepend(QChar(u'0' + char16_t(n.dividi(10))));
    } while (!n.zero());
    return cifre;
}
