// SPDX-License-Identifier: MIT
#pragma once

#include "cartellaprotetta.h"
#include "storia.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The minutes of a game's draw ("Verbale di estrazione"): an A4 PDF with the
// game's times, the seed's fingerprint (and the seed, once the game is
// closed), every call numbered and timed with its source, every withdrawal,
// the prizes and the lines to sign. Text stays text, so it can be searched
// and read back. While the game is open the seed appears nowhere in the file.

// "Verbale tombola 2026-12-07 21.05.pdf": a name every system accepts (no colons).
QString nomeVerbale(const QDateTime &momento);

// The whole PDF, in memory: the same story always gives the same pages.
QByteArray pdfVerbale(const StoriaPartita &partita);

// Writes the PDF to percorso through a file renamed into place once complete:
// on any failure no file, or the one that was there, is left.
EsitoScrittura scriviVerbale(const StoriaPartita &partita, const QString &percorso);

// The game the minutes are asked for: the current one, or, before its first
// call, the one before it (closed by a new game, its seed revealed).
const StoriaPartita &partitaDelVerbale(const Storia &storia);
