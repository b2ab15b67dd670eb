// SPDX-License-Identifier: MIT
#include "blocchetto.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

Cartella Blocchetto::cartella(int numero) const
{
    if (!contiene(numero))
        return {}; // no such card: all places empty, never another card
    // Its place in the batch: the seed gives the same cards whatever the batch's first number.
    const int nelBlocchetto = numero - primaCartella + 1;
    return generaSerie(seme, serieDellaCartella(nelBlocchetto))[std::size_t(postoNellaSerie(nelBlocchetto))];
}

Blocchetto nuovoBlocchetto(int serie, const QDate &data, int primaCartella)
{
    return blocchettoDaSeme(QRandomGenerator::system()->generate64(), serie, data, primaCartella);
}

Blocchetto blocchettoDaSeme(std::uint64_t seme, int serie, const QDate &data, int primaCartella)
{
    return {seme, serie, data, codiceBlocchetto(seme), primaCartella};
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
