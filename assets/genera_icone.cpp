// SPDX-License-Identifier: MIT
//
// Renders the program icon's SVG into square PNGs for the icon theme, so
// menus that do not draw SVG show the same picture.
//
// Usage: genera_icone <icon.svg> <output.png> <size>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = QCoreApplication::arguments();
    bool ok = false;
    const int lato = argomenti.size() == 4 ? argomenti[3].toInt(&ok) : 0;
    if (!ok || lato <= 0) {
        std::fprintf(stderr, "uso: genera_icone <icona.svg> <uscita.png> <lato>\n");
        return 2;
    }
    QSvgRenderer svg(argomenti[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "genera_icone: SVG non valido: %s\n", qPrintable(argomenti[1]));
        return 1;
    }
    QImage immagine(lato, lato, QImage::Format_ARGB32_Premultiplied);
    immagine.fill(Qt::transparent);
    {
        QPainter p(&immagine);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p);
    }
    if (!immagine.save(argomenti[2], "PNG")) {
        std::fprintf(stderr, "genera_icone: impossibile scrivere %s\n", qPrintable(argomenti[2]));
        return 1;
    }
    return 0;
}
