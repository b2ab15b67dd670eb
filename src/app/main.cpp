// SPDX-License-Identifier: MIT
#include "caratteri.h"
#include "cartelle.h"
#include "comandocartelle.h"
#include "comandoverbale.h"
#include "frmsplash.h"
#include "frmtabellone.h"
#include "identita.h"
#include "primopiano.h"
#include "richieste.h"
#include "unicaistanza.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QTranslator>

#include <memory>
#include <utility>

namespace {

// Brings forward whatever the operator was looking at: a question, the board, or the start screen.
void portaDavanti(frmSplash &splash)
{
    QWidget *finestra = QApplication::activeModalWidget();
    if (!finestra)
        finestra = splash.tabellone()->isVisible() ? static_cast<QWidget *>(splash.tabellone()) : &splash;
    finestra->setWindowState(finestra->windowState() & ~Qt::WindowMinimized);
    finestra->raise();
    finestra->activateWindow();
    prendiPrimoPiano(finestra->winId());
}

} // namespace

int main(int argc, char *argv[])
{
    // --cartelle: the printout only, no window.
    if (const auto esito = comandoCartelle(argc, argv))
        return *esito;
    if (const auto esito = comandoVerbale(argc, argv))
        return *esito;
    PreparazioneCaratteri caratteri;
    QApplication app(argc, argv);
    // Also names the per-user data folder: ~/.local/share/tabellone.
    QApplication::setApplicationName(QString::fromLatin1(NomeApplicazione));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(Identita::VersioneMaggiore)
                                            .arg(Identita::VersioneMinore)
                                            .arg(Identita::Revisione));
    QApplication::setDesktopFileName(QStringLiteral("it.tabellone.Tombola"));
    // Ending is explicit: the stop button or closing the board.
    QApplication::setQuitOnLastWindowClosed(false);

    // Message box buttons in Italian, like every other text of the program.
    QTranslator traduzioni;
    if (traduzioni.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduzioni);

    RichiesteQt richieste;
    const QString titolo = QString::fromUtf8(Identita::Titolo);
    Cartelle cartelle = scegliCartelle(QApplication::applicationDirPath(), cartellaUtente());

    // Before anything reads the record: a second board on it would undo the first one's draws.
    std::unique_ptr<UnicaIstanza> istanza;
    bool salvata = cartelle.salvata();
    if (salvata) {
        istanza = std::make_unique<UnicaIstanza>(cartelle.registro);
        UnicaIstanza::Esito esito = istanza->avvia();
        if (esito == UnicaIstanza::Esito::Richiamata)
            return 0;
        if (esito == UnicaIstanza::Esito::Irraggiungibile) {
            richieste.messaggio(nullptr, istanza->avvisoIrraggiungibile(), Richieste::Pulsanti::Ok, titolo);
            return 0;
        }
        if (esito == UnicaIstanza::Esito::NonRisponde) {
            if (richieste.messaggio(nullptr, istanza->domanda(), Richieste::Pulsanti::SiNo, titolo)
                != Richieste::Risposta::Si)
                return 0;
            esito = istanza->subentra();
        }
        if (esito == UnicaIstanza::Esito::Errore) {
            // Without its lock the record could get a second board: shown, not written.
            richieste.messaggio(nullptr, istanza->errore() + QStringLiteral(".\n\nQuesta partita NON viene salvata."),
                                Richieste::Pulsanti::Ok, titolo);
            salvata = false;
            istanza.reset();
        } else {
            // A lock taken from under this board (removed, replaced, its folder gone)
            // leaves the record to another start: no more writes then.
            RegistroPartita::controllaPrimaDiScrivere([unica = istanza.get()] { return unica->perso(); });
        }
    }
    // Later starts are listened for once the start screen is drawn, or before
    // a message shown ahead of it: either way a later start finds this board
    // listening while it waits for the operator.
    bool inAscolto = false;
    const auto ascolta = [&](QWidget *sopra) {
        if (!istanza || std::exchange(inAscolto, true))
            return;
        istanza->ascolta();
        if (!istanza->errore().isEmpty())
            richieste.messaggio(sopra, istanza->errore(), Richieste::Pulsanti::Ok, titolo);
    };
    const auto avvisa = [&](const QString &testo) {
        ascolta(nullptr);
        richieste.messaggio(nullptr, testo, Richieste::Pulsanti::Ok, titolo);
    };
    // Nothing can be written where the record belongs: said once now, and
    // the game is kept for this run only, so no draw asks again.
    if (!cartelle.salvata())
        avvisa(avvisoNonSalvata(cartelle));
    // Said by the board that keeps the game, not by every later start.
    if (!cartelle.avvisi.isEmpty())
        avvisa(cartelle.avvisi.join(QStringLiteral("\n\n")));
    std::unique_ptr<QTemporaryDir> provvisoria;
    if (!salvata) {
        provvisoria = std::make_unique<QTemporaryDir>();
        // Without even that, each failed write names the per-user record and why.
        soloPerQuestaVolta(cartelle, provvisoria->isValid() ? provvisoria->path() : cartelle.tentate.constLast());
    }
    if (const EsitoScrittura riporto = riportaPartita(cartelle); !riporto.riuscita())
        avvisa(QStringLiteral("La partita registrata non è stata ripresa: %1.").arg(riporto.errore));
    if (const EsitoScrittura riporto = riportaBlocchetti(cartelle); !riporto.riuscita())
        avvisa(QStringLiteral("I blocchetti di cartelle non sono stati ripresi: %1.").arg(riporto.errore));

    registraSostituti(QApplication::applicationDirPath());

    // Its pictures decoded while the font configuration may still be read on the other thread.
    frmSplash::preparaImmagini();
    caratteri.attendi();
    frmSplash splash(richieste, cartelle.immagini, cartelle.registro);
    QObject::connect(&splash, &frmSplash::fineProgramma, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(&splash, &frmSplash::disegnata, &splash, [&] { ascolta(&splash); });
    if (istanza)
        QObject::connect(istanza.get(), &UnicaIstanza::richiamata, &splash, [&splash] { portaDavanti(splash); });
    if (const QScreen *schermo = splash.screen())
        splash.move(schermo->availableGeometry().center() - splash.rect().center());
    splash.show();
    return app.exec();
}
