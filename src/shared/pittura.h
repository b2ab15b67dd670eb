// SPDX-License-Identifier: MIT
#pragma once

#include "superficie.h"

#include <QColor>
#include <QRectF>

class QFont;
class QPainter;
class QSize;
class QString;

// Colour of an index of the standard 16-colour palette.
QColor coloreTavolozza(int indice);

// Paints a retained surface, converting its twips to pixels.
void dipingi(QPainter &painter, const Superficie &superficie);

// The pixels a segment of the surface covers once painted: its pen's width
// and square caps included.
QRectF ingombro(const Segmento &segmento);

// The largest font size, from massimo down by half points, at which testo,
// wrapped at blanks to the width of spazio as a label wraps it, fits inside
// spazio with a pixel to spare, glyphs that reach past their advance included;
// 1 when none does. Measured as the text is laid out, since font sizes snap to
// whole pixels.
double puntiCheEntrano(QFont font, const QSize &spazio, int allineamento, const QString &testo, double massimo);
