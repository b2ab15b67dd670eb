// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Read-only access to the system registry where the system-information tool
// is listed. Only Windows has one; tests supply their own.
class AccessoRegistro
{
public:
    using Chiave = quintptr;

    virtual ~AccessoRegistro() = default;
    virtual std::optional<Chiave> apri(Chiave radice, const QByteArray &percorso, quint32 accesso) = 0;
    // Reads the value into dati (already sized) and sets its type and the size read.
    virtual bool interroga(Chiave chiave, const QByteArray &nome, quint32 &tipo, QByteArray &dati,
                           quint32 &dimensione) = 0;
    virtual void chiudi(Chiave chiave) = 0;
};

inline constexpr AccessoRegistro::Chiave ChiaveLocalMachine = 0x80000002u;
// KEY_READ: the values are only read, and a standard user is refused any
// right to change the local-machine keys.
inline constexpr quint32 AccessoChiave = 0x20019;
inline constexpr quint32 TipoTesto = 1;
inline constexpr quint32 TipoNumero32 = 4;

// True when the value was read; on failure the result is emptied. Text values
// are returned as stored, 32-bit numbers in decimal, other types leave the
// result as passed.
bool GetKeyValue(AccessoRegistro &registro, AccessoRegistro::Chiave radice, const QString &percorso,
                 const QString &nome, QString &risultato);

// Where the system-information tool lies, looked up as Windows lists it.
std::optional<QString> percorsoInfoSistema(AccessoRegistro &registro,
                                           const std::function<bool(const QString &)> &fileEsiste);

// What starting the system-information tool needs from the machine.
struct ServiziInfoSistema {
    std::unique_ptr<AccessoRegistro> registro; // none where the platform has no registry
    std::function<bool(const QString &)> fileEsiste;
    std::function<bool(const QString &)> avvia; // starts without waiting; false on failure
};

ServiziInfoSistema serviziDiSistema();

// The machine's registry; nullptr where the platform has none.
std::unique_ptr<AccessoRegistro> registroDiSistema();

// Starts the tool; false when it is not available, whatever the reason.
bool StartSysInfo(ServiziInfoSistema &servizi);

inline constexpr auto MessaggioInfoNonDisponibili = "Le informazioni sul sistema non sono attualmente disponibili.";
