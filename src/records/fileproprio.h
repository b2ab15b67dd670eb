// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The record, its lock and the record being carried over are this program's
// own files. In a shared folder anyone may have put something else in their
// place, so they are opened without following a link and without blocking, and
// only a regular file of this user is ever read, written or removed. The
// platform parts live in fileproprio_unix.cpp and fileproprio_win.cpp.

enum class Natura {
    Manca,        // nothing of that name
    Proprio,      // a regular file of this user
    Collegamento, // a symbolic link (or, on Windows, any reparse point)
    NonOrdinario, // a folder, a pipe, a device
    Altrui,       // a regular file of another user (Linux only)
    PiuNomi,      // a regular file with more than one name (hard links): anyone's
    Errore,       // could not be looked at
};

// Anything at a name of ours that is not our file: never read, written or removed.
inline bool estranea(Natura natura)
{
    return natura == Natura::Collegamento || natura == Natura::NonOrdinario || natura == Natura::Altrui
           || natura == Natura::PiuNomi;
}

// What lies at the path, looked at without opening it and without following a link.
Natura naturaDi(const QString &percorso);

// Why a file of that nature is not used, to follow its name: "è un collegamento
// simbolico"; empty for Manca and Proprio.
QString descriviNatura(Natura natura);

struct Apertura {
    int descrittore = -1; // a C run-time descriptor, for QFile::open(int, ...)
    Natura natura = Natura::Manca;
    bool creato = false;  // this call created the file
    QString errore;       // the system's reason, when natura is Errore
};

// Opens an existing file for reading, or (scrittura) for reading and writing,
// creating it owner-only when missing. Never follows a link at the last step,
// never blocks on a pipe; a descriptor is returned only for a regular file of
// this user (natura Proprio).
Apertura apriProprio(const QString &percorso, bool scrittura);

// An advisory lock on the whole open file that the system drops when the
// process ends, however it ends. Returns 1 when taken, 0 when another
// process holds it, -1 on any other error.
int bloccaEsclusivo(int descrittore);

// Whether the path still names the open file (it was not removed or replaced since).
bool stessoFile(int descrittore, const QString &percorso);

// What the path names, following links, as the system tells one file from
// another (device and file number): two spellings of one file, or a link and
// its target, give the same. Empty when nothing is there.
QByteArray identitaDi(const QString &percorso);

// Where the next stored data of an open file begins, at or after da: a hole
// (a stretch a sparse file does not store, all zeros) is skipped. The file
// size when only a hole is left; da when the system cannot tell. The file's
// position is left where it was.
qint64 inizioDati(int descrittore, qint64 da);

// Closes a descriptor that no QFile took.
void chiudi(int descrittore);

// Readable and writable by the owner only; for a folder this program created.
bool soloProprietario(const QString &cartella);
// The same for an open file of ours (Windows: a user's files are already theirs).
bool soloAlProprietario(int descrittore);
