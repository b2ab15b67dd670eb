// SPDX-License-Identifier: MIT
//
// Renders an SVG icon into a square PNG (the windows' pictures, the icon
// theme), or into a Windows .ico holding one PNG per size, so nothing that
// runs the program needs to read SVG.
//
// Usage: genera_icone <icon.svg> <output.png> <size>
//        genera_icone <icon.svg> <output.ico> <size>,<size>,...

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>

namespace {

QImage disegna(QSvgRenderer &svg, int lato)
{
    QImage immagine(lato, lato, QImage::Format_ARGB32_Premultiplied);
    immagine.fill(Qt::transparent);
    QPainter p(&immagine);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    return immagine;
}

template <typename T>
void aggiungi(QByteArray &dati, T valore)
{
    valore = qToLittleEndian(valore);
    dati.append(reinterpret_cast<const char *>(&valore), sizeof valore);
}

// An .ico is a directory of images; Windows Vista and later read PNG ones.
QByteArray icoDi(QSvgRenderer &svg, const QList<int> &lati)
{
    QList<QByteArray> png;
    for (int lato : lati) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        disegna(svg, lato).save(&buffer, "PNG");
        png.append(buffer.data());
    }
    QByteArray dati;
    aggiungi<quint16>(dati, 0); // reserved
    aggiungi<quint16>(dati, 1); // icon
    aggiungi<quint16>(dati, quint16(lati.size()));
    quint32 posizione = 6 + 16 * quint32(lati.size());
    for (qsizetype i = 0; i < lati.size(); ++i) {
        const quint8 lato = lati[i] >= 256 ? 0 : quint8(lati[i]); // 0 stands for 256
        aggiungi<quint8>(dati, lato);
        aggiungi<quint8>(dati, lato);
        aggiungi<quint8>(dati, 0); // no palette
        aggiungi<quint8>(dati, 0);
        aggiungi<quint16>(dati, 1); // planes
        aggiungi<quint16>(dati, 32); // bits per pixel
        aggiungi<quint32>(dati, quint32(png[i].size()));
        aggiungi<quint32>(dati, posizione);
        posizione += quint32(png[i].size());
    }
    for (const QByteArray &immagine : png)
        dati.append(immagine);
    return dati;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = QCoreApplication::arguments();
    QList<int> lati;
    if (argomenti.size() == 4)
        for (const QString &testo : argomenti[3].split(QLatin1Char(','))) {
            bool ok = false;
            const int lato = testo.toInt(&ok);
            if (ok && lato > 0 && lato <= 256)
                lati.append(lato);
            else {
                lati.clear();
                break;
            }
        }
    if (lati.isEmpty()) {
        std::fprintf(stderr, "uso: genera_icone <icona.svg> <uscita.png|uscita.ico> <lato>[,<lato>...]\n");
        return 2;
    }
    QSvgRenderer svg(argomenti[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "genera_icone: SVG non valido: %s\n", qPrintable(argomenti[1]));
        return 1;
    }
    bool scritto = false;
    if (argomenti[2].endsWith(QLatin1String(".ico"))) {
        QFile file(argomenti[2]);
        scritto = file.open(QIODevice::WriteOnly) && file.write(icoDi(svg, lati)) > 0 && file.flush();
    } else {
        scritto = disegna(svg, lati.first()).save(argomenti[2], "PNG");
    }
    if (!scritto) {
        std::fprintf(stderr, "genera_icone: impossibile scrivere %s\n", qPrintable(argomenti[2]));
        return 1;
    }
    return 0;
}
