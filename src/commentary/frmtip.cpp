// SPDX-License-Identifier: MIT
#include "frmtip.h"

#include "immagine.h"
#include "pittura.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

namespace {

QPointer<frmTip> g_istanza;

// The comment label closes the pop-up when clicked, like the picture.
class EtichettaCommento : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (rect().contains(event->position().toPoint()))
            window()->close();
    }
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

    LblSmorfia = new EtichettaCommento(this);
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
    // The pop-up is not shown yet, so its own frame is unknown: the owner's
    // frame is the same window manager's.
    QSize cornice(0, 0);
    if (const QWidget *proprietario = parentWidget())
        cornice = proprietario->frameGeometry().size() - proprietario->size();
    resize(std::max(1, qRound(twipInPixel(larghezza)) - cornice.width()),
           std::max(1, qRound(twipInPixel(altezza)) - cornice.height()));
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
}
