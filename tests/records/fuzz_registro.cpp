// SPDX-License-Identifier: MIT
// libFuzzer target: the record file and the CaricaPartita argument are both
// untrusted. The reader is held to a plain model of the format (the whole
// input split into lines in memory, no limits), fed in pieces of any size,
// and followed by an append. test_registro runs the same checks on the corpus.
#include "registro.h"

#include <QBuffer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Hands the bytes out a few at a time, as a slow disk or a pipe might.
class APezzi : public QBuffer
{
public:
    APezzi(const QByteArray &dati, qint64 pezzo)
        : m_pezzo(pezzo)
    {
        setData(dati);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    int chiamate = 0;

protected:
    qint64 readData(char *dove, qint64 massimo) override
    {
        ++chiamate;
        return QBuffer::readData(dove, std::min(massimo, m_pezzo));
    }

private:
    qint64 m_pezzo;
};

// The lines of the format: ended by CR LF, a lone CR or a lone LF; the last
// may have no end.
QList<QByteArray> righe(QByteArray contenuto)
{
    QList<QByteArray> elenco = contenuto.replace("\r\n", "\n").replace('\r', '\n').split('\n');
    if (elenco.last().isEmpty())
        elenco.removeLast(); // what follows the last line end
    return elenco;
}

} // namespace

// The rule the bytes make the program break, or null.
const char *violazione(const QByteArray &contenuto)
{
    const PartitaLetta letta = leggiRegistro(contenuto);
    const QList<QByteArray> linee = righe(contenuto);
    if (!letta.errore.isEmpty())
        return "bytes in memory reported as unreadable";
    if (letta.intestazione.size() > 256)
        return "header longer than 256 characters";
    // The header is the start of the first line (its last character may be
    // the decoding of a cut sequence).
    const QString prima = linee.isEmpty() ? QString() : QString::fromLocal8Bit(linee.first());
    if (letta.intestazione.isEmpty() ? !prima.isEmpty() : !prima.startsWith(letta.intestazione.chopped(1)))
        return "header is not the start of the first line";
    // Exactly the whole lines after the first that read as 1..90 and are
    // short enough to be ones the program wrote: each number once, first seen first.
    QList<int> attesi;
    for (qsizetype i = 1; i < linee.size(); ++i) {
        const long long n = letturaNumerica(QString::fromLatin1(linee[i]));
        if (linee[i].size() <= LunghezzaMassimaRiga && n >= 1 && n <= 90 && !attesi.contains(int(n)))
            attesi << int(n);
    }
    if (letta.numeri != attesi)
        return "numbers differ from the whole lines that read as 1..90";
    // Where the reads happen to split the bytes changes nothing.
    for (const qint64 pezzo : {1, 2, 3, 7, 4096}) {
        APezzi dispositivo(contenuto, pezzo);
        const PartitaLetta aPezzi = leggiRegistro(dispositivo);
        if (aPezzi.numeri != letta.numeri || aPezzi.intestazione != letta.intestazione || !aPezzi.errore.isEmpty())
            return "reading in pieces changes the result";
        if (dispositivo.chiamate <= contenuto.size() / pezzo)
            return "the pieces were joined before the reader saw them";
    }
    // What an append relies on: a number line after any content, with a line
    // end first when the last line has none, reads back as one more number.
    if (!contenuto.isEmpty()) {
        const bool fineRiga = contenuto.endsWith('\n') || contenuto.endsWith('\r');
        const PartitaLetta riletta = leggiRegistro(contenuto + (fineRiga ? "" : "\r\n") + rigaNumero(42));
        QList<int> conQuello = letta.numeri;
        if (!conQuello.contains(42))
            conQuello << 42;
        if (riletta.intestazione != letta.intestazione || riletta.numeri != conQuello)
            return "an append changes what was read before it";
    }
    const QString argomento = QString::fromUtf8(contenuto);
    const Operazione operazione = interpretaComando(argomento).operazione;
    if ((operazione == Operazione::Inizio) != (argomento.compare(QLatin1String("inizio"), Qt::CaseInsensitive) == 0)
        || (operazione == Operazione::Annullato)
               != (argomento.compare(QLatin1String("annullato"), Qt::CaseInsensitive) == 0))
        return "operation word misread";
    return nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dati, std::size_t dimensione)
{
    const char *regola = violazione(QByteArray::fromRawData(reinterpret_cast<const char *>(dati),
                                                            static_cast<qsizetype>(dimensione)));
    if (regola) {
        std::fprintf(stderr, "invariant broken: %s\n", regola);
        std::abort();
    }
    return 0;
}
