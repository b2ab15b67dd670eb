// SPDX-License-Identifier: MIT
#include "dichiarazioni.h"

namespace Dichiarazioni {

std::array<std::int16_t, DimensioneTabelle> Estratti{};
std::array<QString, DimensioneTabelle> Commenti;
std::optional<int> Livello;
std::int16_t Spessore = 0;

void azzera()
{
    Estratti.fill(NonEstratto);
    Commenti.fill(QString());
    Livello.reset();
    Spessore = 0;
}

QString InterruzioneLinea()
{
    return QStringLiteral("\r\n");
}

} // namespace Dichiarazioni

namespace Dichiarazioni {

QString nomeImmagine(int numero)
{
    return QStringLiteral("img%1.gif").arg(numero, 2, 10, QLatin1Char('0'));
}

} // namespace Dichiarazioni
