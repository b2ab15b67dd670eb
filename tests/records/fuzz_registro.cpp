// SPDX-License-Identifier: MIT
// libFuzzer target: the record file and the CaricaPartita argument are both
// untrusted, so every input goes through the reader and the command parser,
// with the sanitizers watching. test_registro runs the same checks on the corpus.
#include "registro.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The rule the bytes make the program break, or null.
const char *violazione(const QByteArray &contenuto)
{
    const PartitaLetta letta = leggiRegistro(contenuto);
    if (letta.intestazione.size() > 256)
        return "header longer than 256 characters";
    if (std::any_of(letta.numeri.begin(), letta.numeri.end(), [](int n) { return n < 1 || n > 90; }))
        return "number outside 1..90";
    // What an append relies on: a number line after any content, with a line
    // end first when the last line has none, reads back as one more number.
    if (!contenuto.isEmpty()) {
        const bool fineRiga = contenuto.endsWith('\n') || contenuto.endsWith('\r');
        const PartitaLetta riletta = leggiRegistro(contenuto + (fineRiga ? "" : "\r\n") + rigaNumero(42));
        if (riletta.intestazione != letta.intestazione || riletta.numeri != QList<int>(letta.numeri) << 42)
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
