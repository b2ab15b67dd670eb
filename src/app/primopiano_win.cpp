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
    if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
}
