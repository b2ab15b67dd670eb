// SPDX-License-Identifier: MIT
#pragma once

#include "serie.h"

#include <QDate>
#include <QString>

#include <cstdint>

// A batch ("blocchetto") of numbered cards: cards 1 .. 6 * serie, card k in
// series ceil(k / 6). The seed is kept, never printed.
struct Blocchetto {
    static constexpr int MassimoSerie = 500;

    std::uint64_t seme = 0;
    int serie = 0;
    QDate data;
    // Short code printed on every card; derived from the seed.
    QString codice;

    int cartelle() const { return CartellePerSerie * serie; }
    // numero in 1 .. cartelle(); an empty card for any other number.
    Cartella cartella(int numero) const;

    // The series (1, 2, ...) that holds card numero, and the card's place in it (0..5).
    static constexpr int serieDellaCartella(int numero) { return (numero - 1) / CartellePerSerie + 1; }
    static constexpr int postoNellaSerie(int numero) { return (numero - 1) % CartellePerSerie; }
};

// A new batch of serie series (1..MassimoSerie) from the system's random source.
Blocchetto nuovoBlocchetto(int serie, const QDate &data);

// The batch a seed gives: its code, the same cards every time.
Blocchetto blocchettoDaSeme(std::uint64_t seme, int serie, const QDate &data);

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
