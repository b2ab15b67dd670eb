// SPDX-License-Identifier: MIT
#include "verbalepdf.h"

// This build has no writer of the minutes: the button says so instead of
// leaving a file that is not one.
VerbaleFatto salvaVerbale(const StoriaPartita &, const QDateTime &)
{
    return {{}, QStringLiteral("Questa versione del programma non scrive il verbale in PDF.")};
}
