// SPDX-License-Identifier: MIT
#include "cartellaprotetta.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray identita(const struct stat &info)
{
    return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
}

QString erroreDi(int numero)
{
    return QString::fromLocal8Bit(std::strerror(numero));
}

Natura naturaStat(const struct stat &info)
{
    if (S_ISLNK(info.st_mode))
        return Natura::Collegamento;
    if (!S_ISREG(info.st_mode))
        return Natura::NonOrdinario;
    if (info.st_uid != geteuid())
        return Natura::Altrui;
    if (info.st_nlink > 1)
        return Natura::PiuNomi;
    return Natura::Proprio;
}

QByteArray nomeLocale(const QString &nome)
{
    return QFile::encodeName(nome);
}

// Why creating or writing failed, in the words the user can act on.
QString motivoScrittura(int numero, bool creando)
{
    if (numero == ENOSPC)
        return QStringLiteral("il disco è pieno (%1)").arg(erroreDi(numero));
    if (creando && (numero == EACCES || numero == EPERM || numero == EROFS))
        return QStringLiteral("la cartella non permette di scrivere (%1)").arg(erroreDi(numero));
    if (creando)
        return QStringLiteral("la cartella non permette di creare il file (%1)").arg(erroreDi(numero));
    return QStringLiteral("la scrittura non è riuscita (%1)").arg(erroreDi(numero));
}

bool scriviTutto(int fd, const QByteArray &contenuto)
{
    const char *dati = contenuto.constData();
    qsizetype resta = contenuto.size();
    while (resta > 0) {
        const ssize_t scritti = ::write(fd, dati, std::size_t(resta));
        if (scritti < 0 && errno == EINTR)
            continue;
        if (scritti <= 0) {
            if (scritti == 0)
                errno = EIO;
            return false;
        }
        dati += scritti;
        resta -= scritti;
    }
    return true;
}

} // namespace

CartellaProtetta::CartellaProtetta(QString percorso)
    : m_percorso(QDir::cleanPath(percorso))
{
    assicuraAperta();
}

CartellaProtetta::~CartellaProtetta()
{
    if (m_maniglia >= 0)
        ::close(int(m_maniglia));
}

bool CartellaProtetta::assicuraAperta() const
{
    if (m_maniglia >= 0)
        return true;
    const int fd = ::open(nomeLocale(m_percorso).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info{};
    if (fstat(fd, &info) != 0) {
        ::close(fd);
        return false;
    }
    m_maniglia = fd;
    m_identita = identita(info);
    return true;
}

QString CartellaProtetta::cambiata() const
{
    if (!assicuraAperta())
        return QStringLiteral("non si può aprire");
    struct stat ora{};
    if (stat(nomeLocale(m_percorso).constData(), &ora) != 0)
        return QStringLiteral("non c'è più (%1)").arg(erroreDi(errno));
    if (identita(ora) != m_identita)
        return QStringLiteral("non è più quella aperta all'avvio (un disco tolto, o una cartella sostituita)");
    return {};
}

Natura CartellaProtetta::natura(const QString &nome) const
{
    if (!assicuraAperta())
        return errno == ENOENT || errno == ENOTDIR ? Natura::Manca : Natura::Errore;
    struct stat info{};
    if (fstatat(int(m_maniglia), nomeLocale(nome).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Natura::Manca : Natura::Errore;
    return naturaStat(info);
}

Apertura CartellaProtetta::apriFile(const QString &nome, bool scrittura) const
{
    Apertura esito;
    if (!assicuraAperta()) {
        // No folder, no file in it.
        esito.natura = errno == ENOENT || errno == ENOTDIR ? Natura::Manca : Natura::Errore;
        esito.errore = erroreDi(errno);
        return esito;
    }
    const QByteArray locale = nomeLocale(nome);
    const int cartella = int(m_maniglia);
    // A device or a pipe is not even opened when it is seen first: opening some does things.
    if (struct stat prima{}; fstatat(cartella, locale.constData(), &prima, AT_SYMLINK_NOFOLLOW) == 0
                             && (S_ISLNK(prima.st_mode) || !S_ISREG(prima.st_mode))) {
        esito.natura = naturaStat(prima);
        return esito;
    }
    // O_NONBLOCK: a pipe of that name would otherwise hold the open until a writer comes.
    const int base = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (scrittura ? O_RDWR : O_RDONLY);
    int fd = -1;
    if (scrittura) {
        fd = ::openat(cartella, locale.constData(), base | O_CREAT | O_EXCL, 0600);
        esito.creato = fd >= 0;
    }
    if (fd < 0 && (!scrittura || errno == EEXIST))
        fd = ::openat(cartella, locale.constData(), base);
    if (fd < 0) {
        const int numero = errno;
        const Natura vista = natura(nome);
        esito.natura = numero == ELOOP ? Natura::Collegamento
                       : estranea(vista) ? vista
                       : numero == ENOENT ? Natura::Manca
                                          : Natura::Errore;
        esito.errore = erroreDi(numero);
        return esito;
    }
    struct stat info{};
    esito.natura = fstat(fd, &info) == 0 ? naturaStat(info) : Natura::Errore;
    if (esito.natura != Natura::Proprio) {
        if (esito.natura == Natura::Errore)
            esito.errore = erroreDi(errno);
        ::close(fd);
        // Ours, just made: nothing else may have a name for it yet, so it goes again.
        if (esito.creato)
            unlinkat(cartella, locale.constData(), 0);
        return esito;
    }
    // Reads and writes of a regular file never wait anyway; the descriptor goes back to blocking for QFile.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    esito.descrittore = fd;
    return esito;
}

EsitoScrittura CartellaProtetta::sostituisci(const QString &nome, const QByteArray &contenuto) const
{
    if (const QString motivo = cambiata(); !motivo.isEmpty())
        return {QStringLiteral("la cartella %1 %2").arg(QDir::toNativeSeparators(m_percorso), motivo)};
    const int cartella = int(m_maniglia);
    const QByteArray locale = nomeLocale(nome);
    struct stat esistente{};
    mode_t modo = 0600;
    if (fstatat(cartella, locale.constData(), &esistente, AT_SYMLINK_NOFOLLOW) == 0) {
        const Natura vista = naturaStat(esistente);
        if (vista != Natura::Proprio)
            return {descriviNatura(vista)};
        if (!(esistente.st_mode & S_IWUSR))
            return {QStringLiteral("il file è di sola lettura")};
        modo = esistente.st_mode & 07777;
    } else if (errno != ENOENT) {
        return {QStringLiteral("il file non si può esaminare (%1)").arg(erroreDi(errno))};
    }

    // A name nobody else can have made: created here, exclusively, never through a link.
    static constexpr char Lettere[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QByteArray temporaneo;
    int fd = -1;
    for (int tentativo = 0; tentativo < 32 && fd < 0; ++tentativo) {
        temporaneo = locale + '.';
        for (int i = 0; i < 6; ++i)
            temporaneo += Lettere[QRandomGenerator::global()->bounded(int(sizeof Lettere - 1))];
        fd = ::openat(cartella, temporaneo.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return {motivoScrittura(errno, true)};
    }
    if (fd < 0)
        return {motivoScrittura(EEXIST, true)};
    const auto annulla = [&](int numero) {
        ::close(fd);
        unlinkat(cartella, temporaneo.constData(), 0);
        return EsitoScrittura{motivoScrittura(numero, false)};
    };
    // On disk before it takes the name: a crash then leaves the old file or the new one, whole.
    if (!scriviTutto(fd, contenuto) || fsync(fd) != 0)
        return annulla(errno);
    if (modo != 0600 && fchmod(fd, modo) != 0)
        return annulla(errno);
    if (::close(fd) != 0) {
        const int numero = errno;
        unlinkat(cartella, temporaneo.constData(), 0);
        return {motivoScrittura(numero, false)};
    }
    // Whatever was swapped in at the name meanwhile is what the rename replaces: only that entry, never what it points to.
    if (renameat(cartella, temporaneo.constData(), cartella, locale.constData()) != 0) {
        const int numero = errno;
        unlinkat(cartella, temporaneo.constData(), 0);
        return {QStringLiteral("il file registrato non può essere sostituito (%1)").arg(erroreDi(numero))};
    }
    fsync(cartella);
    return {};
}

bool CartellaProtetta::rimuovi(const QString &nome) const
{
    return natura(nome) == Natura::Proprio && unlinkat(int(m_maniglia), nomeLocale(nome).constData(), 0) == 0;
}
