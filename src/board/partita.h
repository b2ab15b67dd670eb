// SPDX-License-Identifier: MIT
#pragma once

#include "registro.h"
#include "richieste.h"
#include "storia.h"

#include <QDateTime>

#include <functional>
#include <vector>

class QWidget;
class Voce;

// What the game flow asks of the board's windows. The board implements it;
// tests answer it with a few lines.
class SchermoPartita
{
public:
    virtual ~SchermoPartita() = default;
    // Cell `cella` shows the picture of `numero` (0: the blank picture).
    virtual void mostraCella(int cella, int numero) = 0;
    // Fills and sizes the pop-up for a number from the board's current size.
    virtual void preparaPopup(int numero) = 0;
    // Shows the prepared pop-up modally; returns once it has closed. Calls
    // comparso once the pop-up is on screen, if it gets there.
    virtual void mostraPopup(const std::function<void()> &comparso) = 0;
    // Lets pending window events run once: timer ticks, and any input queued
    // meanwhile, which the flow then refuses.
    virtual void cedi() = 0;
};

// The game: drawing, withdrawing, a new game, the resume, and the record kept
// up to date after each. One operation at a time: from the start of a draw,
// withdrawal or new game until its record write has returned, any other
// request is refused, not queued. Once the board is closed nothing more is
// marked or written.
class Partita
{
public:
    Partita(SchermoPartita &schermo, Richieste &richieste, QWidget *proprietario, RegistroPartita registro);

    // Double click on cell n: a number drawn from the bag.
    void estrai(int n);
    // F6: the computer draws the first number of the game's order not on the
    // board, exactly as a double-click on its cell would. Before the game's
    // first computer draw its fingerprint is shown. Nothing once all 90 are
    // drawn or the game has been closed (its order is public then).
    void estraiDalComputer();
    // "Chiudi la partita": the game ends and its seed is revealed.
    void chiudiPartita();
    // Right button released over cell n.
    void ritira(int n);
    // F2: asks, then blanks the board and starts a header-only record.
    void nuovaPartita();
    // The record operations: "inizio", "annullato", or "estratto" + number.
    void CaricaPartita(const QString &operazione);

    // "Ultima partita :" + the header of the resumed record, or empty.
    QString ultimaPartita() const { return m_ultimaPartita; }
    const RegistroPartita &registro() const { return m_registro; }

    // True while an operation is under way; the board then ignores its keys too.
    bool occupata() const { return m_occupata; }
    // For an operation the board runs itself across events (F11): false when
    // another is under way. Every successful occupa() is paired with libera().
    bool occupa();
    void libera();
    // The board was closed: whatever is under way stops where it is.
    void termina() { m_terminata = true; }

    void impostaVoce(Voce *voce) { m_voce = voce; }
    Voce *voce() const { return m_terminata ? nullptr : m_voce; }
    // The last call still on the board; 0 when not known (none drawn, or a
    // record kept without story that a withdrawal rewrote in number order).
    int ultimoEstratto() const;

    // Every call and withdrawal of this game and of the one before.
    const Storia &storia() const { return m_storia; }
    // Seconds between automatic draws, kept with the story.
    void impostaIntervallo(int secondi);
    // The prize programme: this game's own and the default for the next
    // games. Empty when it is kept; otherwise why nothing changed (see
    // erroreCambioProgramma), in Italian.
    QString impostaProgramma(const Programma &programma);
    // "Assegna": the prize of a valid claim (from reclamo()) to its card and
    // the tied cards chosen among its pariMerito. Empty when given (the last
    // of storia().corrente.assegnazioni); otherwise why not, nothing changed.
    QString assegna(const Reclamo &reclamo, const QList<IdCartella> &pariMerito = {});
    // Withdraws assignment `numero` (its place in storia().corrente.assegnazioni)
    // with the reason the minutes print; its prize can be given again.
    QString ritiraAssegnazione(int numero, const QString &motivo);
    // Adds an action run after every change of the story (a window showing
    // it, the phones); each one added runs, in the order added.
    void allaModificaStoria(std::function<void()> azione) { m_allaModifica.push_back(std::move(azione)); }
    // Where the record takes its date and time from (tests fix it).
    void impostaOrologio(std::function<QDateTime()> adesso) { m_adesso = std::move(adesso); }

private:
    void riprendi();
    // The draw itself, with the one-operation slot already taken.
    void estraiNumero(int n, Fonte fonte);
    // The story first, then the record: a kill between leaves the story one
    // step ahead, which the next start drops.
    void registra(const std::function<EsitoScrittura()> &scritturaRegistro);
    // Why a change of the prizes cannot be made now; empty when it can.
    QString erroreOperazione() const;
    // A change of the prizes, kept like the calls: refused when the story
    // would grow too big to be read back.
    QString registraPremi(const Storia &nuova);
    // The game's seed, taken from the system's random source when first needed.
    void assicuraSeme();
    Richieste::Risposta chiedi(const QString &testo, Richieste::Pulsanti pulsanti, const QString &titolo);
    // Tells the user when the record could not be written; the game goes on.
    void segnala(const EsitoScrittura &esito);
    // Yields, and says whether the flow may go on afterwards.
    bool cediEProsegui();

    SchermoPartita &m_schermo;
    Richieste &m_richieste;
    QWidget *m_proprietario;
    RegistroPartita m_registro;
    Voce *m_voce = nullptr;
    QString m_ultimaPartita;
    std::function<QDateTime()> m_adesso = [] { return QDateTime::currentDateTime(); };
    // After a failed write the next one rebuilds the record from the board.
    bool m_registroDaRiscrivere = false;
    ArchivioStoria m_archivioStoria;
    Storia m_storia;
    std::vector<std::function<void()>> m_allaModifica;
    // The record's last line, when it tells the last call of a game kept without story.
    int m_ultimoDelRegistro = 0;
    bool m_occupata = false;
    bool m_terminata = false;
};
