// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <optional>

// The 90 comments of level 1 (any other value) or level 2, number n at index n - 1.
const std::array<QString, 90> &commentiLivello(int livello);

// Fills entries 1..90 of the comment table for level 1 or 2; any other level
// leaves the table as it is.
void Livelli(const std::optional<int> &livello, std::array<QString, 101> &commenti);
