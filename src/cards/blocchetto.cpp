// SPDX-License-Identifier: MIT
#include "blocchetto.h"

Cartella Blocchetto::cartella(int numero) const
{
    return generaSerie(seme, serieDellaCartella(numero))[std::size_t(postoNellaSerie(numero))];
}

Blocchetto nuovoBlocchetto(int serie, const QDate &data)
{
    return blocchettoDaSeme(0, serie, data);
}

Blocchetto blocchettoDaSeme(std::uint64_t seme, int serie, const QDate &data)
{
    return {seme, serie, data, codiceBlocchetto(seme)};
}

QString codiceBlocchetto(std::uint64_t)
{
    return QStringLiteral("000000");
}

QString normalizzaCodice(const QString &testo)
{
    return testo.toUpper();
}
