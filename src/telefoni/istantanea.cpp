// SPDX-License-Identifier: MIT
#include "istantanea.h"

#include "archivio.h"
#include "dichiarazioni.h"
#include "ordine.h"
#include "premi.h"
#include "storia.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

QByteArray istantaneaTelefoni(const StoriaPartita &partita, qint64 sequenza)
{
    QJsonObject o;
    o[QLatin1String("seq")] = sequenza;
    QJsonArray numeri;
    for (int n : partita.sulTabellone())
        numeri.append(n);
    o[QLatin1String("numeri")] = numeri;
    const int ultimo = partita.ultimo();
    o[QLatin1String("ultimo")] = ultimo;
    o[QLatin1String("commento")] = ultimo >= 1 && ultimo <= 90 ? Dichiarazioni::Commenti[std::size_t(ultimo)].trimmed() : QString();
    QJsonArray ultimi;
    for (const Evento &e : partita.ultimeChiamate(5))
        ultimi.append(e.numero);
    o[QLatin1String("ultimi")] = ultimi;
    o[QLatin1String("chiamate")] = partita.chiamate();
    o[QLatin1String("impronta")] = partita.seme.isEmpty() ? QString() : improntaSeme(partita.seme);
    o[QLatin1String("chiusa")] = partita.chiusa();

    o[QLatin1String("programma")] = !partita.programma.vuoto();
    QJsonArray aperte;
    const auto stato = statoPremi(partita);
    for (Categoria c : Categorie)
        if (stato[indice(c)].aperta)
            aperte.append(nomeCategoria(c));
    o[QLatin1String("aperte")] = aperte;
    QJsonArray premi;
    for (const Assegnazione &a : partita.assegnazioni) {
        if (a.ritirata)
            continue;
        QStringList vincitori;
        for (const Vincitore &v : a.vincitori)
            vincitori.append(v.cartella.nome());
        premi.append(QJsonObject{{QLatin1String("categoria"), nomeCategoria(a.categoria)},
                                 {QLatin1String("premio"), testoPremio(a.premio)},
                                 {QLatin1String("vincitori"), vincitori.join(QLatin1String(", "))}});
    }
    o[QLatin1String("premi")] = premi;
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<QByteArray> cartellaTelefoni(const ArchivioLetto &archivio, const QString &codice)
{
    // The code and the number, as printed: a bare number could be another batch's card.
    static const QRegularExpression forma(QStringLiteral("^([A-Za-z0-9]{1,12})-([0-9]{1,6})$"));
    const auto trovato = forma.match(codice.trimmed());
    if (!trovato.hasMatch())
        return std::nullopt;
    const CartellaCercata cercata = cercaCartella(archivio, trovato.captured(1).toUpper(), trovato.captured(2).toInt());
    if (!cercata.trovata())
        return std::nullopt;
    QJsonArray righe;
    for (const auto &riga : numeriDellaCartella(cercata.cartella)) {
        QJsonArray r;
        for (auto n : riga)
            r.append(int(n));
        righe.append(r);
    }
    const QJsonObject o{{QLatin1String("codice"), QStringLiteral("%1-%2").arg(cercata.codice).arg(cercata.numero)},
                        {QLatin1String("numeri"), righe}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}
