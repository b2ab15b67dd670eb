// SPDX-License-Identifier: MIT
#include "verifica.h"

#include "dichiarazioni.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int NumeriPerRiga = 5;
constexpr int BlocchiTabellone = 6;

QString aiuto()
{
    return u"Scrivi il numero della cartella (\"67\"), il codice del blocchetto con il numero "
           u"(\"K3M9QX-67\") o un blocco del tabellone, da \"tabellone 1\" a \"tabellone 6\"."_s;
}

Richiesta errata(const QString &errore)
{
    Richiesta r;
    r.errore = errore;
    return r;
}

// The card or block placed in `v.numeri`, checked against the table.
void controlla(Verifica &v, const TabellaEstratti &estratti, int ultimo)
{
    v.ultimo = Dichiarazioni::numeroValido(ultimo) ? ultimo : 0;
    for (std::size_t riga = 0; riga < RigheCartella; ++riga) {
        for (std::size_t j = 0; j < std::size_t(v.colonne); ++j) {
            const int n = v.numeri[riga][j];
            if (n == 0)
                continue;
            v.estratto[riga][j] = estratti[std::size_t(n)] == Dichiarazioni::Estratto;
            v.estrattiRiga[riga] += v.estratto[riga][j];
            v.ultimoSullaCartella = v.ultimoSullaCartella || (v.ultimo != 0 && n == v.ultimo);
        }
        v.premioRiga[riga] = premioRiga(v.estrattiRiga[riga]);
        v.estrattiTotale += v.estrattiRiga[riga];
    }
    v.tombola = v.estrattiTotale == RigheCartella * NumeriPerRiga;
    const int migliore = *std::max_element(v.estrattiRiga.begin(), v.estrattiRiga.end());
    v.esito = v.tombola ? u"TOMBOLA"_s : premioRiga(migliore);
    v.testoVoce = (v.tabellone ? u"Tabellone "_s : u"Cartella "_s) + paroleNumeroIntero(v.numero) + u": "_s
                  + (v.tombola ? u"tombola"_s : v.esito.isEmpty() ? u"nessun premio"_s : v.esito);
}

} // namespace

Richiesta leggiRichiesta(const QString &testo)
{
    const QString t = testo.simplified().toLower();
    if (t.isEmpty())
        return errata(aiuto());
    static const QRegularExpression tabellone(u"\\Atabellone ?([0-9]{1,6})\\z"_s);
    static const QRegularExpression numero(u"\\A(?:cartella )?([0-9]{1,6})\\z"_s);
    static const QRegularExpression codiceNumero(u"\\A(?:cartella )?([0-9a-z]+) ?[- ] ?([0-9]{1,6})\\z"_s);
    Richiesta r;
    if (const auto m = tabellone.match(t); m.hasMatch()) {
        r.tipo = Richiesta::Tipo::Tabellone;
        r.numero = m.captured(1).toInt();
        if (r.numero < 1 || r.numero > BlocchiTabellone)
            return errata(u"Il tabellone ha sei blocchi: scrivi da \"tabellone 1\" a \"tabellone 6\"."_s);
        return r;
    }
    if (const auto m = numero.match(t); m.hasMatch()) {
        r.numero = m.captured(1).toInt();
    } else if (const auto m = codiceNumero.match(t); m.hasMatch()) {
        r.codice = normalizzaCodice(m.captured(1));
        if (r.codice.isEmpty())
            return errata(u"\"%1\" non è il codice di un blocchetto: il codice ha sei lettere e cifre, "
                          u"come è stampato sulla cartella."_s.arg(m.captured(1).toUpper()));
        r.numero = m.captured(2).toInt();
    } else {
        return errata(aiuto());
    }
    if (r.numero < 1)
        return errata(u"Le cartelle sono numerate da 1."_s);
    return r;
}

std::array<std::array<int, 5>, 3> bloccoTabellone(int blocco)
{
    // The board's nine rows of ten, in three bands of three rows, each band
    // split into a left and a right half.
    std::array<std::array<int, 5>, 3> numeri{};
    if (blocco < 1 || blocco > BlocchiTabellone)
        return numeri;
    const int fascia = (blocco - 1) / 2;
    const int meta = (blocco - 1) % 2;
    for (int riga = 0; riga < 3; ++riga) {
        for (int k = 0; k < NumeriPerRiga; ++k)
            numeri[std::size_t(riga)][std::size_t(k)] = 10 * (3 * fascia + riga) + 5 * meta + k + 1;
    }
    return numeri;
}

QString premioRiga(int estratti)
{
    switch (estratti) {
    case 2: return u"ambo"_s;
    case 3: return u"terno"_s;
    case 4: return u"quaterna"_s;
    case 5: return u"cinquina"_s;
    default: return {};
    }
}

Verifica verifica(const QString &testo, const ArchivioLetto &archivio, const TabellaEstratti &estratti, int ultimo)
{
    return verifica(leggiRichiesta(testo), archivio, estratti, ultimo);
}

Verifica verifica(const Richiesta &richiesta, const ArchivioLetto &archivio, const TabellaEstratti &estratti,
                  int ultimo)
{
    Verifica v;
    if (!richiesta.valida()) {
        v.errore = richiesta.errore;
        return v;
    }
    if (richiesta.tipo == Richiesta::Tipo::Tabellone) {
        v.tabellone = true;
        v.numero = richiesta.numero;
        v.colonne = NumeriPerRiga;
        v.titolo = u"Tabellone %1"_s.arg(richiesta.numero);
        const auto blocco = bloccoTabellone(richiesta.numero);
        for (std::size_t riga = 0; riga < RigheCartella; ++riga) {
            for (std::size_t k = 0; k < std::size_t(NumeriPerRiga); ++k)
                v.numeri[riga][k] = std::uint8_t(blocco[riga][k]);
        }
        controlla(v, estratti, ultimo);
        return v;
    }
    const CartellaCercata trovata = cercaCartella(archivio, richiesta.codice, richiesta.numero);
    if (!trovata.trovata()) {
        v.errore = trovata.errore;
        return v;
    }
    v.numero = trovata.numero;
    v.serie = trovata.serie;
    v.codice = trovata.codice;
    v.titolo = u"Cartella %1 (serie %2, blocchetto %3)"_s.arg(v.numero).arg(v.serie).arg(v.codice);
    v.colonne = ColonneCartella;
    v.numeri = trovata.cartella.righe;
    controlla(v, estratti, ultimo);
    return v;
}

Verifica verificaCartella(const Cartella &cartella, const TabellaEstratti &estratti, int ultimo)
{
    Verifica v;
    v.colonne = ColonneCartella;
    v.numeri = cartella.righe;
    controlla(v, estratti, ultimo);
    return v;
}

QString paroleNumeroIntero(int n)
{
    static const char *const unita[] = {"",        "uno",     "due",         "tre",      "quattro",
                                        "cinque",  "sei",     "sette",       "otto",     "nove",
                                        "dieci",   "undici",  "dodici",      "tredici",  "quattordici",
                                        "quindici", "sedici", "diciassette", "diciotto", "diciannove"};
    static const char *const decine[] = {"", "", "venti", "trenta", "quaranta", "cinquanta", "sessanta",
                                         "settanta", "ottanta", "novanta"};
    if (n < 1 || n > 9999)
        return {};
    const auto sottoCento = [&](int x) {
        if (x < 20)
            return QString::fromLatin1(unita[x]);
        QString d = QString::fromLatin1(decine[x / 10]);
        const int u = x % 10;
        if (u == 1 || u == 8)
            d.chop(1); // ventuno, ventotto
        return d + QString::fromLatin1(unita[u]);
    };
    const auto sottoMille = [&](int x) {
        const int c = x / 100;
        const int resto = x % 100;
        QString parole = c == 0 ? QString() : c == 1 ? u"cento"_s : QString::fromLatin1(unita[c]) + u"cento"_s;
        const QString dopo = resto == 0 ? QString() : sottoCento(resto);
        if (c != 0 && dopo.startsWith(u"ott"_s))
            parole.chop(1); // centotto, centottanta
        return parole + dopo;
    };
    const int migliaia = n / 1000;
    QString parole = migliaia == 0   ? QString()
                     : migliaia == 1 ? u"mille"_s
                                     : QString::fromLatin1(unita[migliaia]) + u"mila"_s;
    parole += sottoMille(n % 1000);
    // The final tre of a compound carries the accent: ventitré, centotré.
    if (n > 3 && parole.endsWith(u"tre"_s))
        parole = parole.chopped(1) + u"é"_s;
    return parole;
}
