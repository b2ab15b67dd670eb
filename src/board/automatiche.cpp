// SPDX-License-Identifier: MIT
#include "automatiche.h"

#include <algorithm>

using namespace std::chrono;

EstrazioniAutomatiche::EstrazioniAutomatiche(QObject *genitore)
    : QObject(genitore)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &EstrazioniAutomatiche::scaduto);
}

void EstrazioniAutomatiche::impostaIntervallo(int secondi)
{
    m_intervallo = std::clamp(secondi, IntervalloMinimo, IntervalloMassimo);
}

milliseconds EstrazioniAutomatiche::mancante() const
{
    if (!m_attive || m_inEstrazione)
        return 0ms;
    if (m_sospese || !m_timer.isActive())
        return m_restante;
    return std::max(0ms, duration_cast<milliseconds>(m_scadenza.remainingTimeAsDuration()));
}

int EstrazioniAutomatiche::secondiMancanti() const
{
    if (m_secondo <= 0ms)
        return 0;
    const milliseconds resto = mancante();
    return int((resto + m_secondo - 1ms) / m_secondo);
}

void EstrazioniAutomatiche::attiva(bool si)
{
    if (si == m_attive)
        return;
    m_attive = si;
    m_timer.stop();
    m_restante = 0ms;
    if (si && !m_inEstrazione)
        attendi(0ms);
    emit statoCambiato();
}

void EstrazioniAutomatiche::sospendi(bool si)
{
    if (si == m_sospese)
        return;
    if (si) {
        m_restante = mancante();
        m_sospese = true;
        m_timer.stop();
    } else {
        m_sospese = false;
        if (m_attive && !m_inEstrazione)
            attendi(m_restante);
    }
    emit statoCambiato();
}

void EstrazioniAutomatiche::estrazioneFinita(bool altre)
{
    m_inEstrazione = false;
    if (!altre) {
        m_attive = false;
        m_timer.stop();
    } else if (m_attive) {
        attendi(m_intervallo * m_secondo);
    }
    emit statoCambiato();
}

void EstrazioniAutomatiche::ricomincia()
{
    if (m_attive && !m_inEstrazione) {
        attendi(m_intervallo * m_secondo);
        emit statoCambiato();
    }
}

void EstrazioniAutomatiche::attendi(milliseconds tra)
{
    m_restante = tra;
    m_timer.stop();
    if (m_sospese)
        return;
    m_scadenza = QDeadlineTimer(tra, Qt::PreciseTimer);
    m_timer.start(tra);
}

void EstrazioniAutomatiche::scaduto()
{
    if (!m_attive || m_inEstrazione)
        return;
    // Fallen due while something holds the board: drawn as soon as it lets go.
    if (m_trattenuta && m_trattenuta()) {
        m_restante = 0ms;
        m_sospese = true;
        emit statoCambiato();
        return;
    }
    m_inEstrazione = true;
    emit statoCambiato();
    emit estrai();
}
