// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The information dialog's legal line and the help on the board's keys,
// lines joined by CR LF; the card check's key comes after the others.
QString testoAvvertenze();

inline constexpr auto DescrizioneProgramma =
    "Tabellone per visualizzare l'estrazione dei numeri della tombola con commenti. ";
