// SPDX-License-Identifier: MIT
#include "console.h"

#include <QByteArray>

// Terminals here read UTF-8 like pipes and files.
void scriviTesto(std::FILE *flusso, const QString &testo)
{
    const QByteArray byte = testo.toUtf8();
    std::fwrite(byte.constData(), 1, std::size_t(byte.size()), flusso);
    std::fflush(flusso);
}
