// SPDX-License-Identifier: MIT
#include "controllocartella.h"

#include "archivio.h"
#include "dichiarazioni.h"
#include "frmverifica.h"
#include "frmvincita.h"
#include "partita.h"
#include "premi.h"
#include "richieste.h"
#include "verifica.h"
#include "voce.h"

#include <QScopeGuard>

using namespace Dichiarazioni;

void controllaCartella(Partita &partita, Richieste &richieste, const QString &cartellaRegistro, QWidget *tabellone)
{
    const QString titolo = QStringLiteral("Controllo cartella");
    Reclamo reclamo;
    std::optional<QList<IdCartella>> scelta;
    {
        // One operation at a time: no draw, withdrawal or F11 while a card is being checked.
        if (!partita.occupa())
            return;
        const auto libera = qScopeGuard([&partita] { partita.libera(); });
        const QString testo = richieste.immissione(
            tabellone,
            QStringLiteral("Numero della cartella da controllare (67, oppure codice e numero: ABC123-67)\n"
                           "o un blocco del tabellone (tabellone 1 … tabellone 6):"),
            titolo, QString());
        if (testo.trimmed().isEmpty())
            return;
        const ArchivioLetto archivio = ArchivioBlocchetti(cartellaRegistro).leggi();
        const Verifica esito = ::verifica(testo, archivio, Estratti, partita.ultimoEstratto());
        if (!esito.errore.isEmpty()) {
            richieste.messaggio(tabellone, esito.errore, Richieste::Pulsanti::Ok, titolo);
            return;
        }
        frmVerifica finestra(esito, tabellone);
        const StoriaPartita &storia = partita.storia().corrente;
        const std::optional<CartellaGiocata> cartella = cartellaDellaVerifica(esito);
        if (!storia.programma.vuoto() && cartella) {
            // The batches' cards once: the tied ones are sought among them at each change of the claim.
            const QList<CartellaGiocata> elenco = cartelleDeiBlocchetti(archivio.blocchetti);
            finestra.mostraReclamo([&storia, cartella, elenco](std::optional<Categoria> dichiarata) {
                return ::reclamo(storia, *cartella, elenco, dichiarata);
            });
        }
        if (Voce *voce = partita.voce())
            voce->annuncia(esito.testoVoce);
        finestra.exec();
        scelta = finestra.assegnazioneScelta();
        if (scelta)
            reclamo = finestra.reclamo();
    }
    // Given once the check has let the game go: the flow takes one operation at a time.
    if (!scelta)
        return;
    if (const QString errore = partita.assegna(reclamo, *scelta); !errore.isEmpty()) {
        QString testo = errore;
        testo[0] = testo[0].toUpper();
        richieste.messaggio(tabellone, testo + QLatin1Char('.'), Richieste::Pulsanti::Ok, titolo);
        return;
    }
    const StoriaPartita &storia = partita.storia().corrente;
    const Assegnazione &data = storia.assegnazioni.constLast();
    mostraVincita(data, storia.programma.quanti(data.categoria), tabellone);
    if (Voce *voce = partita.voce())
        voce->annuncia(testoVoceAssegnazione(data));
}
