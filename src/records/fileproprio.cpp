// SPDX-License-Identifier: MIT
#include "fileproprio.h"

QString descriviNatura(Natura natura)
{
    switch (natura) {
    case Natura::Collegamento:
        return QStringLiteral("è un collegamento simbolico");
    case Natura::NonOrdinario:
        return QStringLiteral("non è un file ordinario");
    case Natura::Altrui:
        return QStringLiteral("appartiene a un altro utente");
    case Natura::PiuNomi:
        return QStringLiteral("ha più di un nome (un collegamento fisico)");
    case Natura::Errore:
        return QStringLiteral("non si può esaminare");
    case Natura::Manca:
    case Natura::Proprio:
        break;
    }
    return {};
}
