// SPDX-License-Identifier: MIT
#include "cartellaprotetta.h"

#include <QDir>
#include <QRandomGenerator>

#include <windows.h>

#include <vector>

// Windows opens files by path only (short of its native calls), so here the
// folder is held open to pin it, every file is opened without following a
// reparse point, and a replacement is renamed by the handle of the file
// written: what the name points to is never opened.

QString erroreWindows(DWORD codice); // fileproprio_win.cpp

namespace {

std::wstring nativo(const QString &percorso)
{
    return QDir::toNativeSeparators(percorso).toStdWString();
}

QByteArray identita(const BY_HANDLE_FILE_INFORMATION &info)
{
    return QByteArray::number(quint64(info.dwVolumeSerialNumber)) + ':'
           + QByteArray::number((quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

QString motivoScrittura(DWORD codice, bool creando)
{
    if (codice == ERROR_DISK_FULL || codice == ERROR_HANDLE_DISK_FULL)
        return QStringLiteral("il disco è pieno (%1)").arg(erroreWindows(codice));
    if (creando && (codice == ERROR_ACCESS_DENIED || codice == ERROR_WRITE_PROTECT))
        return QStringLiteral("la cartella non permette di scrivere (%1)").arg(erroreWindows(codice));
    if (creando)
        return QStringLiteral("la cartella non permette di creare il file (%1)").arg(erroreWindows(codice));
    return QStringLiteral("la scrittura non è riuscita (%1)").arg(erroreWindows(codice));
}

// Renames the open file over nome by its handle: the entry at nome, whatever it is, is replaced.
bool rinomina(HANDLE file, const std::wstring &nome)
{
    std::vector<char> spazio(sizeof(FILE_RENAME_INFO) + nome.size() * sizeof(wchar_t));
    auto *info = reinterpret_cast<FILE_RENAME_INFO *>(spazio.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = DWORD(nome.size() * sizeof(wchar_t));
    std::copy(nome.begin(), nome.end(), info->FileName);
    return SetFileInformationByHandle(file, FileRenameInfo, info, DWORD(spazio.size()));
}

} // namespace

CartellaProtetta::CartellaProtetta(QString percorso)
    : m_percorso(QDir::cleanPath(percorso))
{
    assicuraAperta();
}

CartellaProtetta::~CartellaProtetta()
{
    if (m_maniglia != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_maniglia));
}

bool CartellaProtetta::assicuraAperta() const
{
    if (m_maniglia != -1)
        return true;
    // Open with delete sharing refused: the folder cannot be renamed away while the board holds it.
    HANDLE h = CreateFileW(nativo(m_percorso).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(h);
        return false;
    }
    m_maniglia = reinterpret_cast<qintptr>(h);
    m_identita = identita(info);
    return true;
}

QString CartellaProtetta::cambiata() const
{
    if (!assicuraAperta())
        return QStringLiteral("non si può aprire");
    HANDLE ora = CreateFileW(nativo(m_percorso).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (ora == INVALID_HANDLE_VALUE)
        return QStringLiteral("non c'è più (%1)").arg(erroreWindows(GetLastError()));
    BY_HANDLE_FILE_INFORMATION info{};
    const bool letta = GetFileInformationByHandle(ora, &info);
    CloseHandle(ora);
    if (!letta || identita(info) != m_identita)
        return QStringLiteral("non è più quella aperta all'avvio (un disco tolto, o una cartella sostituita)");
    return {};
}

Natura CartellaProtetta::natura(const QString &nome) const
{
    return naturaDi(percorsoDi(nome));
}

Apertura CartellaProtetta::apriFile(const QString &nome, bool scrittura) const
{
    return apriProprio(percorsoDi(nome), scrittura);
}

EsitoScrittura CartellaProtetta::sostituisci(const QString &nome, const QByteArray &contenuto) const
{
    if (const QString motivo = cambiata(); !motivo.isEmpty())
        return {QStringLiteral("la cartella %1 %2").arg(QDir::toNativeSeparators(m_percorso), motivo)};
    const Natura vista = natura(nome);
    if (vista != Natura::Proprio && vista != Natura::Manca)
        return {vista == Natura::Errore ? QStringLiteral("il file non si può esaminare") : descriviNatura(vista)};
    const std::wstring destinazione = nativo(percorsoDi(nome));
    if (vista == Natura::Proprio && (GetFileAttributesW(destinazione.c_str()) & FILE_ATTRIBUTE_READONLY))
        return {QStringLiteral("il file è di sola lettura")};

    static constexpr char Lettere[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring temporaneo;
    for (int tentativo = 0; tentativo < 32 && file == INVALID_HANDLE_VALUE; ++tentativo) {
        QString lettere;
        for (int i = 0; i < 6; ++i)
            lettere += QLatin1Char(Lettere[QRandomGenerator::global()->bounded(int(sizeof Lettere - 1))]);
        temporaneo = nativo(percorsoDi(nome + QLatin1Char('.') + lettere));
        file = CreateFileW(temporaneo.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return {motivoScrittura(GetLastError(), true)};
    }
    if (file == INVALID_HANDLE_VALUE)
        return {motivoScrittura(ERROR_FILE_EXISTS, true)};
    const auto annulla = [&](const QString &motivo) {
        CloseHandle(file);
        DeleteFileW(temporaneo.c_str());
        return EsitoScrittura{motivo};
    };
    const char *dati = contenuto.constData();
    qsizetype resta = contenuto.size();
    while (resta > 0) {
        DWORD scritti = 0;
        if (!WriteFile(file, dati, DWORD(std::min<qsizetype>(resta, 1 << 20)), &scritti, nullptr) || scritti == 0)
            return annulla(motivoScrittura(GetLastError(), false));
        dati += scritti;
        resta -= scritti;
    }
    if (!FlushFileBuffers(file))
        return annulla(motivoScrittura(GetLastError(), false));
    if (!rinomina(file, destinazione)) {
        const DWORD codice = GetLastError();
        return annulla(QStringLiteral("il file registrato non può essere sostituito (%1)").arg(erroreWindows(codice)));
    }
    CloseHandle(file);
    return {};
}

bool CartellaProtetta::rimuovi(const QString &nome) const
{
    return natura(nome) == Natura::Proprio && DeleteFileW(nativo(percorsoDi(nome)).c_str());
}
