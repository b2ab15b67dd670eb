// SPDX-License-Identifier: MIT
#pragma once

#include "serie.h"

#include <QDate>
#include <QString>

#include <cstdint>

// A batch ("blocchetto") of numbered cards. Cards are numbered on across every
// batch kept beside the record: a batch of serie series holds cards
// primaCartella .. primaCartella + 6 * serie - 1, so a card number names one
// card. Its cards are the seed's series 1, 2, ... whatever their numbers: card
// primaCartella + k is place k % 6 of the seed's series k / 6 + 1. The seed is
// kept, never printed.
struct Blocchetto {
    static constexpr int MassimoSerie = 500;
    // Card numbers have at most six digits, as typed to check one.
    static constexpr int MassimaCartella = 999999;

    std::uint64_t seme = 0;
    int serie = 0;
    QDate data;
    // Short code printed on every card; derived from the seed.
    QString codice;
    // Batches kept before numbering went on across batches all start at 1.
    int primaCartella = 1;

    int cartelle() const { return CartellePerSerie * serie; }
    int ultimaCartella() const { return primaCartella + cartelle() - 1; }
    bool contiene(int numero) const { return numero >= primaCartella && numero <= ultimaCartella(); }
    // numero in primaCartella .. ultimaCartella(); an empty card for any other number.
    Cartella cartella(int numero) const;

    // The series (1, 2, ...) that holds card numero, and the card's place in it (0..5).
    // Every batch starts a series, so card numbers and series numbers go on together.
    static constexpr int serieDellaCartella(int numero) { return (numero - 1) / CartellePerSerie + 1; }
    static constexpr int postoNellaSerie(int numero) { return (numero - 1) % CartellePerSerie; }
};

// A new batch of serie series (1..MassimoSerie) from the system's random source.
Blocchetto nuovoBlocchetto(int serie, const QDate &data, int primaCartella = 1);

// The batch a seed gives: its code, the same cards every time.
Blocchetto blocchettoDaSeme(std::uint64_t seme, int serie, const QDate &data, int primaCartella = 1);

// Length of a batch code, and its letters: digits and capitals without
// I, L, O and U, so nothing printed can be read as something else.
inline constexpr int LunghezzaCodice = 6;
inline constexpr auto AlfabetoCodice = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";

// The code of the batch with this seed. It tells a reader at most 30 bits of
// a hash of the seed, never the seed.
QString codiceBlocchetto(std::uint64_t seme);

// What a person typed as a code, in the code's own letters: capitals, and the
// look-alikes read as the digits they stand for (O as 0, I and L as 1).
// Empty when it cannot be a code.
QString normalizzaCodice(const QString &testo);
