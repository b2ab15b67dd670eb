// SPDX-License-Identifier: MIT
// The program's side of the network module: found beside the executable (a
// build, the zip, the Windows installation) or in the program's library folder
// (the Linux package), loaded once, never unloaded.
#include "modulorete.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

ModuloRete *moduloRete(QString *errore)
{
    static ModuloRete *modulo = nullptr;
    static QString motivo;
    if (!modulo && motivo.isEmpty()) {
        const QDir programma(QCoreApplication::applicationDirPath());
        for (const QString &cartella : {QStringLiteral("."), QStringLiteral(TABELLONE_MODULI)}) {
            QLibrary libreria(QDir::cleanPath(programma.filePath(cartella)) + QStringLiteral("/tabellone-rete"));
            if (const auto entrata = reinterpret_cast<ModuloRete *(*)()>(libreria.resolve("tabellone_modulo_rete"))) {
                modulo = entrata();
                break;
            }
            motivo = QStringLiteral("manca il modulo di rete del programma (%1)").arg(libreria.errorString());
        }
    }
    if (!modulo && errore)
        *errore = motivo;
    return modulo;
}
