// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdio>

// The command line's messages to stdout or stderr. A console shows them as
// the characters they are, whatever its code page; a pipe or a file gets
// UTF-8 bytes. The platform parts live in console_unix.cpp and console_win.cpp.
void scriviTesto(std::FILE *flusso, const QString &testo);
