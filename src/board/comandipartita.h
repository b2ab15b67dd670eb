// SPDX-License-Identifier: MIT
#pragma once

#include "automatiche.h"
#include "comandi.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class frmPartita;
class frmTabellone;
class Partita;
class QLabel;
class Richieste;

// The board's keys for the computer's draws: F6 draws one number, F9 turns
// the automatic draws on and off, F7 opens the game's window. Also the small
// sign in a corner of the board that tells the automatic draws are on, and
// when the next one comes.
class ComandiPartita : public QObject
{
    Q_OBJECT

public:
    ComandiPartita(frmTabellone &tabellone, Partita &partita, Richieste &richieste);
    ~ComandiPartita() override;

    // F6, F7 or F9; any other command is not this one's.
    void esegui(ComandoTastiera comando);

    EstrazioniAutomatiche &automatiche() { return m_automatiche; }
    // The game's window, once opened.
    frmPartita *finestra() const;
    // The sign of the automatic draws; hidden while they are off.
    QLabel *segnale() const;

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    void estraiAutomatica();
    void apriFinestra();
    void alternaAutomatiche();
    // Whether the game can give another computer draw.
    bool altreDaEstrarre() const;
    // Something holds the board: a dialog, a claim, F11, the game's window, the board hidden or closed.
    bool trattenuta() const;
    void storiaCambiata();
    // Held or let go, and the sign brought up to date.
    void aggiorna();
    void posizionaSegnale();

    frmTabellone &m_tabellone;
    Partita &m_partita;
    Richieste &m_richieste;
    EstrazioniAutomatiche m_automatiche;
    QPointer<frmPartita> m_finestra;
    QPointer<QLabel> m_segnale;
    // The sign's seconds run down while nothing else happens.
    QTimer m_controllo;
    int m_chiamate = 0;
    bool m_chiuso = false;
};
