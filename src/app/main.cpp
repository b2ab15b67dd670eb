// SPDX-License-Identifier: MIT
#include "caratteri.h"
#include "frmsplash.h"
#include "identita.h"
#include "richieste.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(Identita::Titolo));
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

    registraSostituti();

    RichiesteQt richieste;
    frmSplash splash(richieste, QApplication::applicationDirPath());
    QObject::connect(&splash, &frmSplash::fineProgramma, &app, [] { QCoreApplication::exit(0); });
    if (const QScreen *schermo = splash.screen())
        splash.move(schermo->availableGeometry().center() - splash.rect().center());
    splash.show();
    return app.exec();
}
