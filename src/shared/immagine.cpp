// SPDX-License-Identifier: MIT
#include "immagine.h"

#include "dichiarazioni.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>

#include <cmath>
#include <cstdio>

namespace {

QPixmap tessera(int numero)
{
    QPixmap pixmap(300, 300);
    pixmap.fill(QColor(250, 244, 228));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(176, 28, 28), 8));
    p.drawRect(QRectF(12, 12, 276, 276));
    if (numero > 0) {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setBold(true);
        font.setPixelSize(170);
        p.setFont(font);
        p.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(numero));
    }
    return pixmap;
}

} // namespace

QPixmap caricaImmagine(const QString &cartella, int numero)
{
    const QString percorso = QDir(cartella).filePath(Dichiarazioni::nomeImmagine(numero));
    QPixmap pixmap(percorso);
    if (!pixmap.isNull())
        return pixmap;
    // Said once per file: the board loads the blank picture ninety times.
    static QSet<QString> segnalati;
    if (!segnalati.contains(percorso)) {
        segnalati.insert(percorso);
        std::fprintf(stderr, "tabellone: immagine mancante o illeggibile: %s\n", qPrintable(QDir::toNativeSeparators(percorso)));
    }
    return tessera(numero);
}

QRect rettangoloPixel(const RettangoloControllo &twip)
{
    const int sinistra = static_cast<int>(std::lround(twip.left / TwipPerPixel));
    const int alto = static_cast<int>(std::lround(twip.top / TwipPerPixel));
    const int destra = static_cast<int>(std::lround((twip.left + twip.width) / TwipPerPixel));
    const int basso = static_cast<int>(std::lround((twip.top + twip.height) / TwipPerPixel));
    return QRect(QPoint(sinistra, alto), QSize(std::max(0, destra - sinistra), std::max(0, basso - alto)));
}

Immagine::Immagine(int indice, QWidget *parent)
    : QWidget(parent)
    , m_indice(indice)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void Immagine::carica(const QString &cartella, int numero)
{
    m_immagine = caricaImmagine(cartella, numero);
    m_nome = Dichiarazioni::nomeImmagine(numero);
    update();
}

void Immagine::posiziona(const RettangoloControllo &twip)
{
    m_rettangolo = twip;
    setGeometry(rettangoloPixel(twip));
}

void Immagine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_immagine.isNull())
        p.fillRect(rect(), palette().window());
    else
        p.drawPixmap(rect(), m_immagine);
}

void Immagine::mousePressEvent(QMouseEvent *event)
{
    m_premuto = event->button() == Qt::LeftButton;
}

void Immagine::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clic = m_premuto && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_premuto = false;
    emit rilasciato(m_indice, event->button());
    if (clic)
        emit cliccato(m_indice);
}

void Immagine::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doppioClic(m_indice);
}
