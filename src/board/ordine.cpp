// SPDX-License-Identifier: MIT
#include "ordine.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <numeric>

QByteArray nuovoSeme()
{
    QByteArray seme(LunghezzaSeme, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(seme.data()), LunghezzaSeme / 4);
    return seme;
}

std::array<int, 90> ordineDelSeme(const QByteArray &seme)
{
    // Placeholder until the shuffle lands: ascending.
    std::array<int, 90> ordine{};
    if (seme.size() == LunghezzaSeme)
        std::iota(ordine.begin(), ordine.end(), 1);
    return ordine;
}

int prossimoDelComputer(const QByteArray &seme, const std::array<std::int16_t, 101> &estratti)
{
    for (const int n : ordineDelSeme(seme)) {
        if (n != 0 && estratti[std::size_t(n)] == 0)
            return n;
    }
    return 0;
}

QString improntaSeme(const QByteArray &seme)
{
    if (seme.isEmpty())
        return {};
    const QString cifre = QString::fromLatin1(QCryptographicHash::hash(seme, QCryptographicHash::Sha256).toHex().left(16)).toUpper();
    return cifre.mid(0, 4) + QLatin1Char(' ') + cifre.mid(4, 4) + QLatin1Char(' ') + cifre.mid(8, 4) + QLatin1Char(' ')
           + cifre.mid(12, 4);
}
