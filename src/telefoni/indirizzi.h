// SPDX-License-Identifier: MIT
#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// An IPv4 address of this computer that phones on the same network can reach.
struct IndirizzoRete {
    QHostAddress indirizzo;
    QString interfaccia; // its name as the system shows it ("wlan0", "Wi-Fi")
    bool virtuale = false; // a virtual, VPN or container adapter, or a PPP link
};

// The addresses to offer, best first: private IPv4 ones of real adapters,
// then other private ones, then public ones; never loopback nor link-local
// (169.254.x.x), which no phone can reach.
QList<IndirizzoRete> ordinaIndirizzi(QList<IndirizzoRete> candidati);
// Whether an adapter's name or kind tells a virtual one (Docker, VirtualBox, a VPN …).
bool interfacciaVirtuale(const QString &nome, const QString &descrizione);
// This computer's addresses, through ordinaIndirizzi.
QList<IndirizzoRete> indirizziDelComputer();
