// SPDX-License-Identifier: MIT
#include "cartellaprotetta.h"

#include <QDir>
#include <QRegularExpression>

QString CartellaProtetta::percorsoDi(const QString &nome) const
{
    return QDir(m_percorso).filePath(nome);
}

QString CartellaProtetta::modelloTemporaneo(const QString &nome)
{
    return QStringLiteral("\\A") + QRegularExpression::escape(nome) + QStringLiteral("\\.[A-Za-z]{6}\\z");
}
