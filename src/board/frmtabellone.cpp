// SPDX-License-Identifier: MIT
#include "frmtabellone.h"

#include "comandi.h"
#include "controllocartella.h"
#include "commenti.h"
#include "dichiarazioni.h"
#include "frmabout.h"
#include "frmtip.h"
#include "icone.h"
#include "identita.h"
#include "immagine.h"
#include "infosistema.h"
#include "misure.h"
#include "orologio.h"
#include "pittura.h"
#include "richieste.h"
#include "voce.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <limits>

using namespace Dichiarazioni;

namespace {

QLabel *creaColonna(QWidget *parent, const char *nome, const char *accessibile, QColor sfondo)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(nome));
    label->setAccessibleName(QLatin1String(accessibile));
    label->setTextFormat(Qt::PlainText); // a message is shown as typed, never as markup
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    QPalette colori = label->palette();
    colori.setColor(QPalette::Window, sfondo);
    colori.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(colori);
    QFont font(QStringLiteral("Arial Rounded MT Bold"));
    font.setBold(true);
    font.setItalic(true);
    font.setPointSizeF(8.25);
    label->setFont(font);
    label->hide();
    return label;
}

void impostaDimensione(QLabel *label, double punti)
{
    // Narrow boards give 0, which is no font size.
    QFont font = label->font();
    font.setPointSizeF(std::max(1.0, punti));
    if (font != label->font())
        label->setFont(font);
}

// The clock's eleven lines at the size unit overflow a wide screen's column
// (16:9 leaves it shorter than 4:3 did): there the largest size that shows
// every line is used instead.
double puntiOrologio(const QLabel *label, double punti)
{
    const QRect spazio = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                        -label->margin());
    return puntiCheEntrano(label->font(), spazio.size(), int(label->alignment()),
                           testoOrologio(QTime(23, 59, 59)), punti);
}

} // namespace

std::pair<int, int> limitiColonna(const QLabel &colonna, const QString &testo)
{
    const QFontMetricsF metriche(colonna.font());
    qreal minima = std::numeric_limits<qreal>::max();
    for (const QChar c : QSet<QChar>(testo.begin(), testo.end())) {
        if (!c.isSpace())
            minima = std::min(minima, metriche.horizontalAdvance(c));
    }
    if (minima <= 0.5 || minima == std::numeric_limits<qreal>::max())
        return {0, 0}; // zero-width characters give no safe bound: the whole text
    const QRect spazio = colonna.contentsRect();
    // A quarter more for kerning, and a line more, partly shown.
    return {int(spazio.width() / minima * 1.25) + 2, int(spazio.height() / metriche.lineSpacing()) + 2};
}

namespace {

// Holds back mouse and keyboard input meant for the owner's window while the
// board is shown modally, and brings the board forward instead.
class BloccoInput : public QObject
{
public:
    BloccoInput(QWidget *proprietario, QWidget *modale)
        : m_proprietario(proprietario)
        , m_modale(modale)
    {
        if (m_proprietario)
            qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        switch (evento->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
            break;
        default:
            return false;
        }
        auto *widget = qobject_cast<QWidget *>(oggetto);
        if (!widget || widget->window() != m_proprietario)
            return false;
        if (evento->type() == QEvent::MouseButtonPress && m_modale) {
            m_modale->raise();
            m_modale->activateWindow();
        }
        return true;
    }

private:
    QPointer<QWidget> m_proprietario;
    QPointer<QWidget> m_modale;
};

} // namespace

frmTabellone::frmTabellone(Richieste &richieste, QString cartellaImmagini, QString cartellaRegistro, QWidget *proprietario)
    // No close button: the board is left with its keys. Window managers only
    // maximise windows that allow it, so that hint stays for F11.
    : QWidget(proprietario, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint)
    , m_richieste(richieste)
    , m_cartella(std::move(cartellaImmagini))
    , m_cartellaRegistro(cartellaRegistro)
    , m_partita(*this, richieste, this, RegistroPartita(std::move(cartellaRegistro)))
    , m_fuoriGioco(std::make_unique<QWidget>())
{
    setObjectName(QStringLiteral("frmTabellone"));
    setAccessibleName(QStringLiteral("Tabellone"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette colori = palette();
    colori.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(colori);
    setWindowIcon(icona(QStringLiteral("tabellone")));
    resize(qRound(twipInPixel(6945)), qRound(twipInPixel(5940)));

    // Separator lines: dark grey, three pixels, until something else draws.
    m_superficie.coloreCorrente = ColoreGrigioScuro;
    m_superficie.larghezzaCorrente = 3;

    for (int n = 0; n < DimensioneTabelle; ++n) {
        auto *cella = new Immagine(n, numeroValido(n) ? this : m_fuoriGioco.get());
        cella->setObjectName(QStringLiteral("Img%1").arg(n));
        cella->setAccessibleName(QString::number(n));
        cella->hide();
        connect(cella, &Immagine::doppioClic, this, &frmTabellone::Img_DblClick);
        connect(cella, &Immagine::rilasciato, this, &frmTabellone::Img_MouseUp);
        Img[static_cast<std::size_t>(n)] = cella;
    }
    LblDX = creaColonna(this, "LblDX", "Orologio", QColor(192, 255, 192));
    LblDX2 = creaColonna(this, "LblDX2", "Messaggi", QColor(255, 255, 192));

    m_attesaIngrandimento = new QTimer(this);
    m_attesaIngrandimento->setSingleShot(true);
    m_attesaIngrandimento->setInterval(1000);
    connect(m_attesaIngrandimento, &QTimer::timeout, this, &frmTabellone::completaIngrandisciRiduci);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &frmTabellone::Timer1_Timer);

    setWindowTitle(titoloTabellone());
    for (int n = PrimoNumero; n <= UltimoNumero; ++n)
        Img[n]->carica(m_cartella, 0);
    RicalcolaMisure();
    Timer1->start();
}

void frmTabellone::Livelli()
{
    ::Livelli(Livello, Commenti);
}

void frmTabellone::RicalcolaMisure()
{
    // A hidden board stays hidden; a shown one ends its modal showing, as
    // hiding it would, but stays on screen (see mostraModale).
    terminaModale();
    m_superficie.pulisci();

    const Impaginazione imp = impagina(pixelInTwip(width()), pixelInTwip(height()));
    for (int riga = 0; riga < 9; ++riga) {
        if (riga == 3)
            m_superficie.linea(imp.linee[0].p1(), imp.linee[0].p2());
        else if (riga == 6)
            m_superficie.linea(imp.linee[1].p1(), imp.linee[1].p2());
        for (int n = riga * 10 + 1; n <= riga * 10 + 10; ++n) {
            Img[n]->posiziona(imp.celle[n]);
            Img[n]->show();
        }
    }

    dimensionaTip();

    m_superficie.linea(imp.linee[2].p1(), imp.linee[2].p2());
    m_superficie.linea(imp.linee[3].p1(), imp.linee[3].p2());

    LblDX->setGeometry(rettangoloPixel(imp.lblDX));
    LblDX2->setGeometry(rettangoloPixel(imp.lblDX2));
    LblDX->show();
    LblDX2->show();

    Crea3D();
    update();
}

void frmTabellone::Crea3D()
{
    Spessore = calcolaSpessore(pixelInTwip(width()));
    for (int n = PrimoNumero; n <= UltimoNumero; ++n)
        DisegnaCornice(m_superficie, Img[n]->rettangolo(), true, Spessore);
    incorniciaTip();
}

void frmTabellone::incorniciaTip()
{
    // One frame around the picture: the pop-up's surface starts clean each time.
    frmTip *tip = frmTip::istanza(this);
    tip->superficie().pulisci();
    DisegnaCornice(tip->superficie(), tip->ImgNumero->rettangolo(), true, Spessore);
    tip->update();
}

DimensioniFinestra frmTabellone::dimensioni() const
{
    const QSize esterna = frameGeometry().size();
    return {pixelInTwip(esterna.width()), pixelInTwip(esterna.height()), pixelInTwip(width()),
            pixelInTwip(height())};
}

MisureTip frmTabellone::dimensionaTip()
{
    frmTip *tip = frmTip::istanza(this);
    const MisureTip misure = misureTip(dimensioni());
    tip->impostaDimensioneEsterna(misure.larghezzaEsterna, misure.altezzaEsterna);
    tip->ImgNumero->posiziona({0, 0, misure.larghezzaNumero, misure.altezzaNumero});
    tip->LblSmorfia->resize(rettangoloPixel({0, 0, misure.larghezzaCommento, 0}).width(),
                            tip->LblSmorfia->height());
    return misure;
}

void frmTabellone::mostraCella(int cella, int numero)
{
    Img[cella]->carica(m_cartella, numero);
    // A screen reader says which numbers are out, not only which cells exist.
    Img[cella]->setAccessibleName(numero ? QStringLiteral("%1, estratto").arg(cella) : QString::number(cella));
}

void frmTabellone::preparaPopup(int numero)
{
    frmTip *tip = frmTip::istanza(this);
    tip->ImgNumero->carica(m_cartella, numero);
    const MisureTip misure = dimensionaTip();
    // A pop-up loaded afresh has lost the frame of the last layout pass.
    incorniciaTip();
    tip->impostaCommento(Commenti[numero]);
    tip->LblSmorfia->setGeometry(
        rettangoloPixel({0, misure.topCommento, misure.larghezzaCommento, misure.altezzaCommento}));
    tip->impostaPuntiCommento(dimensioneCommento(Spessore));
}

void frmTabellone::mostraPopup(const std::function<void()> &comparso)
{
    if (frmTip *tip = frmTip::caricato()) {
        tip->allaComparsa(comparso);
        tip->exec();
    }
}

void frmTabellone::cedi()
{
    QCoreApplication::processEvents();
}

void frmTabellone::Img_DblClick(int n)
{
    m_partita.estrai(n);
}

void frmTabellone::Img_MouseUp(int n, Qt::MouseButton pulsante)
{
    if (pulsante == Qt::RightButton)
        m_partita.ritira(n);
}

void frmTabellone::Timer1_Timer()
{
    // Measured again only when the unit or the column changes, not every tick.
    if (m_misuraOrologio != qMakePair(int(Spessore), LblDX->size())) {
        m_misuraOrologio = qMakePair(int(Spessore), LblDX->size());
        m_puntiOrologio = puntiOrologio(LblDX, Spessore);
    }
    impostaDimensione(LblDX, m_puntiOrologio);
    const QString orologio = testoOrologio(QTime::currentTime());
    if (orologio != LblDX->text()) {
        LblDX->setText(orologio);
        // Read out as one phrase, not as eleven lines.
        LblDX->setAccessibleDescription(orologio.simplified());
    }
    setWindowTitle(ruota(windowTitle()));
    m_messaggi = ruota(m_messaggi);
    impostaDimensione(LblDX2, Spessore);
    mostraMessaggi();
}

void frmTabellone::mostraMessaggi()
{
    // The label lays out only what can show: a long message costs a tick what a short one does.
    const auto misura = qMakePair(LblDX2->font().pointSizeF(), LblDX2->size());
    if (misura != m_misuraMessaggi) {
        m_misuraMessaggi = misura;
        m_limitiMessaggi = limitiColonna(*LblDX2, m_messaggi);
    }
    LblDX2->setText(testoColonnaVisibile(m_messaggi, m_limitiMessaggi.first, m_limitiMessaggi.second));
}

void frmTabellone::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_ingrandimento && size() != *m_ingrandimento)
        QMetaObject::invokeMethod(this, &frmTabellone::completaIngrandisciRiduci, Qt::QueuedConnection);
    Spessore = calcolaSpessore(pixelInTwip(width()));
    // Lines and frames keep their place, but the whole window shows them again.
    update();
}

void frmTabellone::keyPressEvent(QKeyEvent *event)
{
    // Holding a key down must not toggle the board or stack up boxes.
    // Nor may a key act while a draw or F11 is under way: it is dropped, not kept for later.
    if (event->isAutoRepeat() || m_partita.occupata())
        return;
    const int codice = codiceTasto(event->key(), event->modifiers(), event->nativeVirtualKey());
    switch (const auto comando = smistaTasto(codice, mascheraModificatori(event->modifiers()))) {
    case ComandoTastiera::Informazioni:
        informazioni();
        break;
    case ComandoTastiera::NuovaPartita:
        m_partita.nuovaPartita();
        break;
    case ComandoTastiera::Messaggi:
        messaggi();
        break;
    case ComandoTastiera::LasciaTabellone:
        hide();
        break;
    case ComandoTastiera::IngrandisciRiduci:
        ingrandisciRiduci();
        break;
    case ComandoTastiera::VerificaCartella:
        verificaCartella();
        break;
    default: // F6, F7, F9, or nothing
        m_comandiPartita.esegui(comando);
        break;
    }
}

void frmTabellone::informazioni()
{
    frmAbout informazioni(m_richieste, serviziDiSistema(), this);
    informazioni.exec();
}

void frmTabellone::verificaCartella()
{
    controllaCartella(m_partita, m_richieste, m_cartellaRegistro, this);
}

void frmTabellone::messaggi()
{
    const QString messaggio = m_richieste.immissione(
        this,
        QStringLiteral("Immetti parole non più lunghe di 4 caratteri.\nInterrompi le più lunghe con '- '"),
        QStringLiteral("Messaggi"), m_messaggi);
    m_messaggi = testoColonnaMessaggi(messaggio);
    m_misuraMessaggi = {}; // other characters, other bounds
    mostraMessaggi();
    // The column shows it twice and scrolling; a screen reader says it once.
    LblDX2->setAccessibleDescription(messaggio);
}

void frmTabellone::ingrandisciRiduci()
{
    if (!m_partita.occupa())
        return;
    m_ingrandimento = size();
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    else
        setWindowState(windowState() | Qt::WindowMaximized);
    // The window manager applies the new state a moment later: the layout
    // pass waits for the size it gives (resizeEvent), or for this timer if
    // it never answers.
    m_attesaIngrandimento->start();
}

void frmTabellone::completaIngrandisciRiduci()
{
    if (!m_ingrandimento)
        return;
    m_ingrandimento.reset();
    m_attesaIngrandimento->stop();
    RicalcolaMisure();
    cedi();
    // From here on the board is an ordinary window: the start screen behind
    // it takes input again.
    show();
    activateWindow();
    m_partita.libera();
}

void frmTabellone::terminaModale()
{
    if (m_modale)
        emit fineModale();
}

void frmTabellone::mostraModale()
{
    if (!m_posizionato) {
        // Centred on the screen the first time; after that where the user left it.
        if (const QScreen *schermo = screen())
            move(schermo->availableGeometry().center() - frameGeometry().center() + pos());
        m_posizionato = true;
    }
    show();
    raise();
    activateWindow();

    // Modal by hand: Qt changes a window's modality only across a hide and a
    // show, and unmapping a maximised window lets the window manager forget
    // that it was maximised. So the owner's input is held back here instead.
    BloccoInput blocco(parentWidget(), this);
    QEventLoop ciclo;
    connect(this, &frmTabellone::fineModale, &ciclo, &QEventLoop::quit);
    connect(this, &frmTabellone::fineProgramma, &ciclo, &QEventLoop::quit);
    m_modale = true;
    ciclo.exec();
    m_modale = false;
}

void frmTabellone::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        terminaModale();
}

void frmTabellone::closeEvent(QCloseEvent *event)
{
    event->accept();
    // A draw whose pop-up is still up records nothing more.
    m_partita.termina();
    emit fineProgramma();
}

void frmTabellone::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    dipingi(p, m_superficie);
}
