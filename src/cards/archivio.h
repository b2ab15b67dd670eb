// SPDX-License-Identifier: MIT
#pragma once

#include "blocchetto.h"
#include "cartellaprotetta.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// Every batch made, kept beside the game record ("blocchetti.dat"), one line
// per batch, oldest first. Each line carries its own checksum: a damaged line
// is never read as a batch, so a card is never rebuilt from a wrong seed. The
// file follows the record's rules: read and replaced only through the folder
// opened once, never through a link, never from a pipe, never another user's
// file; every write replaces it whole, readable by its owner only. Making a
// batch holds the file's own lock ("blocchetti.dat.lock") from the read that
// numbers it to the write that keeps it, so batches made at once are all kept.

inline constexpr auto NomeArchivioBlocchetti = "blocchetti.dat";
inline constexpr auto NomeBloccoBlocchetti = "blocchetti.dat.lock";

struct ArchivioLetto {
    QList<Blocchetto> blocchetti; // oldest first; only lines that check out
    // Empty when the file was read whole, or there is none yet; otherwise
    // why it could not be read, or that some line of it is damaged, in Italian.
    QString errore;
    bool mancante = false; // no batch file at all: no batch was ever made here
    int righeDanneggiate = 0; // lines that do not check out
    bool formatoIgnoto = false; // not a file of batches this program wrote, or not ours: nothing read

    // The number of the next batch's first card: after every card kept.
    int prossimaCartella() const;
};

// The file's contents for these batches, and the reverse. The reader takes
// untrusted input: bounded, every line checked.
QByteArray contenutoArchivio(const QList<Blocchetto> &blocchetti);
QByteArray rigaArchivio(const Blocchetto &blocchetto);
ArchivioLetto leggiArchivio(const QByteArray &contenuto);

// A card looked up by number: in the one batch that holds that number
// (codice empty) or in the batch with that code. A bare number that more than
// one batch holds (batches kept before numbering went on across batches), or
// that a damaged line might hold, is not guessed: the code is asked for. On
// failure `errore` says why in Italian and no card is given.
struct CartellaCercata {
    Cartella cartella;
    QString codice;
    int numero = 0;
    int serie = 0;
    QString errore;
    bool trovata() const { return errore.isEmpty(); }
};
CartellaCercata cercaCartella(const ArchivioLetto &archivio, const QString &codice, int numero);

// The batch file's lock, held while it lives (see ArchivioBlocchetti::turno).
class TurnoArchivio
{
public:
    TurnoArchivio(TurnoArchivio &&altro) noexcept;
    TurnoArchivio &operator=(TurnoArchivio &&) = delete;
    ~TurnoArchivio();
    bool preso() const { return m_descrittore >= 0; }
    QString errore; // why it was not taken, in Italian

private:
    friend class ArchivioBlocchetti;
    TurnoArchivio() = default;
    int m_descrittore = -1;
};

class ArchivioBlocchetti
{
public:
    // Opens the folder now: every later read and write goes through it.
    explicit ArchivioBlocchetti(const QString &cartella);

    QString percorso() const;
    QString percorsoBlocco() const;

    ArchivioLetto leggi() const;

    // Waits up to attesa milliseconds for the batch file's lock, taken by
    // one making of a batch at a time, in this program or another.
    static constexpr int AttesaTurno = 120000;
    TurnoArchivio turno(int attesa = AttesaTurno) const;

    // A new batch from the system's random source, its cards numbered after
    // every card kept and its code not yet in the file; not written yet.
    // `errore` is empty on success.
    struct Nuovo {
        Blocchetto blocchetto;
        QString errore;
    };
    Nuovo prepara(int serie, const QDate &data, const TurnoArchivio &turno) const;

    // Adds the batch after the ones already kept, under the lock. Empty on
    // success, else why not, in Italian, to follow a colon. Lines that do not
    // check out are kept as they are; a file that cannot be read, is not one
    // of batches, already holds the code or any of the card numbers is left alone.
    QString aggiungi(const Blocchetto &blocchetto, const TurnoArchivio &turno) const;

    // prepara and aggiungi under one lock.
    Nuovo nuovo(int serie, const QDate &data) const;

private:
    std::shared_ptr<CartellaProtetta> m_cartella;
};
