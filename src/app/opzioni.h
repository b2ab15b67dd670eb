// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The options of the commands that run with no window (--cartelle,
// --verbale): read the same way, told wrong the same way.

// Whether argv holds the option, alone or as "--option=value".
bool haOpzione(int argc, char **argv, const char *opzione);

struct Opzioni {
    QHash<QString, QString> valori; // by name, dashes included
    QString errore; // Italian, a whole sentence; empty when the line is good
};

// Each option as "--nome valore" or "--nome=valore", at most once; any
// argument that is not one of nomi is refused. argomenti[0] is the program.
Opzioni leggiOpzioni(const QStringList &argomenti, const QStringList &nomi);

// "tabellone: <errore>" and the usage line on stderr; the exit status for bad arguments.
int argomentiSbagliati(const QString &errore, const QString &uso);
