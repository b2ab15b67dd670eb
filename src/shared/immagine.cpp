// SPDX-License-Identifier: MIT
#include "immagine.h"

#include "dichiarazioni.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

QImage tessera(int numero)
{
    QImage immagine(300, 300, QImage::Format_RGB32);
    immagine.fill(QColor(250, 244, 228));
    QPainter p(&immagine);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(176, 28, 28), 8));
    p.drawRect(QRectF(12, 12, 276, 276));
    if (numero > 0) {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setBold(true);
        font.setPixelSize(170);
        p.setFont(font);
        p.drawText(immagine.rect(), Qt::AlignCenter, QString::number(numero));
    }
    p.end();
    return immagine;
}

// Global on purpose and never destroyed: controls may let go of their
// pictures while the program's statics are already being torn down.
struct Memoria {
    int decodifiche = 0;
    // Recently decoded files, newest first; at full size, so only a couple.
    std::deque<std::pair<QString, QImage>> recenti;
    // Scaled pictures by file and size; an entry goes with its last holder.
    QHash<QString, std::weak_ptr<const QPixmap>> scalate;
};

Memoria &memoria()
{
    static Memoria *m = new Memoria;
    return *m;
}

// The C library keeps freed heap for reuse, and a board's pictures are
// megabytes: once the pictures let go in one event have been freed (a new
// game frees ninety), the unused pages go back to the system.
void restituisciMemoria()
{
#if defined(__GLIBC__)
    static bool programmata = false;
    if (programmata || !QCoreApplication::instance())
        return;
    programmata = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        programmata = false;
        malloc_trim(0);
    });
#endif
}

} // namespace

QImage caricaImmagine(const QString &cartella, int numero)
{
    const QString percorso = QDir(cartella).filePath(Dichiarazioni::nomeImmagine(numero));
    auto &recenti = memoria().recenti;
    for (auto voce = recenti.begin(); voce != recenti.end(); ++voce) {
        if (voce->first == percorso) {
            const QImage trovata = voce->second;
            recenti.erase(voce);
            recenti.emplace_front(percorso, trovata);
            return trovata;
        }
    }
    ++memoria().decodifiche;
    QImage immagine = QImageReader(percorso).read();
    if (immagine.isNull()) {
        // Said once per file: the board loads the blank picture ninety times.
        static QSet<QString> segnalati;
        if (!segnalati.contains(percorso)) {
            segnalati.insert(percorso);
            std::fprintf(stderr, "tabellone: immagine mancante o illeggibile: %s\n",
                         qPrintable(QDir::toNativeSeparators(percorso)));
        }
        immagine = tessera(numero);
    }
    recenti.emplace_front(percorso, immagine);
    if (recenti.size() > 2)
        recenti.pop_back();
    return immagine;
}

std::shared_ptr<const QPixmap> immagineScalata(const QString &cartella, int numero, QSize pixel, qreal rapportoPixel)
{
    const QString chiave = QStringLiteral("%1|%2x%3@%4")
                               .arg(QDir(cartella).filePath(Dichiarazioni::nomeImmagine(numero)))
                               .arg(pixel.width())
                               .arg(pixel.height())
                               .arg(rapportoPixel);
    auto &scalate = memoria().scalate;
    if (const auto esistente = scalate.value(chiave).lock())
        return esistente;
    const QImage sorgente = caricaImmagine(cartella, numero);
    // Scaled as painting it stretched would, smooth, so cells look the same.
    QImage scalata(pixel.expandedTo(QSize(1, 1)),
                   sorgente.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    scalata.fill(Qt::transparent);
    {
        QPainter p(&scalata);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(scalata.rect(), sorgente);
    }
    auto *pixmap = new QPixmap(QPixmap::fromImage(std::move(scalata)));
    pixmap->setDevicePixelRatio(rapportoPixel);
    std::shared_ptr<const QPixmap> condivisa(pixmap, [chiave](const QPixmap *p) {
        auto &scalate = memoria().scalate;
        if (const auto voce = scalate.constFind(chiave); voce != scalate.cend() && voce->expired())
            scalate.erase(voce);
        delete p;
        restituisciMemoria();
    });
    scalate.insert(chiave, condivisa);
    return condivisa;
}

int decodificheImmagini()
{
    return memoria().decodifiche;
}

int immaginiScalateInUso()
{
    const auto &scalate = memoria().scalate;
    return int(std::count_if(scalate.cbegin(), scalate.cend(), [](const auto &voce) { return !voce.expired(); }));
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
    if (cartella == m_cartella && numero == m_numero)
        return;
    m_cartella = cartella;
    m_numero = numero;
    m_nome = Dichiarazioni::nomeImmagine(numero);
    // The picture shown so far is let go now: with no other holder it is freed.
    m_scalata.reset();
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
    if (m_numero < 0 || size().isEmpty()) {
        p.fillRect(rect(), palette().window());
        return;
    }
    const qreal rapporto = devicePixelRatioF();
    const QSize pixel = (QSizeF(size()) * rapporto).toSize();
    if (!m_scalata || m_scalata->size() != pixel)
        m_scalata = immagineScalata(m_cartella, m_numero, pixel, rapporto);
    p.drawPixmap(rect(), *m_scalata);
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
