// SPDX-License-Identifier: MIT
#include "superficie.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

void Superficie::pulisci()
{
    m_segmenti.clear();
    m_posizione = {};
}

void Superficie::linea(QPointF da, QPointF a)
{
    m_segmenti.push_back({da, a, coloreCorrente, larghezzaCorrente});
    m_posizione = a;
}

void Superficie::lineaVerso(QPointF a)
{
    linea(m_posizione, a);
}

std::int64_t arrotondaPari(double valore)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even
    // unless someone changed it; say so explicitly rather than rely on it.
    const int modo = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double arrotondato = std::nearbyint(valore);
    std::fesetround(modo);
    return static_cast<std::int64_t>(arrotondato);
}

AngoliCornice angoliCornice(const RettangoloControllo &c)
{
    AngoliCornice a;
    a.x1 = arrotondaPari(c.left - 1);
    a.y1 = arrotondaPari(c.top - 1);
    // From the already rounded corner, as the far edges are measured from it.
    a.x2 = arrotondaPari(static_cast<double>(a.x1) + c.width + 2);
    a.y2 = arrotondaPari(static_cast<double>(a.y1) + c.height + 2);
    return a;
}

void DisegnaCornice(Superficie &superficie, const RettangoloControllo &controllo,
                    bool rilievo, std::int16_t larghezza)
{
    const AngoliCornice c = angoliCornice(controllo);
    const QPointF altoSinistra(c.x1, c.y1), altoDestra(c.x2, c.y1);
    const QPointF bassoSinistra(c.x1, c.y2), bassoDestra(c.x2, c.y2);

    const int coloreSalvato = superficie.coloreCorrente;
    const int larghezzaSalvata = superficie.larghezzaCorrente;

    const int primo = rilievo ? ColoreGrigioScuro : ColoreNero;
    const int secondo = rilievo ? ColoreNero : ColoreGrigioScuro;

    // A width below one pixel cannot be drawn: narrow boards still get a frame.
    superficie.larghezzaCorrente = std::max<int>(1, larghezza);
    superficie.coloreCorrente = primo;
    superficie.linea(bassoSinistra, altoSinistra);
    superficie.lineaVerso(altoDestra);
    superficie.coloreCorrente = secondo;
    superficie.lineaVerso(bassoDestra);
    superficie.lineaVerso(bassoSinistra);

    superficie.coloreCorrente = coloreSalvato;
    superficie.larghezzaCorrente = larghezzaSalvata;
}
