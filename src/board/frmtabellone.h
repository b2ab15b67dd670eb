// SPDX-License-Identifier: MIT
#pragma once

#include "comandipartita.h"
#include "partita.h"
#include "superficie.h"

#include <QDateTime>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class Immagine;
class QLabel;
class QTimer;
class Richieste;
struct DimensioniFinestra;
struct MisureTip;

// The board: ninety number cells in six blocks, the clock column and the
// message column on the right, a scrolling caption. One instance for the run.
// The bounds testoColonnaVisibile needs for a message column: the most
// characters a line can hold (from the narrowest character of the text) and
// the lines that can show; {0, 0} when no safe bound exists.
std::pair<int, int> limitiColonna(const QLabel &colonna, const QString &testo);

class frmTabellone : public QWidget, private SchermoPartita
{
    Q_OBJECT

public:
    frmTabellone(Richieste &richieste, QString cartellaImmagini, QString cartellaRegistro, QWidget *proprietario = nullptr);

    // Fills the comment table for the level chosen on the start screen.
    void Livelli();
    // Raised frames around the ninety cells and the pop-up's picture.
    void Crea3D();
    // The record operations: "inizio", "annullato", or "estratto" + number.
    void CaricaPartita(const QString &operazione) { m_partita.CaricaPartita(operazione); }
    // Places everything from the current size. Ends a modal showing; a board
    // not shown yet stays hidden.
    void RicalcolaMisure();

    // Shows the board modally; returns once it is hidden, closed, or the
    // layout pass (F11) has turned it into an ordinary window.
    void mostraModale();
    bool modale() const { return m_modale; }

    // "Ultima partita :" + the header of the resumed record, or empty.
    QString ultimaPartita() const { return m_partita.ultimaPartita(); }

    const Superficie &superficie() const { return m_superficie; }
    QString cartella() const { return m_cartella; }

    // The game played on this board.
    Partita &partita() { return m_partita; }
    // F6, F7, F9: the computer's draws and the game's window.
    ComandiPartita &comandiPartita() { return m_comandiPartita; }
    // Where the record takes its date and time from (tests fix it).
    void impostaOrologio(std::function<QDateTime()> adesso) { m_partita.impostaOrologio(std::move(adesso)); }

    std::array<Immagine *, 101> Img{};
    QTimer *Timer1 = nullptr;
    QLabel *LblDX = nullptr;
    QLabel *LblDX2 = nullptr;

signals:
    void fineModale();
    // Closing the board ends the program.
    void fineProgramma();

protected:
    void resizeEvent(QResizeEvent *event) override; // Form_Resize
    void keyPressEvent(QKeyEvent *event) override;  // Form_KeyDown
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void Timer1_Timer();

private:
    void Img_DblClick(int n);
    void Img_MouseUp(int n, Qt::MouseButton pulsante);

    void messaggi();
    void mostraMessaggi();
    void ingrandisciRiduci();
    // The second half of F11, once the window manager has given the new size.
    void completaIngrandisciRiduci();
    void informazioni();
    // F5: asks which card, then shows it checked against the numbers drawn.
    void verificaCartella();

    void terminaModale();
    void incorniciaTip();
    DimensioniFinestra dimensioni() const;
    // The pop-up's sizes follow the board's current size.
    MisureTip dimensionaTip();

    // What the game asks of the board.
    void mostraCella(int cella, int numero) override;
    void preparaPopup(int numero) override;
    void mostraPopup(const std::function<void()> &comparso) override;
    void cedi() override;

    Richieste &m_richieste;
    QString m_cartella;
    QString m_cartellaRegistro; // the batches of cards are kept beside the record
    Partita m_partita;
    ComandiPartita m_comandiPartita{*this, m_partita, m_richieste};
    Superficie m_superficie;
    // Cells 0 and 91..100 take no part in the game: they live off the board,
    // where neither the layout nor a screen reader meets them.
    std::unique_ptr<QWidget> m_fuoriGioco;
    // F11 under way: the size it started from, and how long it waits at most
    // for a window manager that does not answer.
    std::optional<QSize> m_ingrandimento;
    QTimer *m_attesaIngrandimento = nullptr;
    bool m_posizionato = false;
    bool m_modale = false;
    QPair<int, QSize> m_misuraOrologio{-1, {}};
    double m_puntiOrologio = 1;
    // The whole scrolling message; the column's label gets what of it can show.
    QString m_messaggi;
    QPair<qreal, QSize> m_misuraMessaggi{-1, {}};
    std::pair<int, int> m_limitiMessaggi{0, 0};
};
