// SPDX-License-Identifier: MIT
#include "caratteri.h"

#include <QFont>
#include <QStringList>

void registraSostituti()
{
    QFont::insertSubstitutions(QStringLiteral("Arial Rounded MT Bold"),
                               {QStringLiteral("Quicksand"), QStringLiteral("Comfortaa"),
                                QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Lucida Handwriting"),
                               {QStringLiteral("Dancing Script"), QStringLiteral("URW Chancery L"),
                                QStringLiteral("Liberation Serif")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                QStringLiteral("DejaVu Sans")});
}
