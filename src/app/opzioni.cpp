// SPDX-License-Identifier: MIT
#include "opzioni.h"

#include "console.h"

#include <cstring>

bool haOpzione(int argc, char **argv, const char *opzione)
{
    const std::size_t lunghezza = std::strlen(opzione);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], opzione, lunghezza) == 0 && (argv[i][lunghezza] == '\0' || argv[i][lunghezza] == '='))
            return true;
    }
    return false;
}

Opzioni leggiOpzioni(const QStringList &argomenti, const QStringList &nomi)
{
    Opzioni opzioni;
    const auto errore = [](const QString &testo) { return Opzioni{{}, testo}; };
    for (qsizetype i = 1; i < argomenti.size(); ++i) {
        QString nome = argomenti.at(i), valore;
        const qsizetype uguale = nome.indexOf(QLatin1Char('='));
        const bool unito = nome.startsWith(QLatin1String("--")) && uguale > 0;
        if (unito) {
            valore = nome.mid(uguale + 1);
            nome.truncate(uguale);
        }
        if (!nomi.contains(nome))
            return errore(QStringLiteral("argomento non riconosciuto: «%1».").arg(argomenti.at(i)));
        if (opzioni.valori.contains(nome))
            return errore(QStringLiteral("%1 è ripetuto.").arg(nome));
        if (!unito) {
            if (i + 1 >= argomenti.size())
                return errore(QStringLiteral("dopo %1 manca il valore.").arg(nome));
            valore = argomenti.at(++i);
        }
        opzioni.valori.insert(nome, valore);
    }
    return opzioni;
}

int argomentiSbagliati(const QString &errore, const QString &uso)
{
    scriviTesto(stderr, QStringLiteral("tabellone: %1\nUso: %2\n").arg(errore, uso));
    return 2;
}
