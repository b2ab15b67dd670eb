// SPDX-License-Identifier: MIT
#include "verbalepdf.h"

#include "stampa.h"
#include "verbale.h"

#include <QDir>

ServiziVerbale serviziVerbaleDiSistema()
{
    return {cartellaDocumenti, apriConVisore};
}

VerbaleFatto salvaVerbale(const StoriaPartita &partita, const QDateTime &adesso, const ServiziVerbale &servizi)
{
    const QString cartella = servizi.cartella();
    QDir().mkpath(cartella);
    const QString percorso = QDir(cartella).filePath(nomeVerbale(adesso));
    const EsitoScrittura esito = scriviVerbale(partita, percorso);
    if (!esito.riuscita())
        return {{}, QStringLiteral("Il verbale non è stato salvato in %1: %2.")
                        .arg(QDir::toNativeSeparators(percorso), esito.errore)};
    // Saved even when no viewer opens it: the message says where it is.
    servizi.apri(percorso);
    return {percorso, {}};
}
