// SPDX-License-Identifier: MIT
// libFuzzer target: the record file and the CaricaPartita argument are both untrusted. The reader
// is held to a plain model of the format (the whole input split into lines in memory, no limits),
// fed in pieces, and followed by an append. test_registro runs the same checks on the corpus.
#include "registro.h"

#include <QBuffer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Hands the bytes out a few at a time, as a slow disk or a pipe might, then fails as a disk that
// goes away does.
class APezzi : public QBuffer
{
public:
    APezzi(const QByteArray &dati, qint64 pezzo)
        : m_pezzo(pezzo)
    {
        setData(dati);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *dove, qint64 massimo) override
    {
        const qint64 letti = QBuffer::readData(dove, std::min(massimo, m_pezzo));
        return letti == 0 ? -1 : letti;
    }

private:
    qint64 m_pezzo;
};

// The numbers of the lines after the first, up to fine: whole lines that read as 1..90 and are
// short enough to be ones the program wrote, each once, first seen first.
QList<int> numeriAttesi(const QList<QByteArray> &linee, qsizetype fine)
{
    QList<int> attesi;
    for (qsizetype i = 1; i < fine; ++i) {
        const long long n = letturaNumerica(QString::fromLatin1(linee[i]));
        if (linee[i].size() <= LunghezzaMassimaRiga && n >= 1 && n <= 90 && !attesi.contains(int(n)))
            attesi << int(n);
    }
    return attesi;
}

} // namespace

const char *violazione(const QByteArray &contenuto)
{
    const PartitaLetta letta = leggiRegistro(contenuto);
    // Lines end in CR LF, a lone CR or a lone LF; the last may have no end.
    QList<QByteArray> linee = QByteArray(contenuto).replace("\r\n", "\n").replace('\r', '\n').split('\n');
    const bool fineRiga = linee.last().isEmpty();
    if (fineRiga)
        linee.removeLast(); // what follows the last line end
    if (!letta.errore.isEmpty() || letta.intestazione.size() > 256)
        return "bytes in memory unreadable, or a header longer than 256 characters";
    // The start of the first line (its last character may be the decoding of a cut sequence).
    const QString prima = linee.isEmpty() ? QString() : QString::fromUtf8(linee.first());
    if (letta.intestazione.isEmpty() ? !prima.isEmpty() : !prima.startsWith(letta.intestazione.chopped(1)))
        return "header is not the start of the first line";
    if (letta.numeri != numeriAttesi(linee, linee.size()))
        return "numbers differ from the whole lines that read as 1..90";
    // Where the reads split the bytes changes nothing; a read that fails keeps the lines before it.
    for (const qint64 pezzo : {1, 2, 3, 7, 4096}) {
        APezzi dispositivo(contenuto, pezzo);
        const PartitaLetta aPezzi = leggiRegistro(dispositivo);
        if (aPezzi.errore.isEmpty() || aPezzi.numeri != numeriAttesi(linee, linee.size() - (fineRiga ? 0 : 1))
            || aPezzi.intestazione != (fineRiga || linee.size() > 1 ? letta.intestazione : QString()))
            return "a read in pieces that fails keeps other than the whole lines before it";
    }
    // What an append relies on: a number line after any content, with a line end first when the
    // last line has none, reads back as one more number.
    if (!contenuto.isEmpty()) {
        const PartitaLetta riletta = leggiRegistro(contenuto + (fineRiga ? "" : "\r\n") + rigaNumero(42));
        if (riletta.intestazione != letta.intestazione
            || riletta.numeri != (letta.numeri.contains(42) ? letta.numeri : letta.numeri + QList<int>{42}))
            return "an append changes what was read before it";
    }
    return nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dati, std::size_t dimensione)
{
    const QByteArray contenuto = QByteArray::fromRawData(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    interpretaComando(QString::fromUtf8(contenuto)); // for the sanitizers
    if (const char *regola = violazione(contenuto)) {
        std::fprintf(stderr, "invariant broken: %s\n", regola);
        std::abort();
    }
    return 0;
}
