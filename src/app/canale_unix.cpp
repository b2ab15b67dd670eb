// SPDX-License-Identifier: MIT
#include "canale.h"

#include <QDir>
#include <QFile>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder of this user that nobody else may enter, not reached through a link.
bool cartellaPrivata(const QString &cartella)
{
    struct stat info{};
    return !cartella.isEmpty() && lstat(QFile::encodeName(cartella).constData(), &info) == 0 && S_ISDIR(info.st_mode)
           && info.st_uid == geteuid() && (info.st_mode & 077) == 0;
}

} // namespace

QString percorsoCanale(const QString &nome)
{
    QString cartella = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!cartellaPrivata(cartella)) {
        // Without a runtime folder (a root shell, some containers): one of our own in the temporary folder.
        cartella = QDir::tempPath() + QStringLiteral("/tabellone-") + QString::number(geteuid());
        mkdir(QFile::encodeName(cartella).constData(), 0700);
        if (!cartellaPrivata(cartella))
            return {};
    }
    return cartella + QLatin1Char('/') + nome;
}

bool stessoUtente(qintptr descrittore)
{
    ucred credenziali{};
    socklen_t lunghezza = sizeof credenziali;
    return getsockopt(int(descrittore), SOL_SOCKET, SO_PEERCRED, &credenziali, &lunghezza) == 0
           && lunghezza == sizeof credenziali && credenziali.uid == geteuid();
}
