// SPDX-License-Identifier: MIT
#include "verifica.h"

Richiesta leggiRichiesta(const QString &)
{
    Richiesta r;
    r.errore = QStringLiteral("da fare");
    return r;
}

std::array<std::array<int, 5>, 3> bloccoTabellone(int)
{
    return {};
}

QString premioRiga(int)
{
    return {};
}

Verifica verifica(const QString &testo, const ArchivioLetto &archivio, const TabellaEstratti &estratti, int ultimo)
{
    return verifica(leggiRichiesta(testo), archivio, estratti, ultimo);
}

Verifica verifica(const Richiesta &, const ArchivioLetto &, const TabellaEstratti &, int)
{
    Verifica v;
    v.errore = QStringLiteral("da fare");
    return v;
}

Verifica verificaCartella(const Cartella &, const TabellaEstratti &, int)
{
    return {};
}

QString paroleNumeroIntero(int)
{
    return {};
}
