// SPDX-License-Identifier: MIT
#include "caratteri.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {

struct Sostituto {
    const char *richiesto;
    QStringList famiglie;
    QStringList file; // in the program's "caratteri" folder, if it came with them
};

} // namespace

void registraSostituti(const QString &cartellaProgramma)
{
    const Sostituto sostituti[] = {
        {"Arial Rounded MT Bold",
         {QStringLiteral("Quicksand"), QStringLiteral("Comfortaa"), QStringLiteral("Liberation Sans")},
         {QStringLiteral("Quicksand-Bold.ttf"), QStringLiteral("Quicksand-Regular.ttf")}},
        {"Lucida Handwriting",
         {QStringLiteral("Dancing Script"), QStringLiteral("URW Chancery L"), QStringLiteral("Liberation Serif")},
         {QStringLiteral("DancingScript-Regular.otf"), QStringLiteral("DancingScript-Bold.otf")}},
        {"Arial", {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")}, {}},
    };
    const QDir cartella(QDir(cartellaProgramma).filePath(QStringLiteral("caratteri")));
    // Listing the installed families costs start-up time: only done when
    // there are faces of our own to load.
    const QStringList installate = cartella.exists() ? QFontDatabase::families() : QStringList();
    for (const Sostituto &s : sostituti) {
        const QString richiesto = QString::fromLatin1(s.richiesto);
        if (installate.contains(richiesto, Qt::CaseInsensitive))
            continue;
        for (const QString &file : s.file)
            if (cartella.exists(file))
                QFontDatabase::addApplicationFont(cartella.filePath(file));
        QFont::insertSubstitutions(richiesto, s.famiglie);
    }
}
