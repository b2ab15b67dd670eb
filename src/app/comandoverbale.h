// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

// `tabellone --verbale FILE`: writes the minutes of the draw of the game in
// the record to FILE, as a PDF, with no window and no display needed. Returns
// the exit status when the command line asks for this, nothing when the board
// is to start as usual. Call it first, before any application object exists.
std::optional<int> comandoVerbale(int &argc, char **argv);
