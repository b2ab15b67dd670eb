// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The information dialog's legal line and the help on the board's keys,
// lines joined by CR LF.
QString testoAvvertenze();

inline constexpr auto DescrizioneProgramma =
    "Tabellone per visualizzare l'estrazione dei numeri della tombola con commenti. ";
