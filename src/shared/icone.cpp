// SPDX-License-Identifier: MIT
#include "icone.h"

#include <QImageReader>
#include <QPixmapCache>

QPixmap pixmapIcona(const QString &nome)
{
    const QString chiave = QStringLiteral("tabellone:icona:") + nome;
    QPixmap pixmap;
    if (QPixmapCache::find(chiave, &pixmap))
        return pixmap;
    QImageReader lettore(QStringLiteral(":/icone/%1.png").arg(nome), "png");
    // Otherwise every plugin is asked first whether it reads PNG too.
    lettore.setAutoDetectImageFormat(false);
    pixmap = QPixmap::fromImage(lettore.read());
    QPixmapCache::insert(chiave, pixmap);
    return pixmap;
}

QIcon icona(const QString &nome)
{
    return QIcon(pixmapIcona(nome));
}

QIcon iconaInterruttore(const QString &spento, const QString &acceso)
{
    QIcon risultato;
    risultato.addPixmap(pixmapIcona(spento), QIcon::Normal, QIcon::Off);
    risultato.addPixmap(pixmapIcona(acceso), QIcon::Normal, QIcon::On);
    return risultato;
}
