// SPDX-License-Identifier: MIT
#include "fileproprio.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString erroreDi(int numero)
{
    return QString::fromLocal8Bit(std::strerror(numero));
}

} // namespace

// Shared with cartellaprotetta_unix.cpp.
Natura naturaStat(const struct stat &info)
{
    if (S_ISLNK(info.st_mode))
        return Natura::Collegamento;
    if (!S_ISREG(info.st_mode))
        return Natura::NonOrdinario;
    if (info.st_uid != geteuid())
        return Natura::Altrui;
    // Another name for it may sit in anyone's folder: whatever is written here shows there.
    if (info.st_nlink > 1)
        return Natura::PiuNomi;
    return Natura::Proprio;
}

Natura naturaDi(const QString &percorso)
{
    struct stat info{};
    if (lstat(QFile::encodeName(percorso).constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Natura::Manca : Natura::Errore;
    return naturaStat(info);
}

Apertura apriProprio(const QString &percorso, bool scrittura)
{
    Apertura esito;
    const QByteArray nome = QFile::encodeName(percorso);
    // O_NONBLOCK: a pipe of that name would otherwise hold the open until a writer comes.
    const int base = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (scrittura ? O_RDWR : O_RDONLY);
    int fd = -1;
    if (scrittura) {
        fd = ::open(nome.constData(), base | O_CREAT | O_EXCL, 0600);
        esito.creato = fd >= 0;
    }
    if (fd < 0 && (!scrittura || errno == EEXIST))
        fd = ::open(nome.constData(), base);
    if (fd < 0) {
        const int numero = errno;
        // ELOOP is what O_NOFOLLOW gives for a link; the rest is told as what lstat sees.
        const Natura vista = naturaDi(percorso);
        esito.natura = numero == ELOOP ? Natura::Collegamento
                       : vista == Natura::Proprio || vista == Natura::Manca ? (numero == ENOENT ? Natura::Manca : Natura::Errore)
                                                                           : vista;
        esito.errore = erroreDi(numero);
        return esito;
    }
    struct stat info{};
    esito.natura = fstat(fd, &info) == 0 ? naturaStat(info) : Natura::Errore;
    if (esito.natura != Natura::Proprio) {
        esito.errore = erroreDi(errno);
        ::close(fd);
        return esito;
    }
    // Reads and writes of a regular file never wait anyway; the descriptor goes back to blocking for QFile.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    esito.descrittore = fd;
    return esito;
}

int bloccaEsclusivo(int descrittore)
{
    if (flock(descrittore, LOCK_EX | LOCK_NB) == 0)
        return 1;
    return errno == EWOULDBLOCK ? 0 : -1;
}

bool stessoFile(int descrittore, const QString &percorso)
{
    struct stat aperto{}, ora{};
    return fstat(descrittore, &aperto) == 0 && lstat(QFile::encodeName(percorso).constData(), &ora) == 0
           && aperto.st_dev == ora.st_dev && aperto.st_ino == ora.st_ino;
}

QByteArray identitaDi(const QString &percorso)
{
    struct stat info{};
    if (stat(QFile::encodeName(percorso).constData(), &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
}

qint64 inizioDati(int descrittore, qint64 da)
{
    const off_t qui = lseek(descrittore, 0, SEEK_CUR);
    off_t dati = lseek(descrittore, off_t(da), SEEK_DATA);
    if (dati < 0)
        dati = errno == ENXIO ? lseek(descrittore, 0, SEEK_END) : off_t(da);
    lseek(descrittore, qui, SEEK_SET);
    return qint64(dati);
}

void chiudi(int descrittore)
{
    if (descrittore >= 0)
        ::close(descrittore);
}

bool soloProprietario(const QString &cartella)
{
    return chmod(QFile::encodeName(cartella).constData(), 0700) == 0;
}

bool soloAlProprietario(int descrittore)
{
    return fchmod(descrittore, 0600) == 0;
}
