// SPDX-License-Identifier: MIT
#include "archivio.h"

#include <QDir>

QByteArray contenutoArchivio(const QList<Blocchetto> &)
{
    return {};
}

ArchivioLetto leggiArchivio(const QByteArray &)
{
    return {};
}

CartellaCercata cercaCartella(const ArchivioLetto &, const QString &, int)
{
    return {{}, {}, 0, 0, QStringLiteral("da fare")};
}

ArchivioBlocchetti::ArchivioBlocchetti(QString cartella)
    : m_cartella(std::move(cartella))
{
}

QString ArchivioBlocchetti::percorso() const
{
    return QDir(m_cartella).filePath(QString::fromLatin1(NomeArchivioBlocchetti));
}

ArchivioLetto ArchivioBlocchetti::leggi() const
{
    return {};
}

QString ArchivioBlocchetti::aggiungi(const Blocchetto &) const
{
    return QStringLiteral("da fare");
}

ArchivioBlocchetti::Nuovo ArchivioBlocchetti::nuovo(int serie, const QDate &data) const
{
    return {nuovoBlocchetto(serie, data), QStringLiteral("da fare")};
}
