// SPDX-License-Identifier: MIT
#include "primopiano.h"

#include <windows.h>

void cediPrimoPiano(qintptr descrittore)
{
    ULONG pid = 0;
    if (GetNamedPipeServerProcessId(reinterpret_cast<HANDLE>(descrittore), &pid))
        AllowSetForegroundWindow(pid);
}

void prendiPrimoPiano(quintptr finestra)
{
    const auto hwnd = reinterpret_cast<HWND>(finestra);
    if (!IsWindow(hwnd))
        return;
    // The board belongs to the start screen: with that minimised the board is
    // hidden too, and restoring the start screen does not always show it again.
    for (HWND proprietario = GetWindow(hwnd, GW_OWNER); proprietario; proprietario = GetWindow(proprietario, GW_OWNER)) {
        if (IsIconic(proprietario))
            ShowWindow(proprietario, SW_RESTORE);
    }
    if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    else if (!IsWindowVisible(hwnd))
        ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
}
