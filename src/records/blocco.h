// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class CartellaProtetta;

// The lock beside the record that marks the board holding it. Ownership is an
// advisory lock on the open file, which the system drops when the program ends
// however it ends: a lock file left by a killed program on this computer is
// simply taken again. The file names the computer and the moment it was taken,
// for the one case nobody here can check: a board on another computer.
class BloccoRegistro
{
public:
    enum class Stato {
        Preso,       // this program holds it
        Occupato,    // a live program on this computer holds it, or is creating it right now
        Altrove,     // taken on another computer; nobody here can tell whether it is still open
        Errore,      // not usable: see errore()
    };

    explicit BloccoRegistro(QString percorso);
    ~BloccoRegistro();
    BloccoRegistro(const BloccoRegistro &) = delete;
    BloccoRegistro &operator=(const BloccoRegistro &) = delete;

    Stato prendi();
    // Takes the lock from a board that does not answer, once the operator said so.
    Stato subentra();

    QString percorso() const { return m_percorso; }
    // Empty while the lock taken is still this file in the folder opened at
    // start; otherwise what happened, in Italian: the record must not be
    // written then, as another start could take the game.
    QString perso() const;
    // After Occupato: a live program on this computer holds the system lock
    // (not merely a lock file being created), so it is open, whether or not
    // it can be reached.
    bool tenutoQui() const { return m_tenutoQui; }
    // Who holds it, as far as the file tells (after Occupato or Altrove).
    QString macchina() const { return m_macchina; }
    QDateTime momento() const { return m_momento; }
    qint64 processo() const { return m_processo; }
    // What went wrong, in Italian, naming the file (after Errore).
    QString errore() const { return m_errore; }

    // The lock of a record folder.
    static QString percorsoIn(const QString &cartellaRegistro);
    // A lock still empty this young is being created by another start, not left by a dead one.
    static constexpr int EtaMinimaAbbandonato = 5; // seconds

private:
    Stato scriviDati();
    Stato errore(const QString &motivo);
    void lascia();

    QString m_percorso;
    QString m_nome;
    std::shared_ptr<CartellaProtetta> m_cartella;
    int m_descrittore = -1;
    bool m_bloccato = false; // the system lock is ours
    bool m_preso = false;    // and the file says so: removed at the end
    bool m_tenutoQui = false;
    QString m_macchina;
    QDateTime m_momento;
    qint64 m_processo = 0;
    QString m_errore;
};
