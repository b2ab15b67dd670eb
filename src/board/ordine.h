// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// The order in which the computer draws: a permutation of 1..90 fixed at a
// game's first call by a 256-bit seed, so that once the seed is revealed
// anyone can recompute it and check every computer draw against it. The
// procedure is given exactly in the README, with a reference implementation
// in tools/ordine_estrazione.py.

inline constexpr int LunghezzaSeme = 32; // bytes

// 32 bytes from the system's random source.
QByteArray nuovoSeme();

// The permutation the seed fixes: element 0 is drawn first. A seed of any
// other length gives all zeros.
std::array<int, 90> ordineDelSeme(const QByteArray &seme);

// The computer's next number: the first of the seed's order not on the board
// (estratti[n] != 0 means drawn); 0 when all 90 are.
int prossimoDelComputer(const QByteArray &seme, const std::array<std::int16_t, 101> &estratti);

// The seed's public fingerprint: the first 16 hex digits of its SHA-256, upper
// case, in four groups of four ("1A2B 3C4D 5E6F 7A8B"); empty without a seed.
QString improntaSeme(const QByteArray &seme);
