// SPDX-License-Identifier: MIT
#include "filotelefoni.h"

// Qt's loop here polls every socket notifier at each turn.
bool serverTelefoniSuFiloProprio()
{
    return true;
}
