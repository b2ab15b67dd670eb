// SPDX-License-Identifier: MIT
#pragma once

#include "fileproprio.h"

#include <QByteArray>
#include <QString>

#include <memory>

// Result of a write: empty errore means the file on disk is up to date.
struct EsitoScrittura {
    QString errore;
    bool riuscita() const { return errore.isEmpty(); }
};

// The folder of the program's own files (the record, its lock, the batch
// file), opened once and then reached only through that open folder: no path
// is resolved twice, so a link or a pipe swapped in between two steps, or a
// volume pulled out, never redirects a write. A replacement is a temporary
// file created exclusively in the folder, written, put on disk, and renamed
// over the name through the folder. The platform parts live in
// cartellaprotetta_unix.cpp and cartellaprotetta_win.cpp.
class CartellaProtetta
{
public:
    // Opens the folder now; when that fails, again at the first use, and from
    // then on it is that one.
    explicit CartellaProtetta(QString percorso);
    ~CartellaProtetta();
    CartellaProtetta(const CartellaProtetta &) = delete;
    CartellaProtetta &operator=(const CartellaProtetta &) = delete;

    static std::shared_ptr<CartellaProtetta> apri(const QString &percorso)
    {
        return std::make_shared<CartellaProtetta>(percorso);
    }

    QString percorso() const { return m_percorso; }
    QString percorsoDi(const QString &nome) const;

    // Empty while the path still names the folder opened (the same device and
    // file number); otherwise why not, in Italian, to follow "la cartella X".
    QString cambiata() const;

    // What lies at the name, never following a link; a file with more than
    // one name (hard links) is PiuNomi.
    Natura natura(const QString &nome) const;
    // As apriProprio, relative to the open folder.
    Apertura apriFile(const QString &nome, bool scrittura) const;

    // Replaces the file with these bytes. A new file is readable and writable
    // by its owner only; an existing one of this user keeps its permissions.
    // Refused, with the reason in Italian, when the name holds anything but a
    // regular file of this user with one name, or the folder is no longer the
    // one opened; on any failure the old file is left as it was.
    EsitoScrittura sostituisci(const QString &nome, const QByteArray &contenuto) const;

    // Removes a regular file of this user, through the folder.
    bool rimuovi(const QString &nome) const;

    // Whether `file` is a temporary file a write of `nome` leaves when killed
    // before its rename: the name, a dot and six ASCII letters.
    static bool temporaneoDi(const QString &file, const QString &nome);

private:
    bool assicuraAperta() const;

    QString m_percorso;
    mutable qintptr m_maniglia = -1; // a descriptor, or a HANDLE on Windows
    mutable QByteArray m_identita;   // device and file number when opened
};
