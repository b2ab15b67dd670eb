// SPDX-License-Identifier: MIT
#include "orologio.h"

QString testoOrologio(const QTime &ora)
{
    const QString due = QStringLiteral("%1");
    auto cifre = [&](int valore) { return due.arg(valore, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("\nsono\n le \nore\n%1\n\nmin\n%2\n\nsec\n%3")
        .arg(cifre(ora.hour()), cifre(ora.minute()), cifre(ora.second()));
}

QString ruota(const QString &testo)
{
    if (testo.size() < 2)
        return testo;
    // A character outside the basic plane moves as a whole, never half of it.
    const qsizetype primo = testo.front().isHighSurrogate() ? 2 : 1;
    return testo.mid(primo) + testo.left(primo);
}
