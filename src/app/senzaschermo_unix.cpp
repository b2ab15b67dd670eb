// SPDX-License-Identifier: MIT
#include "senzaschermo.h"

#include <QByteArray>
#include <QtGlobal>

// Without a display the usual platform cannot start; offscreen draws the same.
void impostaPiattaformaSenzaSchermo()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
}
