// SPDX-License-Identifier: MIT
#pragma once

#include "cartellaprotetta.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>

// The game record `ultima.par`: a header line and one line per drawn number,
// every line ending in CR LF. Every write replaces the file atomically, so a
// crash in the middle of one leaves the previous complete record.

inline constexpr auto NomeRegistro = "ultima.par";

// What an argument of CaricaPartita asks for.
enum class Operazione { Inizio, Annullato, Estratto };

struct Comando {
    Operazione operazione = Operazione::Estratto;
    long long numero = 0; // only for Estratto
};

// Operation words are matched without regard to case; anything else appends
// the number read from the ninth character on.
Comando interpretaComando(const QString &argomento);

// Leading blanks skipped, then an optional sign and digits; 0 when the text
// does not begin with a number. Saturates instead of overflowing.
long long letturaNumerica(QStringView testo);

// "Partita : " + short date with four-digit year + blank + time with seconds.
QString testoIntestazione(const QDateTime &momento, const QLocale &locale = QLocale());
QByteArray rigaIntestazione(const QDateTime &momento, const QLocale &locale = QLocale());
// Blank, digits, blank, CR LF.
QByteArray rigaNumero(long long numero);

// What a record file yields when read back. Input is untrusted: only numbers
// 1..90 are kept, each once, in the order first seen.
struct PartitaLetta {
    QString intestazione; // first line as read, without its line end
    QList<int> numeri;
    // Empty when the record was read or there is none; otherwise why a record
    // that exists could not be read, in Italian ("permesso negato", ...).
    QString errore;
};

// The longest line the reader looks at, line end excluded. Every line this
// program writes is a few bytes; a longer line is skipped whole, never cut
// into a number. The header keeps its first bytes.
inline constexpr qsizetype LunghezzaMassimaRiga = 1024;

// Reads a record as a stream, in bounded memory and time linear in its size.
// A read error keeps the lines completed before it and drops the one cut.
PartitaLetta leggiRegistro(QIODevice &dispositivo);
PartitaLetta leggiRegistro(const QByteArray &contenuto);
// The same from an open file, where a hole of a sparse file comes as one
// overlong line instead of its gigabytes of zeros: the same result, at once.
class QFile;
PartitaLetta leggiRegistroFile(QFile &file);

// The start-time notice for a record that exists but cannot be read.
QString messaggioLettura(const QString &percorso, const QString &errore);

using TabellaEstratti = std::array<std::int16_t, 101>;

class RegistroPartita
{
public:
    // Opens the folder now: every later write goes to that folder, or fails.
    explicit RegistroPartita(const QString &cartella);

    QString percorso() const;
    // The folder, opened once: the files kept beside the record go through it too.
    std::shared_ptr<CartellaProtetta> cartella() const { return m_cartella; }

    // Header only: a game with no number drawn yet.
    EsitoScrittura nuovaPartita(const QDateTime &momento) const;
    // Adds one number line after everything already there. Without a record
    // yet, starts one with a header, so the draw is never lost. A record
    // larger than LimiteCopia, far larger than any this program writes, is
    // not copied: it is rebuilt from the board (estratti), the new number last.
    EsitoScrittura aggiungi(long long numero, const TabellaEstratti &estratti, const QDateTime &momento) const;
    // A fresh header, then every drawn number in ascending order.
    EsitoScrittura riscrivi(const TabellaEstratti &estratti, const QDateTime &momento) const;

    // Replaces the record with these bytes (the carry-over of a game).
    EsitoScrittura sostituisci(const QByteArray &contenuto) const;

    // Whether a record exists, and what it holds.
    bool esiste() const;
    PartitaLetta leggi() const;

    // Removes what a write killed before its final rename leaves beside the
    // record: this user's regular files named "ultima.par." and six letters. Call it at
    // start, before any write. Returns how many were removed.
    int pulisciTemporanei() const;

    // Asked before every write, in any folder: empty lets it go on, anything
    // else is why not (the board's lock lost). Set once at start.
    static void controllaPrimaDiScrivere(std::function<QString()> controllo);

    // A full game is under a kilobyte: an append copies at most this much.
    static constexpr qint64 LimiteCopia = 64 * 1024;

private:
    EsitoScrittura scrivi(const QByteArray &contenuto) const;

    std::shared_ptr<CartellaProtetta> m_cartella;
};
