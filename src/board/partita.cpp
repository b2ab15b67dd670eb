// SPDX-License-Identifier: MIT
#include "partita.h"

#include "annuncio.h"
#include "dichiarazioni.h"
#include "identita.h"
#include "voce.h"

#include <QDir>
#include <QScopedValueRollback>

#include <algorithm>
#include <functional>

using namespace Dichiarazioni;

Partita::Partita(SchermoPartita &schermo, Richieste &richieste, QWidget *proprietario, RegistroPartita registro)
    : m_schermo(schermo)
    , m_richieste(richieste)
    , m_proprietario(proprietario)
    , m_registro(std::move(registro))
{
}

bool Partita::occupa()
{
    if (m_occupata || m_terminata)
        return false;
    m_occupata = true;
    return true;
}

void Partita::libera()
{
    m_occupata = false;
}

bool Partita::cediEProsegui()
{
    m_schermo.cedi();
    return !m_terminata;
}

Richieste::Risposta Partita::chiedi(const QString &testo, Richieste::Pulsanti pulsanti, const QString &titolo)
{
    return m_richieste.messaggio(m_proprietario, testo, pulsanti, titolo);
}

void Partita::estrai(int n)
{
    if (!numeroValido(n) || m_occupata || m_terminata)
        return;
    const QScopedValueRollback occupata(m_occupata, true);
    if (Estratti[n] == Estratto) {
        chiedi(QStringLiteral("TASTO DESTRO per cancellare"), Richieste::Pulsanti::Ok,
               QString::fromUtf8(Identita::Titolo));
        return;
    }
    // The cell shows the number while its pop-up is up; the number counts as
    // drawn only once the pop-up has been closed.
    m_schermo.mostraCella(n, n);
    m_schermo.preparaPopup(n);
    if (!cediEProsegui())
        return;
    // Spoken once the pop-up is on screen, so the voice's work never delays it;
    // the voice returns at once and the draw never waits for it.
    m_schermo.mostraPopup([this, n] {
        if (m_voce && !m_terminata)
            m_voce->annuncia(testoAnnuncio(n, Commenti[n]));
    });
    if (!cediEProsegui())
        return;
    Estratti[n] = Estratto;
    m_ultimoEstratto = n;
    CaricaPartita(QStringLiteral("estratto") + QString::number(n));
    m_schermo.cedi();
}

void Partita::ritira(int n)
{
    if (!numeroValido(n) || m_occupata || m_terminata || Estratti[n] == NonEstratto)
        return;
    const QScopedValueRollback occupata(m_occupata, true);
    const auto risposta = chiedi(QStringLiteral("Vuoi veramente nascondere il numero ") + QString::number(n),
                                 Richieste::Pulsanti::SiNo, QStringLiteral("Tombola by Tavesi Aldrino"));
    if (risposta != Richieste::Risposta::Si || m_terminata)
        return;
    m_schermo.mostraCella(n, 0);
    Estratti[n] = NonEstratto;
    if (m_ultimoEstratto == n)
        m_ultimoEstratto = 0;
    CaricaPartita(QStringLiteral("annullato"));
}

void Partita::nuovaPartita()
{
    if (m_occupata || m_terminata)
        return;
    const QScopedValueRollback occupata(m_occupata, true);
    const auto risposta = chiedi(QStringLiteral("Vuoi azzerare la partita?"), Richieste::Pulsanti::OkAnnulla,
                                 QStringLiteral("Tabellona Tombola - Azzera / Nuova tombola"));
    if (risposta != Richieste::Risposta::Ok || m_terminata)
        return;
    for (int n = PrimoNumero; n <= UltimoNumero; ++n) {
        Estratti[n] = NonEstratto;
        m_schermo.mostraCella(n, 0);
    }
    m_ultimoEstratto = 0;
    segnala(m_registro.nuovaPartita(m_adesso()));
}

void Partita::CaricaPartita(const QString &operazione)
{
    const Comando comando = interpretaComando(operazione);
    switch (comando.operazione) {
    case Operazione::Inizio:
        riprendi();
        break;
    case Operazione::Annullato:
        segnala(m_registro.riscrivi(Estratti, m_adesso()));
        break;
    case Operazione::Estratto:
        // A record that missed an earlier write would miss numbers: rebuild it.
        segnala(m_registroDaRiscrivere ? m_registro.riscrivi(Estratti, m_adesso())
                                       : m_registro.aggiungi(comando.numero, Estratti, m_adesso()));
        break;
    }
}

void Partita::riprendi()
{
    // What a write killed before its rename left behind: nothing reads it.
    m_registro.pulisciTemporanei();
    const PartitaLetta partita = m_registro.leggi();
    if (!partita.errore.isEmpty())
        chiedi(messaggioLettura(m_registro.percorso(), partita.errore), Richieste::Pulsanti::Ok,
               QString::fromUtf8(Identita::Titolo));
    if (!partita.intestazione.trimmed().isEmpty())
        m_ultimaPartita = QStringLiteral("Ultima partita :") + partita.intestazione;
    for (const int n : partita.numeri) {
        m_schermo.mostraCella(n, n);
        Estratti[n] = Estratto;
    }
    // A withdrawal rewrites the record in number order: from two numbers on,
    // ascending ones may be such a record, whose last line is not the last call.
    const bool riscritto = partita.numeri.size() >= 2
                           && std::is_sorted(partita.numeri.cbegin(), partita.numeri.cend(), std::less_equal<int>());
    m_ultimoEstratto = partita.numeri.isEmpty() || riscritto ? 0 : partita.numeri.constLast();
}

void Partita::segnala(const EsitoScrittura &esito)
{
    m_registroDaRiscrivere = !esito.riuscita();
    if (esito.riuscita())
        return;
    chiedi(QStringLiteral("La partita non è stata salvata in %1: %2.\n\n"
                          "Il tabellone resta com'è e la partita continua; "
                          "il salvataggio sarà ritentato alla prossima operazione.")
               .arg(QDir::toNativeSeparators(m_registro.percorso()), esito.errore),
           Richieste::Pulsanti::Ok, QString::fromUtf8(Identita::Titolo));
}
