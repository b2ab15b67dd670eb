// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Program-wide state shared by every window, kept for the whole run.
namespace Dichiarazioni {

inline constexpr int PrimoNumero = 1;
inline constexpr int UltimoNumero = 90;
inline constexpr int DimensioneTabelle = 101; // indexes 0..100; only 1..90 take part in the game

inline constexpr std::int16_t Estratto = -1;
inline constexpr std::int16_t NonEstratto = 0;

// Entry n is -1 when number n is drawn and 0 when it is not.
extern std::array<std::int16_t, DimensioneTabelle> Estratti;
// Entry n is the comment shown for number n at the chosen level.
extern std::array<QString, DimensioneTabelle> Commenti;
// Empty until the start button stores 1, 2 or 3.
extern std::optional<int> Livello;
// Size unit: inner width of the board in twips / 700.
extern std::int16_t Spessore;

// Back to the state of a fresh start (used by tests).
void azzera();

// Carriage return + line feed, for multi-line label texts.
QString InterruzioneLinea();

// Whether n can address a board cell of the game.
constexpr bool numeroValido(long long n) { return n >= PrimoNumero && n <= UltimoNumero; }

} // namespace Dichiarazioni

namespace Dichiarazioni {

// "img" + the number with at least two digits + ".gif"; img00.gif is the blank cell.
QString nomeImmagine(int numero);

} // namespace Dichiarazioni
