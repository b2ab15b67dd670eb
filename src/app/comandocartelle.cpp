// SPDX-License-Identifier: MIT
#include "comandocartelle.h"

#include "archivio.h"
#include "blocchetto.h"
#include "blocco.h"
#include "cartelle.h"
#include "console.h"
#include "filedelprogramma.h"
#include "opzioni.h"
#include "senzaschermo.h"
#include "stampa.h"

#include <QDir>
#include <QGuiApplication>

namespace {

constexpr auto OpzioneCartelle = "--cartelle";
constexpr auto OpzionePdf = "--pdf";

struct RichiestaCartelle {
    int serie = 0;
    QString pdf;
    QString errore;
};

// Options as "--cartelle N" or "--cartelle=N"; nothing else is accepted.
RichiestaCartelle leggiArgomenti(const QStringList &argomenti)
{
    const QString cartelle = QString::fromLatin1(OpzioneCartelle), pdf = QString::fromLatin1(OpzionePdf);
    const Opzioni opzioni = leggiOpzioni(argomenti, {cartelle, pdf});
    if (!opzioni.errore.isEmpty())
        return {0, {}, opzioni.errore};
    RichiestaCartelle richiesta;
    const bool conSerie = opzioni.valori.contains(cartelle), conPdf = opzioni.valori.contains(pdf);
    const QString serie = opzioni.valori.value(cartelle);
    richiesta.pdf = opzioni.valori.value(pdf);
    if (!conSerie)
        return {0, {}, QStringLiteral("manca --cartelle N, il numero di serie da preparare.")};
    bool numero = false;
    richiesta.serie = serie.toInt(&numero);
    if (!numero || richiesta.serie < 1 || richiesta.serie > Blocchetto::MassimoSerie)
        return {0, {}, QStringLiteral("il numero di serie deve essere un numero intero da 1 a %1, non «%2».")
                           .arg(Blocchetto::MassimoSerie)
                           .arg(serie)};
    if (conPdf && richiesta.pdf.isEmpty())
        return {0, {}, QStringLiteral("il nome del file PDF è vuoto.")};
    return richiesta;
}

} // namespace

std::optional<int> comandoCartelle(int &argc, char **argv)
{
    const bool pdf = haOpzione(argc, argv, OpzionePdf);
    if (!pdf && !haOpzione(argc, argv, OpzioneCartelle))
        return std::nullopt;
    // Fonts for the PDF need a GUI application, but no screen (a script, a
    // server); only a PDF for the documents folder is then opened in a viewer.
    preparaPiattaformaPerFile(!pdf);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QString::fromLatin1(NomeApplicazione));
    const auto errore = [](const QString &testo) { scriviTesto(stderr, QStringLiteral("tabellone: ") + testo + u'\n'); };

    const RichiestaCartelle richiesta = leggiArgomenti(QCoreApplication::arguments());
    if (!richiesta.errore.isEmpty())
        return argomentiSbagliati(richiesta.errore,
                                  QStringLiteral("tabellone --cartelle N [--pdf FILE]   (N da 1 a %1)")
                                      .arg(Blocchetto::MassimoSerie));
    // Refused before anything is made, the per-user folder included.
    const QString cartellaProgramma = QCoreApplication::applicationDirPath();
    if (const QString rifiuto = richiesta.pdf.isEmpty()
                                    ? QString()
                                    : fileDelProgramma(richiesta.pdf, {cartellaUtente(), cartellaProgramma},
                                                       cartellaProgramma, QCoreApplication::applicationFilePath());
        !rifiuto.isEmpty()) {
        scriviTesto(stderr, QStringLiteral("tabellone: ") + rifiuto + QStringLiteral(".\n"));
        return 2;
    }
    const Cartelle cartelle = scegliCartelle(QCoreApplication::applicationDirPath(), cartellaUtente());
    if (!cartelle.salvata()) {
        errore(avvisoNonSalvata(cartelle));
        return 1;
    }
    const StampaFatta fatta = stampaCartelle(richiesta.serie, cartelle.registro, richiesta.pdf);
    if (!fatta.errore.isEmpty()) {
        errore(fatta.errore);
        return 1;
    }
    scriviTesto(stdout, QStringLiteral("Cartelle %1: %2 serie, cartelle da %3 a %4, in %5\n")
                            .arg(fatta.blocchetto.codice)
                            .arg(fatta.blocchetto.serie)
                            .arg(fatta.blocchetto.primaCartella)
                            .arg(fatta.blocchetto.ultimaCartella())
                            .arg(QDir::toNativeSeparators(fatta.pdf)));
    if (richiesta.pdf.isEmpty() && !apriConVisore(fatta.pdf))
        scriviTesto(stdout, QStringLiteral("Aprilo con un lettore di PDF per stamparlo.\n"));
    return 0;
}
