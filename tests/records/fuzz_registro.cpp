// SPDX-License-Identifier: MIT
// libFuzzer target: the record file and the CaricaPartita argument are both
// untrusted, so every input goes through the reader and the command parser.
#include "registro.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void viola(const char *regola)
{
    std::fprintf(stderr, "invariante violata: %s\n", regola);
    std::abort();
}

// Written apart from the program's reader so the two can disagree: blanks,
// an optional sign, digits. Exact up to 18 significant digits; beyond that
// only the sign and the size of the result are checked.
struct LetturaAttesa {
    long long valore = 0;
    bool esatta = true;
    bool negativo = false;
};

LetturaAttesa letturaAttesa(QStringView testo)
{
    LetturaAttesa attesa;
    qsizetype i = 0;
    while (i < testo.size() && (testo[i] == u' ' || testo[i] == u'\t'))
        ++i;
    if (i < testo.size() && (testo[i] == u'-' || testo[i] == u'+')) {
        attesa.negativo = testo[i] == u'-';
        ++i;
    }
    int cifre = 0;
    for (; i < testo.size() && testo[i] >= u'0' && testo[i] <= u'9'; ++i) {
        if (cifre == 0 && testo[i] == u'0')
            continue;
        if (++cifre > 18) {
            attesa.esatta = false;
            continue;
        }
        attesa.valore = attesa.valore * 10 + (testo[i].unicode() - u'0');
    }
    if (attesa.negativo)
        attesa.valore = -attesa.valore;
    return attesa;
}

void controllaLettura(QStringView testo, long long letto)
{
    const LetturaAttesa attesa = letturaAttesa(testo);
    if (attesa.esatta) {
        if (letto != attesa.valore)
            viola("letturaNumerica differisce dalla lettura attesa");
        return;
    }
    constexpr long long minimoEnorme = 100'000'000'000'000'000LL; // 10^17
    if (attesa.negativo ? letto > -minimoEnorme : letto < minimoEnorme)
        viola("un numero enorme non resta enorme");
}

void provaRegistro(const QByteArray &contenuto)
{
    const PartitaLetta letta = leggiRegistro(contenuto);
    if (letta.intestazione.size() > 256)
        viola("intestazione oltre 256 caratteri");
    for (const int n : letta.numeri) {
        if (n < 1 || n > 90)
            viola("numero fuori da 1..90");
    }
    if (contenuto.isEmpty())
        return;

    // What an append relies on: a number line added after any content, with
    // a line end first when the last line has none, reads back as one more
    // number and changes nothing before it.
    QByteArray esteso = contenuto;
    if (!esteso.endsWith('\n') && !esteso.endsWith('\r'))
        esteso += "\r\n";
    const int aggiunto = 1 + static_cast<int>(contenuto.size() % 90);
    esteso += rigaNumero(aggiunto);
    const PartitaLetta riletta = leggiRegistro(esteso);
    if (riletta.intestazione != letta.intestazione)
        viola("un'aggiunta cambia l'intestazione");
    if (riletta.numeri != QList<int>(letta.numeri) << aggiunto)
        viola("un'aggiunta non rilegge i numeri di prima piu' il nuovo");
}

void provaComando(const QByteArray &byte)
{
    const QString argomento = QString::fromUtf8(byte);
    controllaLettura(argomento, letturaNumerica(argomento));

    const Comando comando = interpretaComando(argomento);
    const bool inizio = argomento.compare(QLatin1String("inizio"), Qt::CaseInsensitive) == 0;
    const bool annullato = argomento.compare(QLatin1String("annullato"), Qt::CaseInsensitive) == 0;
    if (inizio && comando.operazione != Operazione::Inizio)
        viola("una grafia di inizio non e' riconosciuta");
    if (annullato && comando.operazione != Operazione::Annullato)
        viola("una grafia di annullato non e' riconosciuta");
    if (comando.operazione == Operazione::Estratto)
        controllaLettura(QStringView(argomento).mid(std::min<qsizetype>(8, argomento.size())), comando.numero);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dati, std::size_t dimensione)
{
    const QByteArray byte = QByteArray::fromRawData(reinterpret_cast<const char *>(dati),
                                                    static_cast<qsizetype>(dimensione));
    provaRegistro(byte);
    provaComando(byte);
    return 0;
}
