// SPDX-License-Identifier: MIT
#pragma once

#include "superficie.h"

#include <QLineF>

#include <array>
#include <cstdint>

// Size unit: frame width in pixels and font size in points of the board.
std::int16_t calcolaSpessore(double larghezzaInterna);

// Board metrics, derived from the inner size each time the board is laid out.
struct Misure {
    float UnitaX = 0;
    float UnitaY = 0;
    float PassoColonna = 0;
    float LarghezzaCasella = 0;
    float PassoRiga = 0;
    float AltezzaCasella = 0;
    float BordoGriglia = 0;
    float InizioStriscia = 0;
};

Misure calcolaMisure(double larghezzaInterna, double altezzaInterna);

// Where everything on the board goes, for one inner size.
struct Impaginazione {
    Misure misure;
    std::array<RettangoloControllo, 91> celle{}; // index = number; 0 unused
    std::array<QLineF, 4> linee{};               // in drawing order
    RettangoloControllo lblDX;
    RettangoloControllo lblDX2;
};

Impaginazione impagina(double larghezzaInterna, double altezzaInterna);

// Sizes of the pop-up, derived from the board's outer and inner sizes.
struct MisureTip {
    double larghezzaEsterna = 0;
    double altezzaEsterna = 0;
    double larghezzaNumero = 0;
    double altezzaNumero = 0;
    double topCommento = 0;
    double larghezzaCommento = 0;
    double altezzaCommento = 0;
};

struct DimensioniFinestra {
    double larghezzaEsterna = 0;
    double altezzaEsterna = 0;
    double larghezzaInterna = 0;
    double altezzaInterna = 0;
};

MisureTip misureTip(const DimensioniFinestra &tabellone);

// Comment font size of the pop-up, in points.
double dimensioneCommento(std::int16_t spessore);
