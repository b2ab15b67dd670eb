// SPDX-License-Identifier: MIT
#pragma once

#include "cartelle.h"

#include <QString>

// A file the user names for the program to write (a PDF from the command
// line or a dialog) must never be one of the program's own: the record, its
// lock, the story, the batch file in any folder the record may live in, the
// pictures, the executable. Writing there would replace the game with a PDF.

// Empty when percorso is none of them; otherwise why it is refused, in
// Italian, naming the file: "... è un file del programma (la partita
// registrata): scegli un altro nome per il PDF". A link is followed as the
// write would follow it; names are compared without regard to case, as
// Windows does.
QString fileDelProgramma(const QString &percorso, const Cartelle &cartelle, const QString &eseguibile);
// The same, for every folder the record may be kept in, before one is chosen.
QString fileDelProgramma(const QString &percorso, const QStringList &cartelleRegistro, const QString &immagini,
                         const QString &eseguibile);
