// SPDX-License-Identifier: MIT
#include "testi.h"

#include "dichiarazioni.h"

QString testoAvvertenze()
{
    const QString a = Dichiarazioni::InterruzioneLinea();
    return QStringLiteral("Questo programma è distribuito senza alcuna garanzia.") + a + a
           + QStringLiteral(" F1 = informazioni") + a
           + QStringLiteral(" F2 = nuova partita") + a
           + QStringLiteral(" F10 = messaggi nella colonna in basso") + a
           + QStringLiteral(" F11 = ingrandire / ridurre il tabellone") + a
           + QStringLiteral(" CTRL+ALT+F4 = torna alla schermata iniziale") + a
           + QStringLiteral(" Doppio clic = segna il numero estratto") + a
           + QStringLiteral(" Tasto destro = cancella il numero") + a
           + QStringLiteral(" F5 = controlla una cartella (67, ABC-67, tabellone 3)") + a
           + QStringLiteral(" F6 = il computer estrae un numero") + a
           + QStringLiteral(" F7 = la partita: estrazioni, impronta, verbale") + a
           + QStringLiteral(" F8 = codice QR della pagina per i telefoni in sala") + a
           + QStringLiteral(" F9 = estrazioni automatiche sì / no");
}
