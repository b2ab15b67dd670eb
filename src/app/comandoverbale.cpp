// SPDX-License-Identifier: MIT
#include "comandoverbale.h"

#include "cartelle.h"
#include "console.h"
#include "filedelprogramma.h"
#include "opzioni.h"
#include "senzaschermo.h"
#include "storia.h"
#include "verbale.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

constexpr auto OpzioneVerbale = "--verbale";

QString testoUso()
{
    return QStringLiteral("tabellone --verbale FILE   (il verbale di estrazione della partita registrata, in PDF)");
}

} // namespace

std::optional<int> comandoVerbale(int &argc, char **argv)
{
    if (!haOpzione(argc, argv, OpzioneVerbale))
        return std::nullopt;
    // Fonts for the PDF need a GUI application, but no screen.
    preparaPiattaformaPerFile(false);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QString::fromLatin1(NomeApplicazione));

    const Opzioni opzioni = leggiOpzioni(QCoreApplication::arguments(), {QString::fromLatin1(OpzioneVerbale)});
    if (!opzioni.errore.isEmpty())
        return argomentiSbagliati(opzioni.errore, testoUso());
    const QString file = opzioni.valori.value(QString::fromLatin1(OpzioneVerbale));
    if (file.isEmpty())
        return argomentiSbagliati(QStringLiteral("il nome del file PDF è vuoto."), testoUso());

    const Cartelle cartelle = scegliCartelle(QCoreApplication::applicationDirPath(), cartellaUtente());
    if (const QString rifiuto = fileDelProgramma(file, cartelle, QCoreApplication::applicationFilePath());
        !rifiuto.isEmpty())
        return argomentiSbagliati(rifiuto + QLatin1Char('.'), testoUso());
    // The game the board would show at its next start: one still to be carried over is that one.
    const QString cartella =
        cartelle.daRiportare.isEmpty() ? cartelle.registro : QFileInfo(cartelle.daRiportare).absolutePath();
    if (cartella.isEmpty()) {
        scriviTesto(stderr, QStringLiteral("tabellone: nessuna partita registrata: %1 non si trova in nessuna di "
                                           "queste cartelle: %2\n")
                                .arg(QString::fromLatin1(NomeRegistro),
                                     QDir::toNativeSeparators(cartelle.tentate.join(QStringLiteral(", ")))));
        return 1;
    }
    const Storia storia = storiaDelRegistro(cartella);
    const StoriaPartita &partita = partitaDelVerbale(storia);
    const QString percorso = QFileInfo(file).absoluteFilePath();
    if (const EsitoScrittura esito = scriviVerbale(partita, percorso); !esito.riuscita()) {
        scriviTesto(stderr, QStringLiteral("tabellone: ") + esito.errore + u'\n');
        return 1;
    }
    scriviTesto(stdout, QStringLiteral("Verbale di estrazione (%1) in %2\n")
                            .arg(partita.vuota() ? QStringLiteral("nessuna chiamata")
                       : partita.chiusa()
                           ? QStringLiteral("partita chiusa, %1 chiamate").arg(partita.chiamate())
                           : QStringLiteral("partita in corso, %1 chiamate").arg(partita.chiamate()),
                       QDir::toNativeSeparators(percorso)));
    return 0;
}
