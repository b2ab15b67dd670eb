// SPDX-License-Identifier: MIT
#include "misure.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::int16_t calcolaSpessore(double larghezzaInterna)
{
    const double unita = std::floor(std::max(0.0, larghezzaInterna) / 700.0);
    // Stays a 16-bit unit; no real screen comes near the top of that range.
    return static_cast<std::int16_t>(std::min<double>(unita, std::numeric_limits<std::int16_t>::max()));
}

Misure calcolaMisure(double sw, double sh)
{
    Misure m;
    m.UnitaX = static_cast<float>(sw / 100.0);
    m.UnitaY = static_cast<float>(sh / 88.0);
    m.PassoColonna = static_cast<float>((sw - 9.0 * m.UnitaX) / 10.0);
    m.LarghezzaCasella = static_cast<float>(m.PassoColonna - 3.0 * m.UnitaX);
    m.PassoRiga = static_cast<float>((sh - 7.5 * m.UnitaY) / 8.5);
    m.AltezzaCasella = static_cast<float>(m.PassoRiga - 3.0 * m.UnitaY);
    m.BordoGriglia = static_cast<float>(10.0 * m.PassoColonna + m.UnitaX / 2.0);
    m.InizioStriscia = static_cast<float>(10.0 * m.PassoColonna + m.UnitaX);
    return m;
}

Impaginazione impagina(double sw, double sh)
{
    Impaginazione imp;
    const Misure &m = imp.misure = calcolaMisure(sw, sh);

    for (int n = 1; n <= 90; ++n) {
        const int riga = (n - 1) / 10;
        const int colonna = (n - 1) % 10;
        RettangoloControllo &cella = imp.celle[n];
        cella.left = static_cast<float>(2.0 * m.UnitaX + colonna * double(m.PassoColonna));
        cella.top = static_cast<float>(riga * double(m.PassoRiga) + (1.5 + riga / 3) * m.UnitaY);
        cella.width = m.LarghezzaCasella;
        cella.height = m.AltezzaCasella;
    }

    const double y1 = static_cast<float>(3.0 * m.PassoRiga + 0.5 * m.UnitaY);
    const double y2 = static_cast<float>(6.0 * m.PassoRiga + 1.5 * m.UnitaY);
    const double xCentro = static_cast<float>(5.0 * m.PassoColonna + m.UnitaX / 2.0);
    imp.linee[0] = QLineF(0, y1, m.BordoGriglia, y1);
    imp.linee[1] = QLineF(0, y2, m.BordoGriglia, y2);
    imp.linee[2] = QLineF(xCentro, 0, xCentro, sh);
    imp.linee[3] = QLineF(m.BordoGriglia, 0, m.BordoGriglia, sh);

    const double larghezzaStriscia = static_cast<float>(sw - m.InizioStriscia);
    const double meta = static_cast<float>(sh / 2.0);
    imp.lblDX = {m.InizioStriscia, 0, larghezzaStriscia, meta};
    imp.lblDX2 = {m.InizioStriscia, meta, larghezzaStriscia, meta};
    return imp;
}

MisureTip misureTip(const DimensioniFinestra &t)
{
    MisureTip s;
    // Computed in double, kept as single precision like every other size.
    s.larghezzaEsterna = static_cast<float>(t.larghezzaEsterna / 1.5);
    s.altezzaEsterna = static_cast<float>(t.altezzaEsterna * 0.2 + t.altezzaEsterna / 1.5);
    s.larghezzaNumero = static_cast<float>(t.larghezzaInterna / 1.5);
    s.altezzaNumero = static_cast<float>(t.altezzaInterna / 1.5);
    s.topCommento = static_cast<float>(t.altezzaInterna / 1.5);
    s.larghezzaCommento = static_cast<float>(t.larghezzaInterna / 1.5);
    s.altezzaCommento = static_cast<float>(t.altezzaInterna * 0.25);
    return s;
}

double dimensioneCommento(std::int16_t spessore)
{
    return spessore * 1.9;
}
