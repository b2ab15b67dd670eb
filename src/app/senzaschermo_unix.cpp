// SPDX-License-Identifier: MIT
#include "senzaschermo.h"

#include <QByteArray>
#include <QtGlobal>

// Without a display the usual platform cannot start; offscreen draws the same.
void preparaPiattaformaPerFile(bool serveSchermo)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const bool schermo = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!serveSchermo || !schermo)
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
}
