// SPDX-License-Identifier: MIT
#include "blocchetto.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

Cartella Blocchetto::cartella(int numero) const
{
    if (numero < 1 || numero > cartelle())
        return {}; // no such card: all places empty, never another card
    return generaSerie(seme, serieDellaCartella(numero))[std::size_t(postoNellaSerie(numero))];
}

Blocchetto nuovoBlocchetto(int serie, const QDate &data)
{
    return blocchettoDaSeme(QRandomGenerator::system()->generate64(), serie, data);
}

Blocchetto blocchettoDaSeme(std::uint64_t seme, int serie, const QDate &data)
{
    return {seme, serie, data, codiceBlocchetto(seme)};
}

QString codiceBlocchetto(std::uint64_t seme)
{
    // A one-way hash: the code printed on the cards gives no way back to the seed.
    QByteArray dati("tabellone blocchetto ");
    for (int i = 0; i < 8; ++i)
        dati.append(char((seme >> (8 * i)) & 0xFF));
    const QByteArray impronta = QCryptographicHash::hash(dati, QCryptographicHash::Sha256);
    std::uint32_t bit = 0;
    for (int i = 0; i < 4; ++i)
        bit = (bit << 8) | std::uint8_t(impronta[i]);
    QString codice;
    for (int i = 0; i < LunghezzaCodice; ++i) {
        codice.append(QLatin1Char(AlfabetoCodice[bit & 31]));
        bit >>= 5;
    }
    return codice;
}

QString normalizzaCodice(const QString &testo)
{
    QString codice = testo.trimmed().toUpper();
    if (codice.size() != LunghezzaCodice)
        return {};
    for (QChar &c : codice) {
        if (c == u'O')
            c = u'0';
        else if (c == u'I' || c == u'L')
            c = u'1';
        if (c.unicode() > 127 || !QByteArrayView(AlfabetoCodice).contains(char(c.unicode())))
            return {};
    }
    return codice;
}
