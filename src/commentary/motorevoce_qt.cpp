// SPDX-License-Identifier: MIT
// The voice through Qt's speech engines: speech-dispatcher on Linux.
#include "motorevoce.h"

#include <QLocale>
#include <QTextToSpeech>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// Only speech-dispatcher reads Italian well here.
const QString NomeMotore = u"speechd"_s;

class MotoreQt final : public MotoreVoce
{
public:
    explicit MotoreQt(std::unique_ptr<QTextToSpeech> motore) : m_motore(std::move(motore)) {}

    void di(const QString &testo) override
    {
        // An announcement still running belongs to a number already past.
        m_motore->stop(QTextToSpeech::BoundaryHint::Immediate);
        m_motore->say(testo);
    }

private:
    std::unique_ptr<QTextToSpeech> m_motore;
};

} // namespace

std::unique_ptr<MotoreVoce> creaMotoreVoce(QString &motivo, std::function<void(const QString &)> guasto)
{
    // The engine writes to the service's socket: a service that goes away
    // must cost the voice, not end the program with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    if (!QTextToSpeech::availableEngines().contains(NomeMotore)) {
        motivo = QString::fromUtf8(TestiVoce::SenzaMotore) + u" (speech-dispatcher e il suo modulo per Qt)."_s;
        return nullptr;
    }
    // The engine starts in the default language and fails outright if that has
    // no voice: it is built with Italian as the default, then the default is
    // given back (this thread is the only one reading it meanwhile).
    const QLocale prima;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto motore = std::make_unique<QTextToSpeech>(NomeMotore);
    QLocale::setDefault(prima);
    if (motore->state() == QTextToSpeech::Error) {
        motivo = QString::fromUtf8(motore->errorReason() == QTextToSpeech::ErrorReason::Configuration
                                       ? TestiVoce::SenzaItaliano
                                       : TestiVoce::NonRisponde);
        return nullptr;
    }
    if (motore->locale().language() != QLocale::Italian || motore->availableVoices().isEmpty()) {
        motivo = QString::fromUtf8(TestiVoce::SenzaItaliano);
        return nullptr;
    }
    QObject::connect(motore.get(), &QTextToSpeech::errorOccurred, motore.get(),
                     [guasto] { guasto(QString::fromUtf8(TestiVoce::Interrotto)); });
    return std::make_unique<MotoreQt>(std::move(motore));
}
