// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <vector>

// Everything on the board is computed in twips and converted to pixels once,
// where it reaches a widget.
inline constexpr double TwipPerPixel = 15.0;

constexpr double twipInPixel(double twip) { return twip / TwipPerPixel; }
constexpr double pixelInTwip(double pixel) { return pixel * TwipPerPixel; }

// Palette indexes of the standard 16-colour palette that the board draws with.
inline constexpr int ColoreNero = 0;
inline constexpr int ColoreGrigioScuro = 8;

// One straight line on a window's retained surface, in twips.
struct Segmento {
    QPointF da;
    QPointF a;
    int colore = ColoreNero;  // palette index
    int larghezza = 1;        // pixels
};

// The retained drawing surface of a window: what was drawn stays here, and
// the window repaints itself from it, until the next clear. Drawing works like
// a pen: a current colour, a current width and a current position.
class Superficie
{
public:
    int coloreCorrente = ColoreNero;
    int larghezzaCorrente = 1;

    void pulisci();
    void linea(QPointF da, QPointF a);
    // From the current position, which is where the previous line ended.
    void lineaVerso(QPointF a);

    QPointF posizione() const { return m_posizione; }
    const std::vector<Segmento> &segmenti() const { return m_segmenti; }

private:
    QPointF m_posizione;
    std::vector<Segmento> m_segmenti;
};

// Rectangle of a control in its window's twips.
struct RettangoloControllo {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Frame corners of a control, whole twips, one unit outside it on every side.
struct AngoliCornice {
    std::int64_t x1 = 0;
    std::int64_t y1 = 0;
    std::int64_t x2 = 0;
    std::int64_t y2 = 0;
};

// Nearest whole number, exact halves to the even neighbour. Wide, so that no
// screen size overflows it.
std::int64_t arrotondaPari(double valore);

AngoliCornice angoliCornice(const RettangoloControllo &controllo);

// Draws a bevelled frame around the control: raised has dark grey left and top
// edges and black right and bottom ones, sunken the other way round. The
// surface's colour and width are restored before it returns.
void DisegnaCornice(Superficie &superficie, const RettangoloControllo &controllo,
                    bool rilievo, std::int16_t larghezza);
