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

QString testoColonnaVisibile(const QString &testo, int caratteriPerRiga, int righe)
{
    if (caratteriPerRiga <= 0 || righe <= 0)
        return testo;
    // The visible lines hold at most righe * caratteriPerRiga characters; a
    // line more decides where the last of them breaks. A word cut here began
    // past every visible line, or is longer than a line and wraps anyway.
    const qsizetype limite = qsizetype(righe + 1) * caratteriPerRiga + 1;
    QString visibile;
    qsizetype pieni = 0;
    qsizetype i = 0;
    while (i < testo.size() && pieni < limite) {
        if (testo[i].isSpace()) {
            visibile += testo[i++];
            continue;
        }
        qsizetype fine = i;
        qsizetype caratteri = 0;
        for (; fine < testo.size() && !testo[fine].isSpace(); ++caratteri)
            fine += testo[fine].isHighSurrogate() && fine + 1 < testo.size() ? 2 : 1;
        const bool spezza = caratteri > caratteriPerRiga;
        for (; i < fine && pieni < limite; ++pieni) {
            const qsizetype unita = testo[i].isHighSurrogate() && i + 1 < fine ? 2 : 1;
            if (spezza && visibile.size() > 0 && !visibile.back().isSpace())
                visibile += QChar(0x200B);
            visibile += QStringView(testo).mid(i, unita);
            i += unita;
        }
    }
    return visibile;
}
