// SPDX-License-Identifier: MIT
#pragma once

// The program's own fixed texts and version.
namespace Identita {

inline constexpr auto Titolo = "Tabellone Tombola"; // application title and product name
inline constexpr auto Descrizione = "Benvenuti al";
inline constexpr auto NotaLegale = "Software libero, licenza MIT";
inline constexpr auto TestoTitolo = "Tabellone Tombola: doppio clic sul numero estratto";

inline constexpr int VersioneMaggiore = 1;
inline constexpr int VersioneMinore = 0;
inline constexpr int Revisione = 4;

} // namespace Identita

#include <QString>

namespace Identita {

// "Versione " + major.minor.revision
QString testoVersione();

} // namespace Identita
