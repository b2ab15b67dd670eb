// SPDX-License-Identifier: MIT
#include "comandipartita.h"

#include "dichiarazioni.h"
#include "frmpartita.h"
#include "frmtabellone.h"
#include "frmtip.h"
#include "immagine.h"
#include "partita.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

using namespace Dichiarazioni;

namespace {

// The widest the sign gets: it keeps one width, so it does not twitch as the seconds run down.
const QString SegnaleLargo = QStringLiteral("Automatica in pausa: 120 s");

} // namespace

ComandiPartita::ComandiPartita(frmTabellone &tabellone, Partita &partita, Richieste &richieste)
    : m_tabellone(tabellone)
    , m_partita(partita)
    , m_richieste(richieste)
{
    m_automatiche.impostaTrattenuta([this] { return trattenuta(); });
    connect(&m_automatiche, &EstrazioniAutomatiche::estrai, this, &ComandiPartita::estraiAutomatica);
    connect(&m_automatiche, &EstrazioniAutomatiche::statoCambiato, this, &ComandiPartita::aggiorna);
    m_partita.allaModificaStoria([this] { storiaCambiata(); });
    m_tabellone.installEventFilter(this);

    // Over the strip between the first two rows of blocks, where no number
    // shows: it covers nothing the board tells and moves nothing.
    m_segnale = new QLabel(&m_tabellone);
    m_segnale->setObjectName(QStringLiteral("lblAutomatiche"));
    m_segnale->setAccessibleName(QStringLiteral("Estrazioni automatiche"));
    m_segnale->setAlignment(Qt::AlignCenter);
    m_segnale->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_segnale->hide();

    m_controllo.setInterval(200);
    connect(&m_controllo, &QTimer::timeout, this, &ComandiPartita::aggiorna);
}

ComandiPartita::~ComandiPartita()
{
    m_partita.allaModificaStoria({});
    m_tabellone.removeEventFilter(this);
    delete m_finestra;
}

frmPartita *ComandiPartita::finestra() const
{
    return m_finestra;
}

QLabel *ComandiPartita::segnale() const
{
    return m_segnale;
}

void ComandiPartita::esegui(ComandoTastiera comando)
{
    // A key that reaches the board past a dialog (sent by a program, not typed) is not the operator's.
    if (QApplication::activeModalWidget())
        return;
    switch (comando) {
    case ComandoTastiera::EstrazioneComputer:
        m_partita.estraiDalComputer();
        break;
    case ComandoTastiera::FinestraPartita:
        apriFinestra();
        break;
    case ComandoTastiera::EstrazioniAutomatiche:
        alternaAutomatiche();
        break;
    default:
        break;
    }
}

void ComandiPartita::estraiAutomatica()
{
    // The pop-up of an automatic draw goes by itself; a key or a click still closes it sooner.
    frmTip::istanza(&m_tabellone)->chiudiDopo(int(m_automatiche.tenuta().count()));
    m_partita.estraiDalComputer();
    // Not shown after all (the game had no more): a later draw by hand keeps its pop-up.
    if (frmTip *tip = frmTip::caricato())
        tip->chiudiDopo(0);
    m_automatiche.estrazioneFinita(altreDaEstrarre());
    aggiorna();
}

void ComandiPartita::apriFinestra()
{
    if (!m_finestra) {
        m_finestra = new frmPartita(m_partita, m_richieste, &m_tabellone);
        m_finestra->installEventFilter(this);
        connect(m_finestra, &frmPartita::intervalloCambiato, &m_automatiche, &EstrazioniAutomatiche::impostaIntervallo);
    }
    m_finestra->aggiorna();
    m_finestra->show();
    m_finestra->raise();
    m_finestra->activateWindow();
}

void ComandiPartita::alternaAutomatiche()
{
    if (m_automatiche.attive()) {
        m_automatiche.attiva(false);
    } else if (altreDaEstrarre()) {
        m_automatiche.impostaIntervallo(m_partita.storia().intervallo);
        m_automatiche.attiva(true);
    }
    aggiorna();
}

bool ComandiPartita::altreDaEstrarre() const
{
    if (m_chiuso || m_partita.storia().corrente.chiusa())
        return false;
    return std::any_of(Estratti.begin() + PrimoNumero, Estratti.begin() + UltimoNumero + 1,
                       [](std::int16_t e) { return e == NonEstratto; });
}

bool ComandiPartita::trattenuta() const
{
    return m_chiuso || !m_tabellone.isVisible() || m_tabellone.isMinimized() || m_partita.occupata()
           || QApplication::activeModalWidget() || (m_finestra && m_finestra->isVisible());
}

void ComandiPartita::storiaCambiata()
{
    // A closed window is brought up to date when it opens again.
    if (m_finestra && m_finestra->isVisible())
        m_finestra->aggiorna();
    const int chiamate = m_partita.storia().corrente.chiamate();
    // A number drawn by hand meanwhile: the next automatic one a whole interval after it.
    if (chiamate > m_chiamate && !m_automatiche.inEstrazione())
        m_automatiche.ricomincia();
    m_chiamate = chiamate;
    if (m_automatiche.attive() && !m_automatiche.inEstrazione() && !altreDaEstrarre())
        m_automatiche.attiva(false);
    aggiorna();
}

bool ComandiPartita::eventFilter(QObject *oggetto, QEvent *evento)
{
    switch (evento->type()) {
    case QEvent::Close:
        if (oggetto == &m_tabellone) {
            m_chiuso = true;
            m_automatiche.attiva(false);
        }
        [[fallthrough]];
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowBlocked:
    case QEvent::WindowUnblocked:
    case QEvent::WindowStateChange:
        // Once the change has taken effect.
        QTimer::singleShot(0, this, &ComandiPartita::aggiorna);
        break;
    case QEvent::Resize:
        if (oggetto == &m_tabellone && m_segnale && m_segnale->isVisible())
            QTimer::singleShot(0, this, &ComandiPartita::posizionaSegnale);
        break;
    default:
        break;
    }
    return false;
}

void ComandiPartita::aggiorna()
{
    m_automatiche.sospendi(trattenuta());
    if (!m_segnale)
        return;
    if (!m_automatiche.attive()) {
        m_segnale->hide();
        m_controllo.stop();
        return;
    }
    const int secondi = m_automatiche.secondiMancanti();
    const QString testo = m_automatiche.inEstrazione() ? QStringLiteral("Automatica: estrazione")
                          : m_automatiche.sospese()    ? QStringLiteral("Automatica in pausa: %1 s").arg(secondi)
                                                       : QStringLiteral("Automatica tra %1 s").arg(secondi);
    if (m_segnale->text() != testo) {
        m_segnale->setText(testo);
        m_segnale->setAccessibleDescription(testo);
    }
    if (!m_segnale->isVisible()) {
        posizionaSegnale();
        m_segnale->show();
        m_segnale->raise();
    }
    if (!m_controllo.isActive())
        m_controllo.start();
}

void ComandiPartita::posizionaSegnale()
{
    const Immagine *sopra = m_tabellone.Img[30];
    const Immagine *sotto = m_tabellone.Img[40];
    if (!sopra || !sotto || !m_segnale)
        return;
    const QRect a = sopra->geometry(), b = sotto->geometry();
    const int spazio = std::max(0, b.top() - a.bottom() - 1);
    const int altezza = std::max(12, spazio * 4 / 5);
    QFont font = m_segnale->font();
    font.setBold(true);
    font.setPixelSize(std::max(9, altezza * 3 / 5));
    m_segnale->setFont(font);
    const int larghezza = std::min(QFontMetrics(font).horizontalAdvance(SegnaleLargo) + altezza, b.right() + 1);
    // Dark enough to read over the grey strip, edged so that its shape shows over the black frames.
    m_segnale->setStyleSheet(QStringLiteral("QLabel { background: rgba(20, 20, 20, 200); color: white; "
                                            "border: 1px solid rgba(255, 255, 255, 140); border-radius: %1px; }")
                                 .arg(altezza / 2));
    m_segnale->setGeometry(b.right() + 1 - larghezza, a.bottom() + 1 + (spazio - altezza) / 2, larghezza, altezza);
}
