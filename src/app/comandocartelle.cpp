// SPDX-License-Identifier: MIT
#include "comandocartelle.h"

#include "blocchetto.h"
#include "cartelle.h"
#include "console.h"
#include "senzaschermo.h"
#include "stampa.h"

#include <QDir>
#include <QGuiApplication>

#include <cstring>

namespace {

constexpr auto OpzioneCartelle = "--cartelle";
constexpr auto OpzionePdf = "--pdf";

// Whether argv holds the option, alone or as "--option=value".
bool haOpzione(int argc, char **argv, const char *opzione)
{
    const std::size_t lunghezza = std::strlen(opzione);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], opzione, lunghezza) == 0 && (argv[i][lunghezza] == '\0' || argv[i][lunghezza] == '='))
            return true;
    }
    return false;
}

struct RichiestaCartelle {
    int serie = 0;
    QString pdf;
    QString errore;
};

// Options as "--cartelle N" or "--cartelle=N"; nothing else is accepted.
RichiestaCartelle leggiArgomenti(const QStringList &argomenti)
{
    RichiestaCartelle richiesta;
    QString serie;
    bool conSerie = false, conPdf = false;
    for (int i = 1; i < argomenti.size(); ++i) {
        QString nome = argomenti.at(i), valore;
        const qsizetype uguale = nome.indexOf(QLatin1Char('='));
        const bool unito = nome.startsWith(QLatin1String("--")) && uguale > 0;
        if (unito) {
            valore = nome.mid(uguale + 1);
            nome.truncate(uguale);
        }
        const bool cartelle = nome == QLatin1String(OpzioneCartelle), pdf = nome == QLatin1String(OpzionePdf);
        if (!cartelle && !pdf)
            return {0, {}, QStringLiteral("argomento non riconosciuto: «%1».").arg(argomenti.at(i))};
        if ((cartelle && conSerie) || (pdf && conPdf))
            return {0, {}, QStringLiteral("%1 è ripetuto.").arg(nome)};
        if (!unito) {
            if (i + 1 >= argomenti.size())
                return {0, {}, QStringLiteral("dopo %1 manca il valore.").arg(nome)};
            valore = argomenti.at(++i);
        }
        (cartelle ? serie : richiesta.pdf) = valore;
        (cartelle ? conSerie : conPdf) = true;
    }
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
    if (!richiesta.errore.isEmpty()) {
        errore(richiesta.errore);
        scriviTesto(stderr, QStringLiteral("Uso: tabellone --cartelle N [--pdf FILE]   (N da 1 a %1)\n")
                                .arg(Blocchetto::MassimoSerie));
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
    scriviTesto(stdout, QStringLiteral("Cartelle %1: %2 serie, cartelle da 1 a %3, in %4\n")
                            .arg(fatta.blocchetto.codice)
                            .arg(fatta.blocchetto.serie)
                            .arg(fatta.blocchetto.cartelle())
                            .arg(QDir::toNativeSeparators(fatta.pdf)));
    if (richiesta.pdf.isEmpty() && !apriConVisore(fatta.pdf))
        scriviTesto(stdout, QStringLiteral("Aprilo con un lettore di PDF per stamparlo.\n"));
    return 0;
}
