// SPDX-License-Identifier: MIT
// Stands in for the system-information tool: started, it leaves "avviato.txt"
// beside itself, so the test sees it was started.
#include <windows.h>

#include <string>

int main()
{
    wchar_t percorso[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, percorso, MAX_PATH);
    std::wstring cartella(percorso, n);
    cartella.resize(cartella.find_last_of(L'\\') + 1);
    const HANDLE file = CreateFileW((cartella + L"avviato.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(file);
    return 0;
}
