// SPDX-License-Identifier: MIT
// Windows: the virtual-key code is already the board's key code.
#include "comandi.h"

int codiceNativo(quint32 tastoNativo)
{
    return static_cast<int>(tastoNativo);
}
