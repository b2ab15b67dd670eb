// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// A later start hands the foreground to the board already open. Windows lets
// only the process the user is busy with take the foreground: the later start
// has that right and passes it on before it calls the board, and the board
// then restores its window if minimised and brings it forward with the focus.
// Elsewhere Qt's own raise and activation do this and these do nothing. The
// platform parts live in primopiano_unix.cpp and primopiano_win.cpp.

// Called by the later start, connected to the board (QLocalSocket::socketDescriptor()).
void cediPrimoPiano(qintptr descrittore);

// Called by the board on the window it shows on top (QWidget::winId()), one
// Qt shows: it is restored, with its owners, and made the foreground window.
void prendiPrimoPiano(quintptr finestra);
