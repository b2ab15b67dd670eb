// SPDX-License-Identifier: MIT
#include "senzaschermo.h"

#include <cstdio>

#include <windows.h>

// Windows always has a desktop to start on: the platform stays. A GUI program
// started from a console has no standard streams, though: it borrows that
// console, so its messages are seen there. Streams already given (a pipe, a
// file) are kept.
void preparaPiattaformaPerFile(bool)
{
    const bool senzaFlussi = !GetStdHandle(STD_OUTPUT_HANDLE) && !GetStdHandle(STD_ERROR_HANDLE);
    if (senzaFlussi && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}
