// SPDX-License-Identifier: MIT
// Writes the record in the given folder over and over, as fast as it can,
// until it is killed: appends mostly, some rewrites, now and then a new game.
// The kill test checks what a kill at any instant leaves on disk.
#include "registro.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "uso: scrittore CARTELLA\n";
        return 2;
    }
    // The header the kill test checks is the Italian one.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const RegistroPartita registro(QString::fromLocal8Bit(argv[1]));
    bool primaScrittura = true;
    QRandomGenerator caso = QRandomGenerator::securelySeeded();
    TabellaEstratti estratti{};
    for (;;) {
        const QDateTime adesso = QDateTime::currentDateTime();
        const quint32 scelta = caso.bounded(100);
        EsitoScrittura esito;
        if (scelta < 5) {
            estratti.fill(0);
            esito = registro.nuovaPartita(adesso);
        } else if (scelta < 20) {
            // Withdraw one number, or draw many at once for a long rewrite.
            const int n = 1 + static_cast<int>(caso.bounded(90));
            if (scelta < 12) {
                estratti[n] = 0;
            } else {
                for (int k = 1; k <= 90; ++k)
                    if (caso.bounded(2) == 0)
                        estratti[k] = -1;
            }
            esito = registro.riscrivi(estratti, adesso);
        } else {
            const int n = 1 + static_cast<int>(caso.bounded(90));
            estratti[n] = -1;
            esito = registro.aggiungi(n, adesso);
        }
        if (!esito.riuscita()) {
            QTextStream(stderr) << esito.errore << '\n';
            return 1;
        }
        if (primaScrittura) {
            // Tells the test the loop is running, so a kill never lands before it.
            std::fputs("pronto\n", stdout);
            std::fflush(stdout);
            primaScrittura = false;
        }
    }
}
