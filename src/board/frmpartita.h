// SPDX-License-Identifier: MIT
#pragma once

#include "storia.h"
#include "verbalepdf.h"

#include <QWidget>

#include <functional>

class Partita;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class Richieste;

// One game as the window shows it: fingerprint and seed, the last five calls,
// every call and withdrawal in order, and its minutes.
class PaginaPartita : public QWidget
{
    Q_OBJECT

public:
    explicit PaginaPartita(QWidget *parent = nullptr);
    void mostra(const StoriaPartita &partita);

    // The texts it shows: a call's source, an event's time.
    static QString testoFonte(const Evento &evento);
    static QString testoOra(const QDateTime &quando);

    QLabel *lblImpronta = nullptr;
    QLabel *lblSeme = nullptr;
    QLabel *lblStato = nullptr;
    QLabel *lblUltimi = nullptr;
    QTableWidget *tabella = nullptr;
    // The prizes given, in order, withdrawn ones with their reason; hidden while there are none.
    QLabel *lblVincite = nullptr;
    QListWidget *lstVincite = nullptr;
    QPushButton *cmdVerbale = nullptr;
};

// "La partita" (F7): the game under way and the one before, the automatic
// draws' interval, closing the game. An ordinary window beside the board; it
// follows the story as it changes. Esc closes it.
class frmPartita : public QWidget
{
    Q_OBJECT

public:
    frmPartita(Partita &partita, Richieste &richieste, QWidget *tabellone);

    // Shows the story as it is now.
    void aggiorna();

    QTabWidget *schede = nullptr;
    PaginaPartita *corrente = nullptr;
    PaginaPartita *precedente = nullptr;
    QSpinBox *spnIntervallo = nullptr;
    QPushButton *cmdChiudiPartita = nullptr;
    QPushButton *cmdPremi = nullptr;
    // Withdraws the prize chosen in the current game's list, asking why.
    QPushButton *cmdRitiraPremio = nullptr;
    // Where "Verbale PDF" saves and how it opens the file (tests change it).
    ServiziVerbale serviziVerbale = serviziVerbaleDiSistema();

signals:
    void intervalloCambiato(int secondi);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void chiudiPartita();
    void verbale(bool delPrecedente);
    void ritiraPremio();
    void aggiornaRitiro();

    Partita &m_partita;
    Richieste &m_richieste;
};
