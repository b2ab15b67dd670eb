// SPDX-License-Identifier: MIT
#include "indirizzi.h"

#include <QNetworkInterface>

#include <algorithm>

namespace {

bool privato(quint32 a)
{
    return (a >> 24) == 10 || (a >> 20) == (172u << 4 | 1) || (a >> 16) == (192u << 8 | 168);
}

int rango(const IndirizzoRete &r)
{
    const quint32 a = r.indirizzo.toIPv4Address();
    return (privato(a) ? 0 : 2) + (r.virtuale ? 1 : 0) * (privato(a) ? 1 : 2);
}

} // namespace

bool interfacciaVirtuale(const QString &nome, const QString &descrizione)
{
    static const QStringList segni = {
        QStringLiteral("docker"), QStringLiteral("veth"), QStringLiteral("br-"), QStringLiteral("virbr"),
        QStringLiteral("vmnet"), QStringLiteral("vbox"), QStringLiteral("virtualbox"), QStringLiteral("vmware"),
        QStringLiteral("hyper-v"), QStringLiteral("vethernet"), QStringLiteral("tun"), QStringLiteral("tap"),
        QStringLiteral("wg"), QStringLiteral("wireguard"), QStringLiteral("tailscale"), QStringLiteral("zt"),
        QStringLiteral("vpn"), QStringLiteral("lxc"), QStringLiteral("lxd"), QStringLiteral("podman"),
        QStringLiteral("cni"), QStringLiteral("flannel"), QStringLiteral("virtual"), QStringLiteral("wsl")};
    for (const QString &testo : {nome.toLower(), descrizione.toLower()})
        for (const QString &segno : segni)
            if (testo.startsWith(segno) || (segno.size() > 3 && testo.contains(segno)))
                return true;
    return false;
}

QList<IndirizzoRete> ordinaIndirizzi(QList<IndirizzoRete> candidati)
{
    candidati.removeIf([](const IndirizzoRete &r) {
        if (r.indirizzo.protocol() != QAbstractSocket::IPv4Protocol)
            return true;
        const quint32 a = r.indirizzo.toIPv4Address();
        return (a >> 24) == 127 || (a >> 16) == (169u << 8 | 254) || a == 0 || (a >> 28) >= 14;
    });
    std::stable_sort(candidati.begin(), candidati.end(),
                     [](const IndirizzoRete &x, const IndirizzoRete &y) { return rango(x) < rango(y); });
    return candidati;
}

QList<IndirizzoRete> indirizziDelComputer()
{
    QList<IndirizzoRete> candidati;
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        const auto stato = i.flags();
        if (!stato.testFlag(QNetworkInterface::IsUp) || !stato.testFlag(QNetworkInterface::IsRunning)
            || stato.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const bool virtuale = i.type() == QNetworkInterface::Virtual || i.type() == QNetworkInterface::Ppp
                              || stato.testFlag(QNetworkInterface::IsPointToPoint)
                              || interfacciaVirtuale(i.name(), i.humanReadableName());
        for (const QNetworkAddressEntry &e : i.addressEntries())
            candidati.append({e.ip(), i.humanReadableName(), virtuale});
    }
    return ordinaIndirizzi(candidati);
}
