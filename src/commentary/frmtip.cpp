// SPDX-License-Identifier: MIT
#include "frmtip.h"

#include "immagine.h"
#include "pittura.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <optional>
#include <tuple>
#include <utility>

namespace {

QPointer<frmTip> g_istanza;
// The frame the window manager gave the last pop-up: the next one gets the same.
std::optional<QMargins> g_cornice;

// The comment label closes the pop-up when clicked, like the picture, and
// tells when its place changes.
class EtichettaCommento : public QLabel
{
public:
    EtichettaCommento(QWidget *parent, std::function<void()> spostata)
        : QLabel(parent)
        , m_spostata(std::move(spostata))
    {
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        m_spostata();
    }
    void moveEvent(QMoveEvent *event) override
    {
        QLabel::moveEvent(event);
        m_spostata();
    }
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            window()->close();
    }

private:
    std::function<void()> m_spostata;
};

} // namespace

frmTip *frmTip::istanza(QWidget *proprietario)
{
    if (!g_istanza)
        g_istanza = new frmTip(proprietario);
    return g_istanza;
}

frmTip *frmTip::caricato()
{
    return g_istanza;
}

frmTip::frmTip(QWidget *proprietario)
    : QDialog(proprietario, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmTip"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("La tombola della smorfia "));
    setFocusPolicy(Qt::StrongFocus);
    resize(qRound(twipInPixel(8130)), qRound(twipInPixel(8280)));

    ImgNumero = new Immagine(0, this);
    ImgNumero->setObjectName(QStringLiteral("ImgNumero"));
    ImgNumero->setAccessibleName(QStringLiteral("Numero estratto"));
    ImgNumero->posiziona({0, 0, 8175, 6495});
    connect(ImgNumero, &Immagine::cliccato, this, &QWidget::close);

    LblSmorfia = new EtichettaCommento(this, [this] { adattaCommento(); });
    LblSmorfia->setObjectName(QStringLiteral("LblSmorfia"));
    LblSmorfia->setAccessibleName(QStringLiteral("Commento"));
    LblSmorfia->setGeometry(rettangoloPixel({0, 6600, 8055, 1575}));
    LblSmorfia->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    LblSmorfia->setWordWrap(true);
    LblSmorfia->setFocusPolicy(Qt::NoFocus);
    QFont font(QStringLiteral("Lucida Handwriting"));
    font.setBold(true);
    font.setPointSizeF(8.25);
    LblSmorfia->setFont(font);
}

void frmTip::impostaDimensioneEsterna(double larghezza, double altezza)
{
    m_esterna = QSize(qRound(twipInPixel(larghezza)), qRound(twipInPixel(altezza)));
    // Before its first showing a pop-up's frame is unknown: the owner's is
    // the same window manager's, unless a maximised owner has lost its border.
    QMargins cornice;
    if (g_cornice)
        cornice = *g_cornice;
    else if (const QWidget *proprietario = parentWidget())
        cornice = QMargins(0, 0, proprietario->frameGeometry().width() - proprietario->width(),
                           proprietario->frameGeometry().height() - proprietario->height());
    m_corniceVerificata = false;
    resize(std::max(1, m_esterna.width() - cornice.left() - cornice.right()),
           std::max(1, m_esterna.height() - cornice.top() - cornice.bottom()));
}

void frmTip::impostaCommento(const QString &commento)
{
    LblSmorfia->setText(commento);
    LblSmorfia->setAccessibleDescription(commento);
    adattaCommento();
}

void frmTip::impostaPuntiCommento(double punti)
{
    m_puntiCommento = punti;
    adattaCommento();
}

void frmTip::adattaCommento()
{
    // The label reaches below the window (its height and the window's are
    // given apart), and the picture's frame, drawn on the window under the
    // label, covers its top by half the frame's width: the text goes in the
    // part left, at the largest size that fits there.
    if (!LblSmorfia)
        return;
    const QRect etichetta = LblSmorfia->geometry();
    QRect spazio = etichetta & rect();
    for (const Segmento &segmento : m_superficie.segmenti()) {
        const QRect coperto = ingombro(segmento).toAlignedRect();
        if (!coperto.intersects(spazio))
            continue;
        if (coperto.center().y() <= spazio.center().y())
            spazio.setTop(coperto.bottom() + 1);
        else
            spazio.setBottom(coperto.top() - 1);
    }
    if (spazio.isEmpty())
        spazio = QRect(etichetta.topLeft(), QSize(0, 0));
    LblSmorfia->setContentsMargins(spazio.left() - etichetta.left(), spazio.top() - etichetta.top(),
                                   std::max(0, etichetta.right() - spazio.right()),
                                   std::max(0, etichetta.bottom() - spazio.bottom()));
    // Measured again only when something it depends on has changed: a draw
    // sets sizes, text and font one by one, and the window is resized twice.
    auto misura = std::make_tuple(LblSmorfia->contentsRect().size(), LblSmorfia->text(), m_puntiCommento);
    if (misura == m_misuraCommento)
        return;
    QFont font = LblSmorfia->font();
    font.setPointSizeF(puntiCheEntrano(font, std::get<0>(misura), int(LblSmorfia->alignment()), std::get<1>(misura),
                                       m_puntiCommento));
    m_misuraCommento = std::move(misura);
    if (font != LblSmorfia->font())
        LblSmorfia->setFont(font);
}

void frmTip::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The picture's frame may have been drawn again since the comment was set.
    adattaCommento();
    // The window manager tells this window's own frame a moment after it is
    // mapped, and sends no event for it: look once at once, and once more
    // shortly after.
    QTimer::singleShot(0, this, &frmTip::verificaCornice);
    QTimer::singleShot(200, this, &frmTip::verificaCornice);
    if (m_chiudiDopo > 0)
        QTimer::singleShot(std::exchange(m_chiudiDopo, 0), this, &QWidget::close);
}

void frmTip::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    adattaCommento();
}

void frmTip::verificaCornice()
{
    if (m_corniceVerificata || m_esterna.isEmpty() || !windowHandle())
        return;
    const QMargins cornice = windowHandle()->frameMargins();
    if (cornice.isNull())
        return;
    // Once per showing, so that a resize by the user is left alone.
    m_corniceVerificata = true;
    g_cornice = cornice;
    const QSize interna(std::max(1, m_esterna.width() - cornice.left() - cornice.right()),
                        std::max(1, m_esterna.height() - cornice.top() - cornice.bottom()));
    if (size() != interna)
        resize(interna);
}

void frmTip::keyPressEvent(QKeyEvent *event)
{
    // Keys that type nothing (function keys, arrows, modifiers) leave it open.
    if (!event->text().isEmpty())
        close();
}

void frmTip::mousePressEvent(QMouseEvent *)
{
    close();
}

void frmTip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    dipingi(p, m_superficie);
    // A moment after the first paint: the window manager is still putting the
    // window on screen then, and work started at once (the speech engine
    // spawns its synthesiser) made the pop-up appear 15-20 ms later on a
    // two-core machine. A sixth of a second is not heard as a delay.
    if (m_allaComparsa)
        QTimer::singleShot(150, this, std::exchange(m_allaComparsa, nullptr));
}
