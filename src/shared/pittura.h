// SPDX-License-Identifier: MIT
#pragma once

#include "superficie.h"

#include <QColor>

class QPainter;

// Colour of an index of the standard 16-colour palette.
QColor coloreTavolozza(int indice);

// Paints a retained surface, converting its twips to pixels.
void dipingi(QPainter &painter, const Superficie &superficie);
