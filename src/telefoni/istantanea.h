// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct ArchivioLetto;
struct StoriaPartita;

// What the phones show of a game, as the JSON the page reads: the numbers in
// the order called, the last one with its comment, the last five, the prizes
// given, the categories still open, the fingerprint. Never the seed.
QByteArray istantaneaTelefoni(const StoriaPartita &partita, qint64 sequenza);

// One card's fifteen numbers for the code printed on it ("K3M9QX-67"), as JSON;
// nothing for any other text. Only what the card itself shows.
std::optional<QByteArray> cartellaTelefoni(const ArchivioLetto &archivio, const QString &codice);
