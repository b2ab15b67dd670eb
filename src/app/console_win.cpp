// SPDX-License-Identifier: MIT
#include "console.h"

#include <QByteArray>

#include <io.h>
#include <windows.h>

// A console reads bytes in its own code page (an OEM one, not UTF-8): it is
// given the characters themselves. Anything else gets UTF-8 through the C
// stream, whose text mode ends the lines with CR LF.
void scriviTesto(std::FILE *flusso, const QString &testo)
{
    std::fflush(flusso);
    const auto maniglia = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(flusso)));
    DWORD modo = 0;
    if (maniglia != INVALID_HANDLE_VALUE && GetConsoleMode(maniglia, &modo)) {
        const QString righe = QString(testo).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        const auto *caratteri = reinterpret_cast<const wchar_t *>(righe.utf16());
        DWORD restanti = DWORD(righe.size()), scritti = 0;
        while (restanti > 0 && WriteConsoleW(maniglia, caratteri, restanti, &scritti, nullptr) && scritti > 0) {
            caratteri += scritti;
            restanti -= scritti;
        }
        return;
    }
    const QByteArray byte = testo.toUtf8();
    std::fwrite(byte.constData(), 1, std::size_t(byte.size()), flusso);
    std::fflush(flusso);
}
