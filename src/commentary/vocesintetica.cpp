// SPDX-License-Identifier: MIT
#include "vocesintetica.h"

#include <QLocale>
#include <QTextToSpeech>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// On Linux only speech-dispatcher reads Italian well; elsewhere Qt's default
// engine is the platform's own.
#ifdef Q_OS_LINUX
const QString NomeMotore = u"speechd"_s;
#else
const QString NomeMotore;
#endif

const QString SenzaItaliano = u"Annuncio a voce non disponibile: non c'è una voce italiana installata."_s;

} // namespace

VoceSintetica::VoceSintetica(QObject *parent)
    : QObject(parent)
{
    const QStringList motori = QTextToSpeech::availableEngines();
    if (motori.isEmpty() || (!NomeMotore.isEmpty() && !motori.contains(NomeMotore))) {
        m_motivo = u"Annuncio a voce non disponibile: manca il motore di sintesi vocale "
                   "(speech-dispatcher e il suo modulo per Qt)."_s;
        return;
    }
    // The engine starts in the default language and fails outright if that has
    // no voice: it is built with Italian as the default, then the default is
    // given back.
    const QLocale prima;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto motore = std::make_unique<QTextToSpeech>(NomeMotore);
    QLocale::setDefault(prima);
    if (motore->state() == QTextToSpeech::Error) {
        m_motivo = motore->errorReason() == QTextToSpeech::ErrorReason::Configuration
                       ? SenzaItaliano
                       : u"Annuncio a voce non disponibile: il servizio di sintesi vocale non risponde."_s;
        return;
    }
    if (motore->locale().language() != QLocale::Italian || motore->availableVoices().isEmpty()) {
        m_motivo = SenzaItaliano;
        return;
    }

    // Every call into the engine waits for the service's answer: it runs on a
    // thread of its own, so a slow or stuck service never holds up a draw.
    m_motore = motore.release();
    m_filo = new QThread(this);
    m_filo->setObjectName(u"voce"_s);
    m_motore->moveToThread(m_filo);
    connect(m_filo, &QThread::finished, m_motore, &QObject::deleteLater);
    connect(m_motore, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State stato) { m_stato = stato; });
    connect(m_motore, &QTextToSpeech::errorOccurred, this, [this] {
        rinuncia(u"Annuncio a voce interrotto: il servizio di sintesi vocale ha smesso di rispondere."_s);
    });
    m_filo->start();
}

VoceSintetica::~VoceSintetica()
{
    if (!m_filo)
        return;
    m_filo->quit();
    // A service that never answers must not keep the program from ending.
    if (!m_filo->wait(QDeadlineTimer(2000)))
        m_filo->setParent(nullptr);
}

void VoceSintetica::annuncia(const QString &testo)
{
    if (!utilizzabile())
        return;
    QMetaObject::invokeMethod(m_motore, [motore = m_motore, testo] {
        // An announcement still running belongs to a number already past.
        motore->stop(QTextToSpeech::BoundaryHint::Immediate);
        motore->say(testo);
    });
}

void VoceSintetica::rinuncia(const QString &motivo)
{
    if (!utilizzabile())
        return;
    m_motivo = motivo;
    emit guasto(m_motivo);
}
