// SPDX-License-Identifier: MIT
// The Windows registry, read through advapi32's single-byte calls.
#include "infosistema.h"

#include <windows.h>

namespace {

class RegistroWindows final : public AccessoRegistro
{
public:
    std::optional<Chiave> apri(Chiave radice, const QByteArray &percorso, quint32 accesso) override
    {
        // The predefined roots are sign-extended handles on 64-bit Windows.
        const HKEY base = radice == ChiaveLocalMachine ? HKEY_LOCAL_MACHINE : reinterpret_cast<HKEY>(radice);
        HKEY chiave = nullptr;
        if (RegOpenKeyExA(base, percorso.constData(), 0, accesso, &chiave) != ERROR_SUCCESS)
            return std::nullopt;
        return reinterpret_cast<Chiave>(chiave);
    }

    bool interroga(Chiave chiave, const QByteArray &nome, quint32 &tipo, QByteArray &dati,
                   quint32 &dimensione) override
    {
        DWORD t = 0;
        DWORD d = dimensione;
        const LONG esito = RegQueryValueExA(reinterpret_cast<HKEY>(chiave), nome.constData(), nullptr, &t,
                                            reinterpret_cast<LPBYTE>(dati.data()), &d);
        tipo = t;
        dimensione = d;
        return esito == ERROR_SUCCESS;
    }

    void chiudi(Chiave chiave) override { RegCloseKey(reinterpret_cast<HKEY>(chiave)); }
};

} // namespace

std::unique_ptr<AccessoRegistro> registroDiSistema()
{
    return std::make_unique<RegistroWindows>();
}
