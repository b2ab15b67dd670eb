// SPDX-License-Identifier: MIT
#pragma once

#include "superficie.h"

#include <QDialog>
#include <QLabel>

#include <functional>
#include <tuple>

class Immagine;

// The pop-up that announces a drawn number: its picture large, its comment
// below. Any key that types a character, or a click, closes and unloads it;
// the next use builds it afresh, so callers set everything before each show.
class frmTip : public QDialog
{
    Q_OBJECT

public:
    // The single shared instance, created (owned by the board) when first needed.
    static frmTip *istanza(QWidget *proprietario);
    // The instance if one is loaded now.
    static frmTip *caricato();

    Immagine *ImgNumero = nullptr;
    QLabel *LblSmorfia = nullptr;

    Superficie &superficie() { return m_superficie; }

    // Outer size, frame and title bar included, in twips.
    void impostaDimensioneEsterna(double larghezza, double altezza);
    // The comment under the picture, and what a screen reader says of it.
    void impostaCommento(const QString &commento);
    // The comment's font size in points. It gets smaller only where the
    // comment would not fit whole in the part of its label that shows.
    void impostaPuntiCommento(double punti);
    // Runs once, shortly after this showing has been painted on screen.
    void allaComparsa(std::function<void()> azione) { m_allaComparsa = std::move(azione); }
    // The next showing closes by itself after this long, unless closed earlier; 0: it waits.
    void chiudiDopo(int millisecondi) { m_chiudiDopo = millisecondi; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit frmTip(QWidget *proprietario);
    void verificaCornice();
    void adattaCommento();

    // Outer size wanted, in pixels; fixed up once the window manager has told
    // this window's own frame.
    QSize m_esterna;
    bool m_corniceVerificata = false;
    std::function<void()> m_allaComparsa;
    double m_puntiCommento = 8.25;
    std::tuple<QSize, QString, double> m_misuraCommento;
    int m_chiudiDopo = 0;

    Superficie m_superficie;
};
