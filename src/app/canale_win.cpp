// SPDX-License-Identifier: MIT
#include "canale.h"

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <vector>

namespace {

// The user of a process's token, as a buffer holding a TOKEN_USER.
std::vector<char> utenteDi(HANDLE processo)
{
    std::vector<char> dati;
    HANDLE token = nullptr;
    if (!OpenProcessToken(processo, TOKEN_QUERY, &token))
        return dati;
    DWORD lunghezza = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &lunghezza);
    dati.resize(lunghezza);
    if (lunghezza == 0 || !GetTokenInformation(token, TokenUser, dati.data(), lunghezza, &lunghezza))
        dati.clear();
    CloseHandle(token);
    return dati;
}

PSID sid(std::vector<char> &dati)
{
    return dati.empty() ? nullptr : reinterpret_cast<TOKEN_USER *>(dati.data())->User.Sid;
}

} // namespace

QString percorsoCanale(const QString &nome)
{
    // Pipe names are one namespace for the machine: the user's SID makes the name this user's.
    std::vector<char> io = utenteDi(GetCurrentProcess());
    wchar_t *testo = nullptr;
    if (!sid(io) || !ConvertSidToStringSidW(sid(io), &testo))
        return {};
    const QString esito = nome + QLatin1Char('-') + QString::fromWCharArray(testo);
    LocalFree(testo);
    return esito;
}

bool stessoUtente(qintptr descrittore)
{
    ULONG pid = 0;
    if (!GetNamedPipeServerProcessId(reinterpret_cast<HANDLE>(descrittore), &pid))
        return false;
    HANDLE processo = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!processo)
        return false;
    std::vector<char> altro = utenteDi(processo);
    CloseHandle(processo);
    std::vector<char> io = utenteDi(GetCurrentProcess());
    return sid(altro) && sid(io) && EqualSid(sid(altro), sid(io));
}
