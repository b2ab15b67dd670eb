// SPDX-License-Identifier: MIT
#include "partita.h"

#include "annuncio.h"
#include "dichiarazioni.h"
#include "identita.h"
#include "ordine.h"
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
    , m_archivioStoria(m_registro.cartella())
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
    estraiNumero(n, Fonte::Sacchetto);
}

void Partita::estraiDalComputer()
{
    if (m_occupata || m_terminata || m_storia.corrente.chiusa())
        return;
    const QScopedValueRollback occupata(m_occupata, true);
    assicuraSeme();
    const int n = prossimoDelComputer(m_storia.corrente.seme, Estratti);
    if (n == 0)
        return;
    const bool prima = std::none_of(m_storia.corrente.eventi.begin(), m_storia.corrente.eventi.end(),
                                    [](const Evento &e) { return e.fonte == Fonte::Computer; });
    if (prima) {
        chiedi(QStringLiteral("Il computer estrae i numeri in un ordine fissato all'inizio della partita.\n\n"
                              "Impronta della partita: %1\n\n"
                              "Alla fine della partita il seme viene svelato e stampato nel verbale: "
                              "con esso chiunque può ricalcolare l'ordine e verificare ogni estrazione del computer.")
                   .arg(improntaSeme(m_storia.corrente.seme)),
               Richieste::Pulsanti::Ok, QString::fromUtf8(Identita::Titolo));
        if (m_terminata)
            return;
    }
    estraiNumero(n, Fonte::Computer);
}

void Partita::estraiNumero(int n, Fonte fonte)
{
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
    const QDateTime adesso = m_adesso();
    StoriaPartita &partita = m_storia.corrente;
    if (partita.chiamate() == 0)
        partita.inizio = adesso;
    // The game begins with its first call: its seed is taken then, kept with the call.
    if (partita.seme.isEmpty())
        partita.seme = nuovoSeme();
    partita.eventi.append({Evento::Tipo::Chiamata, partita.chiamate() + 1, n, adesso, fonte});
    // The 90th number ends the game: its seed is revealed.
    if (partita.sulTabellone().size() == UltimoNumero && !partita.chiusa())
        partita.fine = adesso;
    registra([&] {
        // A record that missed an earlier write would miss numbers: rebuild it.
        return m_registroDaRiscrivere ? m_registro.riscrivi(Estratti, adesso) : m_registro.aggiungi(n, Estratti, adesso);
    });
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
    const QDateTime adesso = m_adesso();
    m_storia.corrente.eventi.append({Evento::Tipo::Ritiro, 0, n, adesso, Fonte::Ignota});
    if (m_ultimoDelRegistro == n)
        m_ultimoDelRegistro = 0;
    registra([&] { return m_registro.riscrivi(Estratti, adesso); });
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
    m_ultimoDelRegistro = 0;
    const QDateTime adesso = m_adesso();
    // The game that ends reveals its seed and stays at hand for its minutes.
    if (!m_storia.corrente.vuota()) {
        if (!m_storia.corrente.chiusa())
            m_storia.corrente.fine = adesso;
        m_storia.precedente = m_storia.corrente;
    }
    m_storia.corrente = {};
    m_storia.corrente.programma = m_storia.programma;
    registra([&] { return m_registro.nuovaPartita(adesso); });
}

void Partita::chiudiPartita()
{
    if (m_occupata || m_terminata || m_storia.corrente.chiusa() || m_storia.corrente.vuota())
        return;
    const QScopedValueRollback occupata(m_occupata, true);
    m_storia.corrente.fine = m_adesso();
    registra({});
}

void Partita::impostaIntervallo(int secondi)
{
    if (secondi == m_storia.intervallo || m_terminata)
        return;
    m_storia.intervallo = secondi;
    registra({});
}

QString Partita::erroreOperazione() const
{
    if (m_terminata)
        return QStringLiteral("il tabellone è stato chiuso");
    if (m_occupata)
        return QStringLiteral("un'altra operazione è in corso: riprova quando è finita");
    return {};
}

QString Partita::registraPremi(const Storia &nuova)
{
    if (contenutoStoria(nuova).size() > DimensioneMassimaStoria)
        return QStringLiteral("la storia della partita diventerebbe troppo grande per essere salvata");
    const QScopedValueRollback occupata(m_occupata, true);
    m_storia = nuova;
    // The prizes are the story's alone: the record does not change.
    registra({});
    return {};
}

QString Partita::impostaProgramma(const Programma &programma)
{
    if (QString errore = erroreOperazione(); !errore.isEmpty())
        return errore;
    if (QString errore = erroreCambioProgramma(m_storia.corrente, programma); !errore.isEmpty())
        return errore;
    if (programma == m_storia.programma && programma == m_storia.corrente.programma)
        return {};
    Storia nuova = m_storia;
    nuova.programma = programma;
    nuova.corrente.programma = programma;
    return registraPremi(nuova);
}

QString Partita::assegna(const Reclamo &reclamo, const QList<IdCartella> &pariMerito)
{
    if (QString errore = erroreOperazione(); !errore.isEmpty())
        return errore;
    const EsitoAssegnazione esito = nuovaAssegnazione(m_storia.corrente, reclamo, pariMerito, m_adesso());
    if (!esito.errore.isEmpty())
        return esito.errore;
    Storia nuova = m_storia;
    nuova.corrente.assegnazioni.append(esito.assegnazione);
    return registraPremi(nuova);
}

QString Partita::ritiraAssegnazione(int numero, const QString &motivo)
{
    if (QString errore = erroreOperazione(); !errore.isEmpty())
        return errore;
    if (QString errore = erroreRitiro(m_storia.corrente, numero, motivo); !errore.isEmpty())
        return errore;
    Storia nuova = m_storia;
    Assegnazione &a = nuova.corrente.assegnazioni[numero];
    a.ritirata = true;
    a.quandoRitirata = m_adesso();
    a.motivo = motivo.trimmed();
    return registraPremi(nuova);
}

int Partita::ultimoEstratto() const
{
    const QList<Evento> ultime = m_storia.corrente.ultimeChiamate(1);
    if (ultime.isEmpty())
        return 0;
    return ultime.constFirst().fonte != Fonte::Ignota ? ultime.constFirst().numero : m_ultimoDelRegistro;
}

void Partita::assicuraSeme()
{
    if (!m_storia.corrente.seme.isEmpty())
        return;
    m_storia.corrente.seme = nuovoSeme();
    // Kept before anyone sees its fingerprint: a restart must not draw another.
    registra({});
}

void Partita::registra(const std::function<EsitoScrittura()> &scritturaRegistro)
{
    EsitoScrittura storia = m_archivioStoria.scrivi(m_storia);
    if (!storia.riuscita())
        storia.errore = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_archivioStoria.percorso()), storia.errore);
    const EsitoScrittura registro = scritturaRegistro ? scritturaRegistro() : EsitoScrittura{};
    segnala(!registro.riuscita() ? registro : storia);
    // A copy: an action may add another.
    const auto azioni = m_allaModifica;
    for (const auto &azione : azioni)
        azione();
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
    m_ultimoDelRegistro = partita.numeri.isEmpty() || riscritto ? 0 : partita.numeri.constLast();
    // A story that cannot be used is told by nothing but unknown sources: the record is the game.
    m_storia = m_archivioStoria.leggi();
    concilia(m_storia, partita.numeri);
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
