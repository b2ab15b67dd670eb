// SPDX-License-Identifier: MIT
#include "pittura.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

int larghezzaPenna(const Segmento &s)
{
    return std::max(1, s.larghezza);
}

// Whether testo, laid out as a label lays it out (wrapped at blanks, each line
// placed by the alignment), keeps a pixel free inside spazio on every side.
// Lines are as high as the font says; across, what counts is the ink, since
// script and italic glyphs reach past their advance (a swash, a slant).
bool entra(const QFont &font, const QSize &spazio, int allineamento, const QString &testo)
{
    const QRect occupato = QFontMetrics(font).boundingRect(QRect(0, 0, spazio.width(), 1 << 20),
                                                             allineamento | Qt::TextWordWrap, testo);
    if (occupato.height() >= spazio.height() || occupato.width() >= spazio.width())
        return false;
    QString righe = testo;
    righe.replace(u'\n', QChar::LineSeparator);
    QTextLayout impaginazione(righe, font);
    QTextOption opzioni;
    opzioni.setWrapMode(QTextOption::WordWrap);
    impaginazione.setTextOption(opzioni);
    const QFontMetricsF metriche(font);
    bool dentro = true;
    impaginazione.beginLayout();
    for (QTextLine riga = impaginazione.createLine(); riga.isValid(); riga = impaginazione.createLine()) {
        riga.setLineWidth(spazio.width());
        QString scritta = righe.mid(riga.textStart(), riga.textLength());
        while (!scritta.isEmpty() && (scritta.back().isSpace() || scritta.back() == QChar::LineSeparator))
            scritta.chop(1);
        if (scritta.isEmpty())
            continue;
        qreal x = 0;
        if (allineamento & Qt::AlignHCenter)
            x = (spazio.width() - riga.horizontalAdvance()) / 2;
        else if (allineamento & Qt::AlignRight)
            x = spazio.width() - riga.horizontalAdvance();
        const QRectF inchiostro = metriche.tightBoundingRect(scritta).translated(x, 0);
        dentro = dentro && inchiostro.left() >= 1 && inchiostro.right() <= spazio.width() - 1;
    }
    impaginazione.endLayout();
    return dentro;
}

} // namespace

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
        painter.setPen(QPen(coloreTavolozza(s.colore), larghezzaPenna(s), Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(QPointF(twipInPixel(s.da.x()), twipInPixel(s.da.y())),
                         QPointF(twipInPixel(s.a.x()), twipInPixel(s.a.y())));
    }
    painter.restore();
}

QRectF ingombro(const Segmento &segmento)
{
    const QPointF da(twipInPixel(segmento.da.x()), twipInPixel(segmento.da.y()));
    const QPointF a(twipInPixel(segmento.a.x()), twipInPixel(segmento.a.y()));
    // A square cap reaches half the width past each end along the line: across
    // both axes for a level or upright line, up to half a diagonal otherwise.
    const bool dritto = da.x() == a.x() || da.y() == a.y();
    const qreal meta = larghezzaPenna(segmento) / 2.0 * (dritto ? 1.0 : std::sqrt(2.0));
    return QRectF(da, a).normalized().adjusted(-meta, -meta, meta, meta);
}

double puntiCheEntrano(QFont font, const QSize &spazio, int allineamento, const QString &testo, double massimo)
{
    for (double prova = std::max(1.0, massimo); prova > 1.0; prova -= 0.5) {
        font.setPointSizeF(prova);
        if (entra(font, spazio, allineamento, testo))
            return prova;
    }
    return 1.0;
}
