// SPDX-License-Identifier: MIT
#pragma once

#include "superficie.h"

#include <QPixmap>
#include <QWidget>

// Loads a number picture from the program folder. A missing or unreadable
// file gives a drawn tile for that number instead, and one line on stderr.
QPixmap caricaImmagine(const QString &cartella, int numero);

// An image control: shows its picture stretched to its own size, remembers
// its place in twips, and reports the mouse.
class Immagine : public QWidget
{
    Q_OBJECT

public:
    explicit Immagine(int indice, QWidget *parent = nullptr);

    int indice() const { return m_indice; }

    void carica(const QString &cartella, int numero);
    // The file name of the picture last loaded, for example "img07.gif".
    QString nomeCaricato() const { return m_nome; }

    // Places the control; the rectangle is kept in twips for the frames.
    void posiziona(const RettangoloControllo &twip);
    RettangoloControllo rettangolo() const { return m_rettangolo; }

signals:
    void doppioClic(int indice);
    void rilasciato(int indice, Qt::MouseButton pulsante);
    void cliccato(int indice);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int m_indice;
    QString m_nome;
    QPixmap m_immagine;
    RettangoloControllo m_rettangolo;
    bool m_premuto = false;
};

// Pixel rectangle of a rectangle in twips; edges are rounded, not sizes, so
// neighbours never drift apart.
QRect rettangoloPixel(const RettangoloControllo &twip);
