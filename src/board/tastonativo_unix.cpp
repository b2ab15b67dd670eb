// SPDX-License-Identifier: MIT
// X11, Wayland and the others: native key codes are not the board's codes.
#include "comandi.h"

int codiceNativo(quint32 /*tastoNativo*/)
{
    return 0;
}
