// SPDX-License-Identifier: MIT
#include "codicetelefoni.h"

#include <QKeyEvent>
#include <QPainter>

#include <qrcodegen/qrcodegen.hpp>

QImage immagineQr(const QString &testo)
{
    try {
        const auto qr = qrcodegen::QrCode::encodeText(testo.toUtf8().constData(), qrcodegen::QrCode::Ecc::MEDIUM);
        const int margine = 4;
        const int lato = qr.getSize() + 2 * margine;
        QImage immagine(lato, lato, QImage::Format_Mono);
        immagine.fill(1);
        immagine.setColor(0, qRgb(0, 0, 0));
        immagine.setColor(1, qRgb(255, 255, 255));
        for (int y = 0; y < qr.getSize(); ++y)
            for (int x = 0; x < qr.getSize(); ++x)
                if (qr.getModule(x, y))
                    immagine.setPixel(x + margine, y + margine, 0);
        return immagine;
    } catch (const qrcodegen::data_too_long &) {
        return {};
    }
}

namespace {
// Only an address becomes a code: a message (no network) is just written.
QImage qrDi(const QString &testo)
{
    return testo.startsWith(QLatin1String("http://")) ? immagineQr(testo) : QImage();
}
} // namespace

frmCodiceTelefoni::frmCodiceTelefoni(QStringList indirizzi, QWidget *tabellone)
    : QWidget(tabellone)
    , m_indirizzi(std::move(indirizzi))
{
    setObjectName(QStringLiteral("frmCodiceTelefoni"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Indirizzo della pagina per i telefoni"));
    m_qr = qrDi(indirizzo());
    setGeometry(tabellone->rect());
    // The board may be resized (F11) while it shows.
    tabellone->installEventFilter(this);
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

bool frmCodiceTelefoni::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (oggetto == parent() && evento->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void frmCodiceTelefoni::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int testoAlto = std::max(24, height() / 14);
    const int lato = std::max(0, std::min(width() * 9 / 10, height() - 3 * testoAlto - 20));
    const QRect quadrato((width() - lato) / 2, 10, lato, lato);
    if (!m_qr.isNull())
        p.drawImage(quadrato, m_qr);
    QFont carattere(QStringLiteral("Arial"));
    carattere.setPixelSize(testoAlto * 8 / 10);
    carattere.setBold(true);
    p.setFont(carattere);
    p.setPen(Qt::black);
    p.drawText(QRect(0, quadrato.bottom() + 4, width(), testoAlto), Qt::AlignCenter, indirizzo());
    carattere.setPixelSize(testoAlto * 5 / 10);
    carattere.setBold(false);
    p.setFont(carattere);
    QString aiuto = QStringLiteral("Inquadra il codice con il telefono, sulla stessa rete Wi-Fi");
    if (m_indirizzi.size() > 1)
        aiuto += QStringLiteral(" · Tab: un'altra rete (%1 di %2)").arg(m_scelto + 1).arg(m_indirizzi.size());
    p.drawText(QRect(0, quadrato.bottom() + 4 + testoAlto, width(), testoAlto), Qt::AlignCenter, aiuto);
}

void frmCodiceTelefoni::keyPressEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    if (event->key() == Qt::Key_Tab && m_indirizzi.size() > 1) {
        m_scelto = (m_scelto + 1) % int(m_indirizzi.size());
        m_qr = qrDi(indirizzo());
        update();
        return;
    }
    chiudi();
}

void frmCodiceTelefoni::mousePressEvent(QMouseEvent *)
{
    chiudi();
}

void frmCodiceTelefoni::chiudi()
{
    QWidget *tabellone = parentWidget();
    close();
    tabellone->setFocus(Qt::OtherFocusReason);
}
