// SPDX-License-Identifier: MIT
#pragma once

#include "registro.h"

#include <QString>
#include <QStringList>

// Where a run finds its pictures and keeps its record. Decided once at start;
// every later read and write of the record uses the one folder chosen here.

// The application name under which the per-user data folder is found:
// ~/.local/share/tabellone on Linux.
inline constexpr auto NomeApplicazione = "tabellone";

struct Cartelle {
    // Beside the executable when they are there, else the installed data folder.
    QString immagini;
    // The folder of ultima.par; empty when no folder tried could be written.
    QString registro;
    // A record found in the program folder that cannot be written there: the
    // game goes on from a copy in registro (see riportaPartita).
    QString daRiportare;
    // Its bytes as read when it was chosen: the bytes compared are the bytes carried.
    QByteArray contenutoDaRiportare;
    // The program folder's batch file, whose batches are added to the per-user
    // one (see riportaBlocchetti), and its bytes as read.
    QString blocchettiDaRiportare;
    QByteArray contenutoBlocchetti;
    // What to note beside the per-user record (riporto.dat) once done: the
    // program folder's files, by the fingerprint of their bytes, already
    // carried over or told about, so that neither happens again.
    struct Nota {
        QString nome;        // the file's name: ultima.par or blocchetti.dat
        QByteArray impronta; // SHA-256 of its bytes, in hex
        bool detta = false;  // the start has said the per-user game goes on instead
    };
    QList<Nota> daAnnotare;
    // Every folder tried for the record, in order, for telling the user.
    QStringList tentate;
    // Told once at start: files left alone, the place of a game found in two.
    QStringList avvisi;

    bool salvata() const { return !registro.isEmpty(); }
};

// cartellaProgramma is the executable's folder, cartellaUtente the per-user
// data folder (created here, owner-only, if missing). The program folder keeps
// the record when the pictures are beside the executable, a file there can be
// replaced atomically, its record and lock are this user's regular files, and
// no later game was carried on in the per-user folder; otherwise the per-user
// folder does.
// The program folder's record is carried over once: bytes already carried (or
// already told about) never again, whatever their date says. Changed bytes
// are carried only when the per-user record holds no draw they lack and is
// not a newer game; otherwise the per-user game goes on and the start says so
// once. The content decides where it can: the same game (the same header)
// further on is the newer; two different games are told apart by their
// files' dates. With nowhere to write, the newest readable one is still shown.
Cartelle scegliCartelle(const QString &cartellaProgramma, const QString &cartellaUtente);

// The per-user data folder for NomeApplicazione (the application name must be set).
QString cartellaUtente();

// Copies the record to be carried over into registro, with the permissions of
// a new file; one far larger than any this program writes is rebuilt from its
// header and numbers instead. Then notes it, and what the start said, beside
// it. Nothing to do is a success.
EsitoScrittura riportaPartita(const Cartelle &cartelle);

// Adds the batches of the program folder's batch file that the per-user one
// lacks (by batch code), after its own: the per-user file only ever gains
// batches. Then notes it beside the record. Nothing to do is a success.
EsitoScrittura riportaBlocchetti(const Cartelle &cartelle);

// The note beside the per-user record (see Cartelle::Nota).
inline constexpr auto NomeNotaRiporto = "riporto.dat";

// The game is kept for this run only, in cartellaProvvisoria: the record that
// would have been written is still shown, carried over there.
void soloPerQuestaVolta(Cartelle &cartelle, const QString &cartellaProvvisoria);

// The notice shown once at start when the game cannot be saved anywhere.
QString avvisoNonSalvata(const Cartelle &cartelle);
// Its last part: the recorded game shown all the same, when there is one.
QString ripresa(const Cartelle &cartelle);
