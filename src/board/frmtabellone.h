// SPDX-License-Identifier: MIT
#pragma once

#include "registro.h"
#include "superficie.h"

#include <QDateTime>
#include <QWidget>

#include <array>
#include <functional>

class Immagine;
class QLabel;
class QTimer;
class Richieste;
struct DimensioniFinestra;
struct MisureTip;

// The board: ninety number cells in six blocks, the clock column and the
// message column on the right, a scrolling caption. One instance for the run.
class frmTabellone : public QWidget
{
    Q_OBJECT

public:
    frmTabellone(Richieste &richieste, QString cartellaImmagini, QString cartellaRegistro, QWidget *proprietario = nullptr);

    // Fills the comment table for the level chosen on the start screen.
    void Livelli();
    // Raised frames around the ninety cells and the pop-up's picture.
    void Crea3D();
    // The record operations: "inizio", "annullato", or "estratto" + number.
    void CaricaPartita(const QString &operazione);
    // Places everything from the current size. Ends a modal showing; a board
    // not shown yet stays hidden.
    void RicalcolaMisure();

    // Shows the board modally; returns once it is hidden, closed, or the
    // layout pass (F11) has turned it into an ordinary window.
    void mostraModale();
    bool modale() const { return m_modale; }

    // "Ultima partita :" + the header of the resumed record, or empty.
    QString ultimaPartita() const { return m_ultimaPartita; }

    const Superficie &superficie() const { return m_superficie; }
    QString cartella() const { return m_cartella; }

    // Where the record takes its date and time from (tests fix it).
    void impostaOrologio(std::function<QDateTime()> adesso) { m_adesso = std::move(adesso); }

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

    void nuovaPartita();
    void messaggi();
    void ingrandisciRiduci();
    void informazioni();

    void terminaModale();
    void incorniciaTip();
    void riprendi();
    // Tells the user when the record could not be written; the game goes on.
    void segnala(const EsitoScrittura &esito);
    DimensioniFinestra dimensioni() const;
    // The pop-up's sizes follow the board's current size.
    MisureTip dimensionaTip();
    // Picture, sizes, comment and font for announcing a number.
    void preparaTip(int numero);

    Richieste &m_richieste;
    QString m_cartella;
    RegistroPartita m_registro;
    Superficie m_superficie;
    QString m_ultimaPartita;
    std::function<QDateTime()> m_adesso = [] { return QDateTime::currentDateTime(); };
    // After a failed write the next one rebuilds the record from the board.
    bool m_registroDaRiscrivere = false;
    bool m_posizionato = false;
    bool m_modale = false;
    QPair<int, QSize> m_misuraOrologio{-1, {}};
    double m_puntiOrologio = 1;
};
