// SPDX-License-Identifier: MIT
#include "primopiano.h"

// The window manager decides, from Qt's request in the board.
void cediPrimoPiano(qintptr) {}

void prendiPrimoPiano(quintptr) {}
