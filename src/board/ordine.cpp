// SPDX-License-Identifier: MIT
#include "ordine.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <cstring>
#include <numeric>
#include <utility>

namespace {

// The seed's random stream: block i is SHA-256(seed ‖ i), i as 4 bytes
// big-endian, read byte after byte. Written exactly as the README gives it,
// so that any other implementation of that text finds the same order.
class FlussoDelSeme
{
public:
    explicit FlussoDelSeme(const QByteArray &seme) : m_seme(seme) {}

    int prossimo()
    {
        if (m_posizione == m_blocco.size()) {
            const char indice[4] = {char(m_indice >> 24), char(m_indice >> 16), char(m_indice >> 8), char(m_indice)};
            m_blocco = QCryptographicHash::hash(m_seme + QByteArray(indice, 4), QCryptographicHash::Sha256);
            ++m_indice;
            m_posizione = 0;
        }
        return quint8(m_blocco[m_posizione++]);
    }

private:
    const QByteArray m_seme;
    QByteArray m_blocco;
    quint32 m_indice = 0;
    qsizetype m_posizione = 0;
};

} // namespace

QByteArray nuovoSeme()
{
    std::array<quint32, LunghezzaSeme / 4> parole;
    QRandomGenerator::system()->fillRange(parole.data(), parole.size());
    QByteArray seme(LunghezzaSeme, Qt::Uninitialized);
    std::memcpy(seme.data(), parole.data(), LunghezzaSeme);
    return seme;
}

std::array<int, 90> ordineDelSeme(const QByteArray &seme)
{
    std::array<int, 90> a{};
    if (seme.size() != LunghezzaSeme)
        return a;
    std::iota(a.begin(), a.end(), 1);
    FlussoDelSeme flusso(seme);
    // Fisher-Yates from the end; a byte at or above the limit is thrown away,
    // else the low values of j would come up more often than the high ones.
    for (int i = 89; i >= 1; --i) {
        const int m = i + 1;
        const int limite = 256 - 256 % m;
        int b = flusso.prossimo();
        while (b >= limite)
            b = flusso.prossimo();
        std::swap(a[std::size_t(i)], a[std::size_t(b % m)]);
    }
    return a;
}

int prossimoDelComputer(const QByteArray &seme, const std::array<std::int16_t, 101> &estratti)
{
    for (const int n : ordineDelSeme(seme)) {
        if (n != 0 && estratti[std::size_t(n)] == 0)
            return n;
    }
    return 0;
}

QString improntaSeme(const QByteArray &seme)
{
    if (seme.isEmpty())
        return {};
    const QString cifre = QString::fromLatin1(QCryptographicHash::hash(seme, QCryptographicHash::Sha256).toHex().left(16)).toUpper();
    return cifre.mid(0, 4) + QLatin1Char(' ') + cifre.mid(4, 4) + QLatin1Char(' ') + cifre.mid(8, 4) + QLatin1Char(' ')
           + cifre.mid(12, 4);
}
