// SPDX-License-Identifier: MIT
// Writes the record in the given folder as fast as it can until it is killed:
// appends mostly, some rewrites, now and then a new game. The kill test checks
// what a kill at any instant leaves on disk.
#include "registro.h"

#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    // The kill test checks for the Italian header.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const RegistroPartita registro(QString::fromLocal8Bit(argv[1]));
    QRandomGenerator caso = QRandomGenerator::securelySeeded();
    TabellaEstratti estratti{};
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    for (bool prima = true;; prima = false) {
        const QDateTime adesso = QDateTime::currentDateTime();
        const quint32 scelta = caso.bounded(100), n = 1 + caso.bounded(90);
        EsitoScrittura esito;
        if (scelta < 5) {
            estratti.fill(0);
            esito = registro.nuovaPartita(adesso);
        } else if (scelta < 20) {
            // Withdraw one number, or draw about half at once for a long rewrite.
            for (quint32 k = 1; k <= 90; ++k)
                estratti[k] = scelta < 12 ? (k == n ? 0 : estratti[k]) : (caso.bounded(2) ? -1 : estratti[k]);
            esito = registro.riscrivi(estratti, adesso);
        } else {
            estratti[n] = -1;
            esito = registro.aggiungi(n, estratti, adesso);
        }
        if (!esito.riuscita()) {
            std::fprintf(stderr, "%s\n", qPrintable(esito.errore));
            return 1;
        }
        // Tells the test the loop runs, so no kill lands before a record exists.
        if (prima)
            std::puts("pronto");
    }
}
