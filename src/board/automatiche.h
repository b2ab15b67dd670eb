// SPDX-License-Identifier: MIT
#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

// The schedule of the automatic draws (F9): a draw, its pop-up held a few
// seconds unless closed earlier, then an interval counted from the moment it
// closed, then the next draw. While something holds the board (a dialog, a
// claim being checked, the game's window, the board hidden) the time left
// stands still. Counted in seconds of a clock that tests can shorten.
class EstrazioniAutomatiche : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalloMinimo = 5;
    static constexpr int IntervalloMassimo = 120;
    static constexpr int TenutaIniziale = 6;

    explicit EstrazioniAutomatiche(QObject *genitore = nullptr);

    // How long one second of this schedule lasts.
    void impostaSecondo(std::chrono::milliseconds durata) { m_secondo = durata; }
    // Seconds from a pop-up closing to the next draw, kept within 5..120; the
    // wait under way is not changed.
    void impostaIntervallo(int secondi);
    int intervallo() const { return m_intervallo; }
    // How long an automatic draw's pop-up stays up, in this schedule's clock.
    std::chrono::milliseconds tenuta() const { return TenutaIniziale * m_secondo; }

    // Asked when a draw falls due: true when something holds the board, and
    // the draw then waits until sospendi(false).
    void impostaTrattenuta(std::function<bool()> trattenuta) { m_trattenuta = std::move(trattenuta); }

    bool attive() const { return m_attive; }
    bool inEstrazione() const { return m_inEstrazione; }
    bool sospese() const { return m_sospese; }
    // Time left to the next draw while on and waiting (held or not); 0 otherwise.
    std::chrono::milliseconds mancante() const;
    // The same in whole seconds of this clock, rounded up.
    int secondiMancanti() const;

    // On: the first draw as soon as nothing holds it. Off: nothing more is
    // drawn (a draw under way ends as it would).
    void attiva(bool si);
    // Held or let go; the time left stands still while held.
    void sospendi(bool si);
    // The draw asked for is over, its pop-up closed: the next one an interval
    // from now, or none when the game has no more to give.
    void estrazioneFinita(bool altre);
    // A draw made by hand: the next automatic one an interval from now.
    void ricomincia();

signals:
    // Time for a draw: the receiver draws, then calls estrazioneFinita.
    void estrai();
    // On or off, held or let go, a draw begun or ended.
    void statoCambiato();

private:
    void scaduto();
    // The next draw `tra` from now, or `tra` once let go when held.
    void attendi(std::chrono::milliseconds tra);

    QTimer m_timer;
    QDeadlineTimer m_scadenza;
    std::chrono::milliseconds m_restante{0}; // the time left while held
    std::chrono::milliseconds m_secondo{1000};
    int m_intervallo = 20;
    std::function<bool()> m_trattenuta;
    bool m_attive = false;
    bool m_sospese = false;
    bool m_inEstrazione = false;
};
