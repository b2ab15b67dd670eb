// SPDX-License-Identifier: MIT
#include "vocesintetica.h"

#include "motorevoce.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QThread>

using namespace Qt::StringLiterals;

// A stuck engine never piles up work: only the newest text waits.
struct VoceSintetica::Attesa {
    QMutex mutex;
    QString daDire;
    bool consegnaInCorso = false;
};

// The engine's keeper on the voice thread; it reports back by queued signals,
// which are dropped safely if the voice is gone by then.
class Oratore : public QObject
{
    Q_OBJECT

public:
    std::unique_ptr<MotoreVoce> motore;

    void prepara()
    {
        QString motivo;
        motore = creaMotoreVoce(motivo, [this](const QString &perche) { emit guasto(perche); });
        if (motore)
            emit pronto();
        else
            emit guasto(motivo);
    }

signals:
    void pronto();
    void guasto(const QString &motivo);
};

VoceSintetica::VoceSintetica(QObject *parent)
    : QObject(parent)
    , m_attesa(std::make_shared<Attesa>())
{
    m_filo = new QThread(this);
    m_filo->setObjectName(u"voce"_s);
    m_oratore = new Oratore;
    m_oratore->moveToThread(m_filo);
    connect(m_filo, &QThread::finished, m_oratore, &QObject::deleteLater);
    connect(m_oratore, &Oratore::guasto, this, &VoceSintetica::rinuncia, Qt::QueuedConnection);
    connect(m_oratore, &Oratore::pronto, this, [this] {
        if (m_stato != Stato::InPreparazione)
            return;
        m_stato = Stato::Pronta;
        emit pronta();
        consegna();
    }, Qt::QueuedConnection);
    m_filo->start();
    QMetaObject::invokeMethod(m_oratore, &Oratore::prepara, Qt::QueuedConnection);
}

VoceSintetica::~VoceSintetica()
{
    disconnect(m_oratore, nullptr, this, nullptr);
    m_filo->quit();
    // A service that never answers must not keep the program from ending:
    // the thread is then left to itself.
    if (!m_filo->wait(QDeadlineTimer(2000)))
        m_filo->setParent(nullptr);
}

void VoceSintetica::annuncia(const QString &testo)
{
    if (m_stato == Stato::Rifiutata)
        return;
    {
        const QMutexLocker blocco(&m_attesa->mutex);
        m_attesa->daDire = testo;
    }
    if (m_stato == Stato::Pronta)
        consegna();
}

// Hands the waiting text to the engine thread, unless a hand-over is already
// on its way: that one takes the newest text when it runs.
void VoceSintetica::consegna()
{
    {
        const QMutexLocker blocco(&m_attesa->mutex);
        if (m_attesa->consegnaInCorso || m_attesa->daDire.isNull())
            return;
        m_attesa->consegnaInCorso = true;
    }
    QMetaObject::invokeMethod(m_oratore, [attesa = m_attesa, oratore = m_oratore] {
        QString testo;
        {
            const QMutexLocker blocco(&attesa->mutex);
            testo = std::exchange(attesa->daDire, QString());
            attesa->consegnaInCorso = false;
        }
        if (oratore->motore && !testo.isNull())
            oratore->motore->di(testo);
    }, Qt::QueuedConnection);
}

void VoceSintetica::rinuncia(const QString &motivo)
{
    if (m_stato == Stato::Rifiutata)
        return;
    const bool eraPronta = m_stato == Stato::Pronta;
    m_stato = Stato::Rifiutata;
    m_motivo = motivo;
    emit guasto(m_motivo, eraPronta);
}

#include "vocesintetica.moc"
