// SPDX-License-Identifier: MIT
#include "frmsplash.h"

#include "comandi.h"
#include "dichiarazioni.h"
#include "frmabout.h"
#include "frmtabellone.h"
#include "icone.h"
#include "identita.h"
#include "immagine.h"
#include "telefoni.h"
#include "vocesintetica.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QLabel *etichetta(QWidget *parent, const char *nome, const RettangoloControllo &twip, const QString &famiglia,
                  double punti, bool grassetto)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(nome));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(rettangoloPixel(twip));
    QFont font(famiglia);
    font.setPointSizeF(punti);
    font.setBold(grassetto);
    label->setFont(font);
    return label;
}

// A title that does not fit its box at the chosen size is made smaller, not cut:
// the first size, in half points down from the chosen one, at which it fits
// (or 8 points or less). Each size measured costs a font of its own, a good
// part of the start: the search begins where the width says, not at the top.
void adattaLarghezza(QLabel *label)
{
    QFont font = label->font();
    const qreal scelta = font.pointSizeF();
    const auto punti = [scelta](int passo) { return scelta - 0.5 * passo; };
    const auto larghezza = [&](int passo) {
        font.setPointSizeF(punti(passo));
        return QFontMetrics(font).horizontalAdvance(label->text());
    };
    const auto basta = [&](int passo) { return punti(passo) <= 8 || larghezza(passo) <= label->width(); };
    int passo = 0;
    if (const int intera = scelta > 8 ? larghezza(0) : 0; intera > label->width()) {
        // Widths grow with the size: guess the step, then move to the first that fits.
        passo = std::max(1, int(std::ceil((scelta - scelta * label->width() / intera) / 0.5)));
        while (passo > 1 && punti(passo - 1) <= 8)
            --passo;
        if (basta(passo)) {
            while (passo > 1 && basta(passo - 1))
                --passo;
        } else {
            while (!basta(++passo)) {
            }
        }
    }
    font.setPointSizeF(punti(passo));
    label->setFont(font);
}

// Labels that size themselves to their text; right-aligned ones keep their right edge.
void adattaAlTesto(QLabel *label, bool destra)
{
    const QRect prima = label->geometry();
    label->adjustSize();
    if (destra)
        label->move(prima.right() + 1 - label->width(), prima.top());
}

QPushButton *pulsanteImmagine(QWidget *parent, const char *nome, const RettangoloControllo &twip,
                              const QString &icona, const QString &descrizione)
{
    auto *pulsante = new QPushButton(parent);
    pulsante->setObjectName(QLatin1String(nome));
    pulsante->setGeometry(rettangoloPixel(twip));
    pulsante->setIcon(::icona(icona));
    pulsante->setIconSize(pulsante->size() - QSize(8, 8));
    pulsante->setToolTip(descrizione);
    pulsante->setAccessibleName(descrizione);
    return pulsante;
}

} // namespace

void frmSplash::preparaImmagini()
{
    for (const char *nome : {"tabellone", "semaforo", "stop", "altoparlante_spento", "altoparlante", "stampante", "telefono"})
        pixmapIcona(QLatin1String(nome));
}

frmSplash::frmSplash(Richieste &richieste, QString cartellaImmagini, QString cartellaRegistro, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_richieste(richieste)
    , m_cartellaImmagini(std::move(cartellaImmagini))
    , m_cartellaRegistro(std::move(cartellaRegistro))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowIcon(icona(QStringLiteral("tabellone")));
    setWindowTitle(QString::fromUtf8(Identita::Titolo));
    setFixedSize(rettangoloPixel({0, 0, 7380, 4245}).size());

    auto *cornice = new QGroupBox(this);
    cornice->setGeometry(rettangoloPixel({150, 60, 7080, 4050}));

    const QString arial = QStringLiteral("Arial");
    imgLogo = new QLabel(cornice);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(rettangoloPixel({120, 240, 2055, 2355}));
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setPixmap(icona(QStringLiteral("tabellone")).pixmap(imgLogo->size()));

    lblProductName = etichetta(cornice, "lblProductName", {2280, 840, 4695, 855}, arial, 32.25, true);
    LblCommento = etichetta(cornice, "LblCommento", {2280, 1770, 4695, 375}, arial, 12, true);
    lblVersion = etichetta(cornice, "lblVersion", {6000, 2190, 885, 285}, arial, 12, true);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lblultima = etichetta(cornice, "Lblultima", {120, 2760, 4335, 255}, arial, 8.25, false);
    lblCopyright = etichetta(cornice, "lblCopyright", {120, 3180, 2415, 255}, arial, 8.25, false);
    lblCompany = etichetta(cornice, "lblCompany", {120, 3480, 4335, 255}, arial, 8.25, false);

    Frame1 = new QGroupBox(QStringLiteral("Seleziona Commento"), cornice);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(rettangoloPixel({4200, 2640, 2775, 1335}));
    Option1 = new QRadioButton(QStringLiteral("1"), Frame1);
    Option2 = new QRadioButton(QStringLiteral("2"), Frame1);
    Option3 = new QRadioButton(QStringLiteral("3"), Frame1);
    int riga = 0;
    for (QRadioButton *opzione : {Option1, Option2, Option3}) {
        opzione->setObjectName(QStringLiteral("Option") + opzione->text());
        opzione->setAccessibleName(QStringLiteral("Commenti di livello ") + opzione->text());
        QRect posto = rettangoloPixel({240, 240 + 360.0 * riga++, 375, 255});
        // This style's indicator is wider than the box allows for: never cut the digit.
        posto.setWidth(std::max(posto.width(), opzione->sizeHint().width()));
        opzione->setGeometry(posto);
    }
    Command2 = pulsanteImmagine(Frame1, "Command2", {1440, 240, 645, 975}, QStringLiteral("semaforo"),
                                QStringLiteral("Avvia il tabellone"));
    Command1 = pulsanteImmagine(Frame1, "Command1", {2070, 240, 645, 975}, QStringLiteral("stop"),
                                QStringLiteral("Termina il programma"));
    connect(Command2, &QPushButton::clicked, this, &frmSplash::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmSplash::fineProgramma);
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Option3);
    setTabOrder(Option3, Command1);
    setTabOrder(Command1, Command2);
    creaInterruttoreVoce();
    // Below the voice switch, in the frame's free corner: nothing else moves.
    CmdStampa = pulsanteImmagine(Frame1, "CmdStampa", {900, 960, 420, 330}, QStringLiteral("stampante"),
                                 QStringLiteral("Stampa cartelle"));
    CmdStampa->setIconSize(CmdStampa->size() - QSize(4, 4)); // a low button: a thinner margin
    setTabOrder(CmdVoce, CmdStampa);
    connect(CmdStampa, &QPushButton::clicked, this, &frmSplash::stampaCartelle);
    // Above the voice switch, in the frame's other free corner: nothing else moves.
    const QString telefoniInSala = QStringLiteral("Telefoni in sala");
    CmdTelefoni = pulsanteImmagine(Frame1, "CmdTelefoni", {900, 240, 420, 255}, QStringLiteral("telefono"),
                                   telefoniInSala);
    CmdTelefoni->setIconSize(CmdTelefoni->size() - QSize(4, 4));
    CmdTelefoni->setCheckable(true);
    setTabOrder(CmdStampa, CmdTelefoni);
    connect(CmdTelefoni, &QPushButton::toggled, this, &frmSplash::accendiTelefoni);

    lblVersion->setText(Identita::testoVersione());
    adattaAlTesto(lblVersion, true);
    lblProductName->setText(QString::fromUtf8(Identita::Titolo));
    adattaLarghezza(lblProductName);
    LblCommento->setText(QString::fromUtf8(Identita::Descrizione) + QLatin1Char(' ') + QString::fromUtf8(Identita::Titolo));
    adattaAlTesto(LblCommento, false);
    lblCompany->setText(QString::fromUtf8(Identita::NotaLegale));
    lblCopyright->setText(QStringLiteral("Copyright"));
}

// The board, its game resumed, is built once the start screen has been drawn
// (or sooner, by whatever needs it first): the start screen shows at once.
frmTabellone *frmSplash::tabellone()
{
    if (m_tabellone)
        return m_tabellone;
    m_tabellone = new frmTabellone(m_richieste, m_cartellaImmagini, m_cartellaRegistro, this);
    connect(m_tabellone, &frmTabellone::fineProgramma, this, &frmSplash::fineProgramma);
    // Ending leaves every event loop, a draw's pop-up included: that draw records nothing.
    connect(this, &frmSplash::fineProgramma, m_tabellone, [this] { m_tabellone->partita().termina(); });
    connect(this, &frmSplash::voceCambiata, m_tabellone, [this](Voce *voce) { m_tabellone->partita().impostaVoce(voce); });
    m_tabellone->partita().impostaVoce(voce());
    // Nothing listens until the switch or F8 turns it on.
    m_telefoni = new Telefoni(*m_tabellone, m_cartellaRegistro, this);
    connect(m_telefoni, &Telefoni::accesoCambiato, CmdTelefoni, [this](bool acceso) {
        const QSignalBlocker blocco(CmdTelefoni);
        CmdTelefoni->setChecked(acceso);
        CmdTelefoni->setToolTip(acceso ? QStringLiteral("Telefoni in sala: %1").arg(m_telefoni->indirizziPagina().value(0))
                                       : QStringLiteral("Telefoni in sala"));
    });
    m_tabellone->CaricaPartita(QStringLiteral("inizio"));
    Lblultima->setText(m_tabellone->ultimaPartita());
    return m_tabellone;
}

Telefoni *frmSplash::telefoni()
{
    tabellone();
    return m_telefoni;
}

void frmSplash::Command2_Click()
{
    if (Option1->isChecked())
        Dichiarazioni::Livello = 1;
    if (Option2->isChecked())
        Dichiarazioni::Livello = 2;
    if (Option3->isChecked())
        Dichiarazioni::Livello = 3;
    tabellone()->Livelli();
    // After F11 the board is already up as an ordinary window: bring it
    // forward instead of opening it a second time.
    if (m_tabellone->isVisible()) {
        m_tabellone->raise();
        m_tabellone->activateWindow();
        return;
    }
    m_tabellone->mostraModale();
}

// The voice switch sits in the free space of the frame, between the options
// and the traffic light.
void frmSplash::creaInterruttoreVoce()
{
    const QString descrizione = QStringLiteral("Annuncio a voce");
    CmdVoce = pulsanteImmagine(Frame1, "CmdVoce", {900, 510, 420, 420}, QString(), descrizione);
    CmdVoce->setIcon(iconaInterruttore(QStringLiteral("altoparlante_spento"), QStringLiteral("altoparlante")));
    CmdVoce->setCheckable(true);
    setTabOrder(Command2, CmdVoce);
    connect(CmdVoce, &QPushButton::toggled, this, &frmSplash::accendiVoce);
}

void frmSplash::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (std::exchange(m_disegnata, true))
        return;
    QTimer::singleShot(0, this, [this] {
        emit disegnata();
        tabellone();
    });
}

// The engine gets ready on its own thread when the switch is first turned on:
// a start with the voice off never loads it.

void frmSplash::preparaVoce()
{
    if (m_voce)
        return;
    m_voce = new VoceSintetica(this);
    connect(m_voce, &VoceSintetica::pronta, this, [this] {
        if (CmdVoce->isChecked())
            emit voceCambiata(m_voce);
    });
    connect(m_voce, &VoceSintetica::guasto, this, [this](const QString &motivo, bool eraPronta) {
        const bool inUso = eraPronta && CmdVoce->isChecked();
        spegniVocePerSempre(motivo);
        if (inUso)
            emit voceCambiata(nullptr);
    });
}

void frmSplash::accendiVoce(bool accesa)
{
    // Turned on before the engine was asked for: asked now. The switch stays
    // usable meanwhile, and the draws go on without a voice until it is ready.
    if (accesa)
        preparaVoce();
    if (!accesa || m_voce->stato() == VoceSintetica::Stato::Pronta)
        emit voceCambiata(voce());
}

// No message box: the switch itself says why it cannot be used.
void frmSplash::spegniVocePerSempre(const QString &motivo)
{
    const QSignalBlocker blocco(CmdVoce);
    CmdVoce->setChecked(false);
    CmdVoce->setEnabled(false);
    CmdVoce->setToolTip(motivo);
}

Voce *frmSplash::voce() const
{
    return CmdVoce->isChecked() && m_voce && m_voce->stato() == VoceSintetica::Stato::Pronta ? m_voce : nullptr;
}

void frmSplash::stampaCartelle()
{
    frmStampa dialogo(m_richieste, m_cartellaRegistro, serviziStampa, this);
    dialogo.exec();
}

void frmSplash::informazioni()
{
    frmAbout dialogo(m_richieste, serviziDiSistema(), this);
    dialogo.exec();
}

void frmSplash::keyPressEvent(QKeyEvent *event)
{
    const int codice = codiceTasto(event->key(), event->modifiers(), event->nativeVirtualKey());
    if (codice + mascheraModificatori(event->modifiers()) == CodiceF1)
        informazioni();
    else
        QWidget::keyPressEvent(event);
}

void frmSplash::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit fineProgramma();
}

void frmSplash::accendiTelefoni(bool acceso)
{
    if (!acceso) {
        telefoni()->spegni();
        return;
    }
    const QString errore = telefoni()->accendi();
    if (!errore.isEmpty()) {
        const QSignalBlocker blocco(CmdTelefoni);
        CmdTelefoni->setChecked(false);
        m_richieste.messaggio(this, errore, Richieste::Pulsanti::Ok, QStringLiteral("Telefoni in sala"));
    }
}
