// SPDX-License-Identifier: MIT
#include "pittura.h"

#include <QPainter>

#include <array>

QColor coloreTavolozza(int indice)
{
    static const std::array<QRgb, 16> tavolozza = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    return QColor(tavolozza[static_cast<std::size_t>(indice) % tavolozza.size()]);
}

void dipingi(QPainter &painter, const Superficie &superficie)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Segmento &s : superficie.segmenti()) {
        // Square caps close the corners where the edges of a frame meet.
        painter.setPen(QPen(coloreTavolozza(s.colore), std::max(1, s.larghezza), Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(QPointF(twipInPixel(s.da.x()), twipInPixel(s.da.y())),
                         QPointF(twipInPixel(s.a.x()), twipInPixel(s.a.y())));
    }
    painter.restore();
}
