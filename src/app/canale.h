// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

// The local channel between a board and a later start on the same record.
// Only this user may be able to create it, and a later start talks only to a
// board of this user. The platform parts live in canale_unix.cpp and canale_win.cpp.

// The server name for QLocalServer and QLocalSocket, from a name derived from
// the record; empty when this user has no place of its own to put it.
QString percorsoCanale(const QString &nome);

// Whether the board a local socket is connected to (QLocalSocket::socketDescriptor()
// of the calling side) runs as this user.
bool stessoUtente(qintptr descrittore);
