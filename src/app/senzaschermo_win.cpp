// SPDX-License-Identifier: MIT
#include "senzaschermo.h"

// Windows always has a desktop to start on: nothing to change.
void preparaPiattaformaPerFile(bool)
{
}
