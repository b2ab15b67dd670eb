// SPDX-License-Identifier: MIT
#include "identita.h"

namespace Identita {

QString testoVersione()
{
    return QStringLiteral("Versione %1.%2.%3").arg(VersioneMaggiore).arg(VersioneMinore).arg(Revisione);
}

} // namespace Identita
