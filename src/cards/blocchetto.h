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
    // numero in 1 .. cartelle().
    Cartella cartella(int numero) const;
};

// A new batch of serie series (1..MassimoSerie) from the system's random source.
Blocchetto nuovoBlocchetto(int serie, const QDate &data);
