// SPDX-License-Identifier: MIT
#include "fileproprio.h"

#include <QDir>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Windows has no owner check here: a user's folders are not shared by default,
// and a file's owner says little where administrators own what they copy.

namespace {

std::wstring nativo(const QString &percorso)
{
    return QDir::toNativeSeparators(percorso).toStdWString();
}

Natura naturaAttributi(DWORD attributi)
{
    if (attributi & FILE_ATTRIBUTE_REPARSE_POINT)
        return Natura::Collegamento;
    if (attributi & FILE_ATTRIBUTE_DIRECTORY)
        return Natura::NonOrdinario;
    return Natura::Proprio;
}

HANDLE maniglia(int descrittore)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(descrittore));
}

} // namespace

// Shared with cartellaprotetta_win.cpp.
QString erroreWindows(DWORD codice)
{
    wchar_t *testo = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, codice, 0, reinterpret_cast<wchar_t *>(&testo), 0, nullptr);
    const QString esito = testo ? QString::fromWCharArray(testo).trimmed() : QString::number(codice);
    LocalFree(testo);
    return esito;
}

Natura naturaDi(const QString &percorso)
{
    // The entry itself, a folder too, never what a reparse point leads to.
    HANDLE h = CreateFileW(nativo(percorso).c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD codice = GetLastError();
        return codice == ERROR_FILE_NOT_FOUND || codice == ERROR_PATH_NOT_FOUND ? Natura::Manca : Natura::Errore;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool letta = GetFileInformationByHandle(h, &info);
    const bool disco = GetFileType(h) == FILE_TYPE_DISK;
    CloseHandle(h);
    if (!letta)
        return Natura::Errore;
    const Natura natura = naturaAttributi(info.dwFileAttributes);
    if (natura == Natura::Proprio && !disco)
        return Natura::NonOrdinario;
    return natura == Natura::Proprio && info.nNumberOfLinks > 1 ? Natura::PiuNomi : natura;
}

Apertura apriProprio(const QString &percorso, bool scrittura)
{
    Apertura esito;
    const std::wstring nome = nativo(percorso);
    const DWORD accesso = GENERIC_READ | (scrittura ? GENERIC_WRITE : 0);
    const DWORD condivisione = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // The link itself is opened, never what it points to.
    const DWORD opzioni = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE h = INVALID_HANDLE_VALUE;
    if (scrittura) {
        h = CreateFileW(nome.c_str(), accesso, condivisione, nullptr, CREATE_NEW, opzioni, nullptr);
        esito.creato = h != INVALID_HANDLE_VALUE;
    }
    if (h == INVALID_HANDLE_VALUE && (!scrittura || GetLastError() == ERROR_FILE_EXISTS))
        h = CreateFileW(nome.c_str(), accesso, condivisione, nullptr, OPEN_EXISTING, opzioni, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD codice = GetLastError();
        const Natura vista = naturaDi(percorso);
        // No folder, no file in it.
        const bool manca = codice == ERROR_FILE_NOT_FOUND || codice == ERROR_PATH_NOT_FOUND;
        esito.natura = vista == Natura::Proprio || vista == Natura::Manca ? (manca ? Natura::Manca : Natura::Errore) : vista;
        esito.errore = erroreWindows(codice);
        return esito;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    esito.natura = GetFileInformationByHandle(h, &info) ? naturaAttributi(info.dwFileAttributes) : Natura::Errore;
    if (esito.natura == Natura::Proprio && info.nNumberOfLinks > 1)
        esito.natura = Natura::PiuNomi;
    if (esito.natura == Natura::Proprio && GetFileType(h) != FILE_TYPE_DISK)
        esito.natura = Natura::NonOrdinario;
    if (esito.natura != Natura::Proprio) {
        CloseHandle(h);
        return esito;
    }
    esito.descrittore = _open_osfhandle(reinterpret_cast<intptr_t>(h), scrittura ? _O_RDWR | _O_BINARY : _O_RDONLY | _O_BINARY);
    if (esito.descrittore < 0) {
        CloseHandle(h);
        esito.natura = Natura::Errore;
    }
    return esito;
}

int bloccaEsclusivo(int descrittore)
{
    // One byte far past any content, so that other processes can still read the lock.
    OVERLAPPED dove{};
    dove.OffsetHigh = 1;
    if (LockFileEx(maniglia(descrittore), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &dove))
        return 1;
    return GetLastError() == ERROR_LOCK_VIOLATION ? 0 : -1;
}

bool stessoFile(int descrittore, const QString &percorso)
{
    HANDLE altro = CreateFileW(nativo(percorso).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (altro == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const bool uguali = GetFileInformationByHandle(maniglia(descrittore), &a) && GetFileInformationByHandle(altro, &b)
                        && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh
                        && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(altro);
    return uguali;
}

QByteArray identitaDi(const QString &percorso)
{
    // No access asked: only what the file is; a folder opens with backup semantics.
    const HANDLE file = CreateFileW(nativo(percorso).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool letta = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!letta)
        return {};
    return QByteArray::number(quint64(info.dwVolumeSerialNumber)) + ':'
           + QByteArray::number((quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

qint64 inizioDati(int, qint64 da)
{
    // Sparse files are rare on Windows: read through.
    return da;
}

void chiudi(int descrittore)
{
    if (descrittore >= 0)
        _close(descrittore);
}

bool soloProprietario(const QString &)
{
    // A folder under the user's profile already is the user's own.
    return true;
}

bool soloAlProprietario(int)
{
    // A file under the user's profile already is the user's own.
    return true;
}
