// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

// `tabellone --cartelle N [--pdf FILE]`: makes a batch of N series, keeps it
// beside the record and writes its PDF (to FILE, or to the documents folder
// and then opens it), with no window and no display needed. Returns the exit
// status when the command line asks for this, nothing when the board is to
// start as usual. Call it first, before any application object exists.
std::optional<int> comandoCartelle(int &argc, char **argv);
