// SPDX-License-Identifier: MIT
#include "cartellaprotetta.h"

#include <QDir>

#include <algorithm>

QString CartellaProtetta::percorsoDi(const QString &nome) const
{
    return QDir(m_percorso).filePath(nome);
}

// Plain comparisons: the one look at the folder at start needs no regular expression engine.
bool CartellaProtetta::temporaneoDi(const QString &file, const QString &nome)
{
    if (file.size() != nome.size() + 7 || !file.startsWith(nome) || file.at(nome.size()) != u'.')
        return false;
    return std::all_of(file.cbegin() + nome.size() + 1, file.cend(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
}
