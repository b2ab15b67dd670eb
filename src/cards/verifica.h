// SPDX-License-Identifier: MIT
#pragma once

#include "archivio.h"

#include <QString>

#include <array>
#include <cstdint>

// Checking a claim: a card of a batch, or one of the board's own six blocks
// of fifteen, against the numbers drawn.

// What the operator typed: "67" (card 67, of whichever batch holds it),
// "K3M9QX-67" (card 67 of the batch with that code) or "tabellone 3" (block 3 of the
// board, 1..6: blocks 1 and 2 are the top three rows, left and right).
struct Richiesta {
    enum class Tipo { Cartella, Tabellone };
    Tipo tipo = Tipo::Cartella;
    QString codice; // empty: the batch that holds the number
    int numero = 0; // card number, or block 1..6
    QString errore; // the text cannot be read: why, in Italian
    bool valida() const { return errore.isEmpty(); }
};
Richiesta leggiRichiesta(const QString &testo);

// Numbers of board block 1..6, row by row: block 1 holds 1-5, 11-15, 21-25.
std::array<std::array<int, 5>, 3> bloccoTabellone(int blocco);

using TabellaEstratti = std::array<std::int16_t, 101>; // -1 = drawn

// What a row makes with k of its numbers drawn: "ambo" for 2, "terno",
// "quaterna", "cinquina" for 5; empty below two.
QString premioRiga(int estratti);

struct Verifica {
    QString errore; // not empty: nothing to show, this says why
    bool tabellone = false; // a block of the board rather than a card
    int numero = 0; // card number, or block 1..6
    int serie = 0; // the card's series; 0 for a block
    QString codice; // the card's batch; empty for a block
    QString titolo; // "Cartella 67 (K3M9QX, serie 12)", "Tabellone 3"
    int colonne = 0; // 9 for a card, 5 for a block
    // As placed: rows of `colonne` places, 0 = blank.
    std::array<std::array<std::uint8_t, ColonneCartella>, RigheCartella> numeri{};
    std::array<std::array<bool, ColonneCartella>, RigheCartella> estratto{};
    std::array<int, RigheCartella> estrattiRiga{};
    std::array<QString, RigheCartella> premioRiga; // "", "ambo", ... "cinquina"
    int estrattiTotale = 0;
    bool tombola = false;
    // The best the card makes: "TOMBOLA", "cinquina", ..., "ambo", or empty.
    QString esito;
    int ultimo = 0; // the last number drawn, 0 when none
    bool ultimoSullaCartella = false;
    // Short text for the voice: "Cartella sessantasette: cinquina".
    QString testoVoce;
};

// The check of a card or block, as typed, against the drawn table and the
// last number drawn (0 when none).
Verifica verifica(const QString &testo, const ArchivioLetto &archivio, const TabellaEstratti &estratti,
                  int ultimo);
Verifica verifica(const Richiesta &richiesta, const ArchivioLetto &archivio, const TabellaEstratti &estratti,
                  int ultimo);

// The check of a card known already (same rules; for the printout's tests).
Verifica verificaCartella(const Cartella &cartella, const TabellaEstratti &estratti, int ultimo);

// Numbers in Italian words, 1..9999 ("tremila", "sessantasette").
QString paroleNumeroIntero(int n);
