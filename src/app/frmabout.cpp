// SPDX-License-Identifier: MIT
#include "frmabout.h"

#include "icone.h"
#include "identita.h"
#include "immagine.h"
#include "richieste.h"
#include "testi.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

QLabel *etichetta(QWidget *parent, const char *nome, const RettangoloControllo &twip, const QString &testo)
{
    auto *label = new QLabel(testo, parent);
    label->setObjectName(QLatin1String(nome));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(rettangoloPixel(twip));
    return label;
}

} // namespace

frmAbout::frmAbout(Richieste &richieste, ServiziInfoSistema servizi, QWidget *proprietario)
    : QDialog(proprietario, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                                | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_richieste(richieste)
    , m_servizi(std::move(servizi))
{
    setObjectName(QStringLiteral("frmAbout"));
    const QString titolo = QString::fromUtf8(Identita::Titolo);
    setWindowTitle(QStringLiteral("Informazioni su ") + titolo);
    setFixedSize(rettangoloPixel({0, 0, 5730, 3555}).size());

    picIcon = etichetta(this, "picIcon", {120, 240, 780, 780}, {});
    picIcon->setPixmap(icona(QStringLiteral("tabellone")).pixmap(picIcon->size()));
    picIcon->setAccessibleName(titolo);

    lblTitle = etichetta(this, "lblTitle", {1050, 240, 3885, 360}, titolo);
    QFont grassetto = lblTitle->font();
    grassetto.setBold(true);
    grassetto.setPointSizeF(grassetto.pointSizeF() * 1.25);
    lblTitle->setFont(grassetto);
    lblVersion = etichetta(this, "lblVersion", {1050, 600, 3885, 225}, Identita::testoVersione());
    lblDescription = etichetta(this, "lblDescription", {1050, 960, 3885, 450}, QString::fromUtf8(DescrizioneProgramma));
    lblDescription->setWordWrap(true);
    lblDisclaimer = etichetta(this, "lblDisclaimer", {120, 1545, 5430, 1905}, testoAvvertenze());
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Every key line shows: a system font taller than this box was made for
    // (Windows' Segoe UI), or the card-check and computer-draw lines, would cut
    // the last ones. Thirteen lines need 5.5 points in this box.
    for (QFont font = lblDisclaimer->font(); font.pointSizeF() > 5
         && lblDisclaimer->sizeHint().boundedTo(lblDisclaimer->size()) != lblDisclaimer->sizeHint();) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        lblDisclaimer->setFont(font);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(rettangoloPixel({4320, 120, 1260, 345}));
    cmdOK->setDefault(true); // Enter presses it; Esc closes the dialog as well
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(rettangoloPixel({4320, 480, 1245, 345}));
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    picIcon->setFocusPolicy(Qt::TabFocus);
    setTabOrder(cmdOK, picIcon);
    setTabOrder(picIcon, cmdSysInfo);
    cmdOK->setFocus();
}

void frmAbout::StartSysInfo()
{
    if (!::StartSysInfo(m_servizi))
        m_richieste.messaggio(this, QString::fromUtf8(MessaggioInfoNonDisponibili), Richieste::Pulsanti::Ok,
                              QString::fromUtf8(Identita::Titolo));
}

void frmAbout::paintEvent(QPaintEvent *)
{
    // An etched separator: a grey line with a white one under it.
    QPainter p(this);
    const double y = twipInPixel(1440);
    p.setPen(QPen(QColor(128, 128, 128), 1));
    p.drawLine(QPointF(twipInPixel(90), y), QPointF(twipInPixel(5654), y));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(twipInPixel(105), y + 1.5), QPointF(twipInPixel(5654), y + 1.5));
}
