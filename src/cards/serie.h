// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Cartelle: cards of 3 rows and 9 columns holding 15 numbers, five a row;
// column c holds only numbers of its decade (1-9, 10-19, ..., 80-90), one to
// three of them, increasing downwards. A series is six cards that together
// hold every number 1..90 exactly once.

inline constexpr int RigheCartella = 3;
inline constexpr int ColonneCartella = 9;
inline constexpr int CartellePerSerie = 6;

struct Cartella {
    // 0 marks an empty place.
    std::array<std::array<std::uint8_t, ColonneCartella>, RigheCartella> righe{};

    bool operator==(const Cartella &) const = default;
};

using Serie = std::array<Cartella, CartellePerSerie>;

// A series drawn uniformly among all valid series. The randomness comes only
// from seme and numeroSerie (1, 2, ...) through a generator this program
// defines, so the same pair gives the same series on every platform and in
// every version. No series is ever thrown away and begun again: the only
// redraws are of a single random number that falls out of range, less than
// one time in two, as any exactly uniform draw needs.
Serie generaSerie(std::uint64_t seme, int numeroSerie);

// The column (0..8) that holds number n (1..90).
constexpr int colonnaDelNumero(int n) { return n == 90 ? 8 : n / 10; }

// How many layouts a card with these column counts (each 1..3, fifteen in
// all) has: places of its 3 x 9 grid that hold a number, five a row. 0 for
// counts no card can have. Summed over all counts: 735,210.
std::uint32_t disposizioniCartella(const std::array<int, ColonneCartella> &conteggi);

// How many valid series there are (cards in order), in decimal digits.
QString numeroSerieValide();
