// SPDX-License-Identifier: MIT
#pragma once

#include "superficie.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <memory>

// Loads a number picture from the program folder. A missing or unreadable
// file gives a drawn tile for that number instead, and one line on stderr.
// The last couple of pictures loaded are kept, so that controls laid out
// together, or a cell and the pop-up, decode a file once.
QImage caricaImmagine(const QString &cartella, int numero);

// A number picture scaled smoothly to a size in device pixels, shared by
// every control that shows that file at that size, and freed with the last one.
std::shared_ptr<const QPixmap> immagineScalata(const QString &cartella, int numero, QSize pixel,
                                               qreal rapportoPixel = 1.0);

// For measuring: pictures decoded (or tiles drawn) since start, and scaled
// pictures held by controls now.
int decodificheImmagini();
int immaginiScalateInUso();

// An image control: shows its picture stretched to its own size, remembers
// its place in twips, and reports the mouse.
class Immagine : public QWidget
{
    Q_OBJECT

public:
    explicit Immagine(int indice, QWidget *parent = nullptr);

    int indice() const { return m_indice; }

    // Only notes the picture: it is decoded and scaled when first painted at
    // a size, so hidden controls and repeated loads cost nothing.
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
    QString m_cartella;
    int m_numero = -1; // none loaded yet
    std::shared_ptr<const QPixmap> m_scalata;
    RettangoloControllo m_rettangolo;
    bool m_premuto = false;
};

// Pixel rectangle of a rectangle in twips; edges are rounded, not sizes, so
// neighbours never drift apart.
QRect rettangoloPixel(const RettangoloControllo &twip);
