// SPDX-License-Identifier: MIT
#pragma once

#include "cartellaprotetta.h"
#include "premi.h"
#include "registro.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// The story of a game: every call numbered and timed with where it came
// from, every withdrawal, the computer's seed and when the game ended. It is
// kept in "storia.dat" beside the record, which stays the board's truth: the
// story is written before each record write, and read back against the
// record, so after a kill at any instant the two agree.

inline constexpr auto NomeStoria = "storia.dat";
// A full game is a few kilobytes; a file far larger is not one of ours. A
// change that would make the story larger is refused before it is written.
inline constexpr qint64 DimensioneMassimaStoria = 1024 * 1024;

enum class Fonte {
    Ignota,    // found in the record without a story: a record of an older program
    Sacchetto, // drawn from the bag by hand and double-clicked
    Computer,  // drawn by the computer (F6)
};

struct Evento {
    enum class Tipo { Chiamata, Ritiro };
    Tipo tipo = Tipo::Chiamata;
    int chiamata = 0; // the call's ordinal k, from 1 (calls only)
    int numero = 0;
    QDateTime quando; // local time to the second; invalid when not known
    Fonte fonte = Fonte::Ignota; // calls only

    bool operator==(const Evento &) const = default;
};

struct StoriaPartita {
    QDateTime inizio;     // the first call; invalid before it
    QDateTime fine;       // when the game was closed; invalid while it is open
    QByteArray seme;      // 32 bytes from the system's random source, taken at the first call
    QList<Evento> eventi; // in the order they happened
    // The prizes this game plays for (empty: none), and those given, in order.
    Programma programma;
    QList<Assegnazione> assegnazioni;

    bool chiusa() const { return fine.isValid(); }
    bool vuota() const { return eventi.isEmpty(); }
    // Calls made so far (withdrawn ones too: a call keeps its number).
    int chiamate() const;
    // The numbers on the board as the story tells, in the order of their calls.
    QList<int> sulTabellone() const;
    // The last call still on the board; 0 when there is none.
    int ultimo() const;
    // The last n calls still on the board, latest last.
    QList<Evento> ultimeChiamate(int n) const;

    bool operator==(const StoriaPartita &) const = default;
};

struct Storia {
    StoriaPartita corrente;
    // The game before, kept after F2 so its seed and minutes can still be had.
    std::optional<StoriaPartita> precedente;
    // Seconds between automatic draws, as last set.
    int intervallo = 20;
    // The prize programme as last set: each new game starts with a copy of it.
    Programma programma;

    bool operator==(const Storia &) const = default;
};

// The file's bytes, and back. The reader takes untrusted input: bounded, every
// line checked; anything it cannot use reads as no story at all.
QByteArray contenutoStoria(const Storia &storia);
std::optional<Storia> leggiContenutoStoria(const QByteArray &contenuto);

// The story made to agree with the record (the board's truth): when the
// record's numbers are the current game's, it is kept; when they are those of
// the game without its last event (a kill between the two writes), that event
// is dropped; a new game whose record was never written gives way to the game
// before; otherwise the numbers the story lacks are added as calls of unknown
// source and time, and those it has but the record lacks are withdrawn at an
// unknown time.
void concilia(Storia &storia, const QList<int> &registro);

class ArchivioStoria
{
public:
    explicit ArchivioStoria(std::shared_ptr<CartellaProtetta> cartella);
    explicit ArchivioStoria(const QString &cartella);

    QString percorso() const;
    // No file, or one that cannot be used: an empty story (errore says why, for the latter).
    Storia leggi(QString *errore = nullptr) const;
    EsitoScrittura scrivi(const Storia &storia) const;

private:
    std::shared_ptr<CartellaProtetta> m_cartella;
};

// The story of the game in a record folder, agreed with its record: what the
// minutes of that game print.
Storia storiaDelRegistro(const QString &cartellaRegistro);
