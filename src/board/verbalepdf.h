// SPDX-License-Identifier: MIT
#pragma once

#include "storia.h"

#include <QDateTime>
#include <QString>

// What became of the minutes asked for: the PDF's path when made, or why not.
struct VerbaleFatto {
    QString percorso;
    QString errore; // empty when made (Italian)
};

// The minutes of a game as a PDF in the documents folder, named after the
// moment asked, then opened in the viewer.
VerbaleFatto salvaVerbale(const StoriaPartita &partita, const QDateTime &adesso);
