// SPDX-License-Identifier: MIT
#pragma once

#include "blocchetto.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

struct StoriaPartita;
struct Verifica;

// The prizes of a game: its programme, the claims settled by call number, the
// winners. Everything here is computed from the game's story (calls and
// withdrawals) and the cards' contents; nothing asks or shows anything.
//
// How a window uses it:
//  - the programme: edit a `Programma`, check it with `erroreProgramma`, show
//    the amounts with `premioEffettivo` / `testoEuro`, store it with
//    `Partita::impostaProgramma` (the default for the next games as well);
//  - a claim: build the cards once with `cartelleDeiBlocchetti` (it takes a
//    moment for thousands of cards), the claimed card with
//    `cartellaDellaVerifica` (from the F5 check) or `cartellaDelTabellone`,
//    then `reclamo(partita, cartella, elenco)`: its `righe` tell what the
//    card completed and when, `errore` a wrong claim, `categoria` and
//    `pariMerito` what "Assegna" offers;
//  - the assignment: `Partita::assegna(reclamo, scelti)`, then show
//    `testoAssegnazione` and say `testoVoceAssegnazione`;
//  - the minutes and the list: `StoriaPartita::assegnazioni` in order, with
//    `quote()` for the shares; `Partita::ritiraAssegnazione` withdraws one.

// Won in this order, one at a time. Tombolino is the second full card.
enum class Categoria { Ambo, Terno, Quaterna, Cinquina, Tombola, Tombolino };
inline constexpr int NumeroCategorie = 6;
inline constexpr std::array<Categoria, NumeroCategorie> Categorie = {Categoria::Ambo,     Categoria::Terno,
                                                                     Categoria::Quaterna, Categoria::Cinquina,
                                                                     Categoria::Tombola,  Categoria::Tombolino};
constexpr std::size_t indice(Categoria c) { return std::size_t(c); }

// "ambo", "terno", "quaterna", "cinquina", "tombola", "tombolino".
QString nomeCategoria(Categoria categoria);
// The name read back, exactly as nomeCategoria writes it.
std::optional<Categoria> categoriaDalNome(QStringView nome);
// "un ambo", "una cinquina": what a card does not have yet.
QString conArticolo(Categoria categoria);

// Limits that keep a programme, and the file holding it, of a sensible size.
inline constexpr int MassimoPremiPerCategoria = 999;
inline constexpr int MassimaLunghezzaTesto = 200; // characters of a prize's text or a reason
inline constexpr int QuotaIntera = 10000;         // shares of the pot in hundredths of a percent
inline constexpr qint64 MassimoImporto = 100'000'000'00; // one hundred million euro, in cents
inline constexpr int MassimoVincitori = 999;

// A prize: free text ("un prosciutto"), an amount, or both.
struct Premio {
    QString testo;
    qint64 centesimi = 0; // 0: no amount

    bool operator==(const Premio &) const = default;
};

struct ProgrammaCategoria {
    QList<Premio> premi; // one per prize; none: the category is not played
    int quota = 0;       // with a pot: its share, in hundredths of a percent

    bool operator==(const ProgrammaCategoria &) const = default;
};

// What the evening plays for. An empty programme (no prize at all) is no
// programme: the game plays as without prizes.
struct Programma {
    std::array<ProgrammaCategoria, NumeroCategorie> categorie{};
    // The pot, in cents; 0: none, each prize is as written. With a pot the
    // played categories' shares add up to 100% and the amounts are computed
    // (prizes then carry no amount of their own, only their text).
    qint64 montepremi = 0;
    // The board's holder plays its six blocks ("tabellone 1" … "tabellone 6").
    bool tabellone = false;

    const ProgrammaCategoria &operator[](Categoria c) const { return categorie[indice(c)]; }
    ProgrammaCategoria &operator[](Categoria c) { return categorie[indice(c)]; }
    int quanti(Categoria c) const { return int((*this)[c].premi.size()); }
    bool vuoto() const;

    bool operator==(const Programma &) const = default;
};

// Why the programme cannot be used, in Italian; empty when it can.
QString erroreProgramma(const Programma &programma);

// `totale` split in parts proportional to `pesi`, each rounded down, the
// cents left over given one each to the largest remainders (the earlier part
// on equal remainders): the parts always add up to `totale` exactly.
// Empty when the weights are none or all zero.
QList<qint64> ripartisci(qint64 totale, const QList<qint64> &pesi);
// What each category's prizes are worth with the pot, prize by prize
// (empty lists without a pot). The pot first goes to the categories by their
// shares, then each category's part to its prizes equally: all add up to the pot.
std::array<QList<qint64>, NumeroCategorie> importiDelMontepremi(const Programma &programma);
// Prize `numero` (from 0) of a category, as it is worth: with a pot its amount computed.
Premio premioEffettivo(const Programma &programma, Categoria categoria, int numero);

// "1.234,50 €".
QString testoEuro(qint64 centesimi);
// "12", "12,5", "12,50", "1.234,50", "12,50 €", "12.50": cents; nothing for
// anything else, negative or beyond MassimoImporto.
std::optional<qint64> leggiEuro(const QString &testo);
// What a prize is, in words: "un prosciutto", "12,50 €", "un prosciutto (12,50 €)",
// or "premio" when it says nothing.
QString testoPremio(const Premio &premio);

// Which card: a card of a batch (its code and number) or a block of the board.
struct IdCartella {
    QString codice;         // the batch's code; empty for a block of the board
    int numero = 0;         // the card's number, or the block 1..6
    bool tabellone = false;

    // "cartella 67", "tabellone 3".
    QString nome() const;
    // "K3M9QX-67", "T3": one text per card, as the story file keeps it.
    QString chiave() const;
    static std::optional<IdCartella> dallaChiave(QStringView chiave);

    bool operator==(const IdCartella &) const = default;
};

// A card's fifteen numbers, row by row, five a row.
using NumeriCartella = std::array<std::array<std::uint8_t, 5>, 3>;
NumeriCartella numeriDellaCartella(const Cartella &cartella);

struct CartellaGiocata {
    IdCartella id;
    NumeriCartella numeri{};
};

// Every card of these batches, oldest batch first, each in number order.
QList<CartellaGiocata> cartelleDeiBlocchetti(const QList<Blocchetto> &blocchetti);
// A block of the board, 1..6.
CartellaGiocata cartellaDelTabellone(int blocco);
// The card an F5 check showed; nothing when the check found none.
std::optional<CartellaGiocata> cartellaDellaVerifica(const Verifica &verifica);

// For each number 1..90 on the board, the call (k, from 1) that put it there
// last; 0 for a number not on the board. A withdrawn number counts again only
// from its new call.
using ChiamateNumeri = std::array<int, 91>;
ChiamateNumeri chiamateSulTabellone(const StoriaPartita &partita);

// The call at which a card completed each category as the board stands (the
// current streak: a withdrawal can undo a completion); 0 when it has not.
// Tombolino is completed with the full card, like tombola.
using Completamenti = std::array<int, NumeroCategorie>;
Completamenti completamenti(const NumeriCartella &numeri, const ChiamateNumeri &chiamate);

struct Vincitore {
    IdCartella cartella;
    int chiamata = 0; // the call at which the card completed the category

    bool operator==(const Vincitore &) const = default;
};

// A prize given. Never removed: a withdrawal keeps it, with its reason, for the minutes.
struct Assegnazione {
    Categoria categoria = Categoria::Ambo;
    int numero = 0;          // which prize of the category, from 0
    Premio premio;           // what it was worth when given
    QList<Vincitore> vincitori; // the claiming card first, then its tied cards
    int ultimaChiamata = 0;  // the last call when it was given
    QDateTime quando;
    bool ritirata = false;
    QDateTime quandoRitirata;
    QString motivo;          // why it was withdrawn

    // Each winner's equal share of the amount, in their order (the first
    // ones take the leftover cents); empty for a prize without amount.
    QList<qint64> quote() const;

    bool operator==(const Assegnazione &) const = default;
};

// The state of the prizes of a game.
struct StatoCategoria {
    int premi = 0;     // in the programme; 0: not played
    int assegnati = 0; // prizes held by assignments not withdrawn
    bool aperta = false;
};
std::array<StatoCategoria, NumeroCategorie> statoPremi(const StoriaPartita &partita);
// The category a card would be given now: the lowest open one it completed
// and may still win (not one it already holds; no tombolino for a card that
// won the tombola).
std::optional<Categoria> categoriaDaAssegnare(const StoriaPartita &partita, const IdCartella &cartella,
                                              const Completamenti &completate);

// A claim, settled on the numbers called: what the window shows under the F5 check.
struct Reclamo {
    CartellaGiocata cartella;
    Completamenti completate{};
    int ultimaChiamata = 0; // calls made so far
    // One line for each open category the card completed and may win, e.g.
    // "cinquina completata alla chiamata 34; ultima chiamata 36".
    QStringList righe;
    // A wrong claim, told plainly ("la cartella 67 non ha ancora una
    // cinquina"): nothing to assign.
    QString errore;
    std::optional<Categoria> categoria; // what "Assegna" gives
    int chiamata = 0;                   // when the card completed it
    // Every other card that completed the same category at the same call or
    // earlier and could win it: offered as tied winners, earliest first.
    QList<Vincitore> pariMerito;

    // The game the claim was settled on: an assignment made from it is refused once that changed.
    int eventi = 0;
    QList<Assegnazione> assegnazioni;
    Programma programma;

    bool valido() const { return errore.isEmpty() && categoria.has_value(); }
};

// The claim of `cartella` against the game, its tied cards sought among
// `elenco` (every card of the batches kept) and, when the board's holder
// plays, the board's blocks. `dichiarata`: what the player called, if the
// operator chose it; a card without it is a wrong claim.
Reclamo reclamo(const StoriaPartita &partita, const CartellaGiocata &cartella, const QList<CartellaGiocata> &elenco,
                std::optional<Categoria> dichiarata = std::nullopt);

// The assignment a valid claim makes, with the tied cards chosen among its
// `pariMerito`; `errore` says why not (nothing is given then).
struct EsitoAssegnazione {
    Assegnazione assegnazione;
    QString errore;
};
EsitoAssegnazione nuovaAssegnazione(const StoriaPartita &partita, const Reclamo &reclamo,
                                    const QList<IdCartella> &pariScelti, const QDateTime &quando);
// Why the game cannot take this programme now (it is not one, or it drops a
// prize already given, withdrawn ones included, which the minutes name); empty when it can.
QString erroreCambioProgramma(const StoriaPartita &partita, const Programma &programma);
// Why assignment `numero` of the game cannot be withdrawn with this reason; empty when it can.
QString erroreRitiro(const StoriaPartita &partita, int numero, const QString &motivo);

// "Cinquina, premio 2 di 3: cartella 67 (chiamata 34) e tabellone 3 (chiamata 30),
// 6,25 € ciascuno": for the announcement and the list.
QString testoAssegnazione(const Assegnazione &assegnazione, int premiDellaCategoria);
// What the voice says: "Cinquina! Cartella sessantasette."
QString testoVoceAssegnazione(const Assegnazione &assegnazione);
