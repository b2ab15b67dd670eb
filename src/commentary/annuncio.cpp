// SPDX-License-Identifier: MIT
#include "annuncio.h"

#include <QRegularExpression>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QStringList Unita = {u""_s, u"uno"_s, u"due"_s, u"tre"_s, u"quattro"_s,
                           u"cinque"_s, u"sei"_s, u"sette"_s, u"otto"_s, u"nove"_s};
const QStringList DaDieciADiciannove = {u"dieci"_s, u"undici"_s, u"dodici"_s, u"tredici"_s,
                                        u"quattordici"_s, u"quindici"_s, u"sedici"_s,
                                        u"diciassette"_s, u"diciotto"_s, u"diciannove"_s};
const QStringList Decine = {u""_s, u""_s, u"venti"_s, u"trenta"_s, u"quaranta"_s,
                            u"cinquanta"_s, u"sessanta"_s, u"settanta"_s, u"ottanta"_s, u"novanta"_s};

// Names the smorfia lists hold, written with a capital as Italian wants.
const QStringList NomiPropri = {u"cristo"_s, u"antonio"_s, u"italia"_s, u"madonna"_s,
                                u"natale"_s, u"annetta"_s, u"pulcinella"_s, u"purgatorio"_s};

bool vocale(QChar c)
{
    return u"aeiouAEIOU"_s.contains(c);
}

QString maiuscolaIniziale(QString parola)
{
    if (!parola.isEmpty())
        parola[0] = parola[0].toUpper();
    return parola;
}

// A word whose final apostrophe stands for an accent ("castita'", "perche'"):
// the accent is grave except for the closed e of né, sé, perché and the
// compounds of tre.
QString accentata(const QString &parola)
{
    const QString radice = parola.chopped(2);
    const QChar ultima = parola.at(parola.size() - 2);
    if (parola == u"po'"_s) // a cut word, not an accent
        return parola;
    switch (ultima.unicode()) {
    case 'a': return radice + u"à"_s;
    case 'i': return radice + u"ì"_s;
    case 'o': return radice + u"ò"_s;
    case 'u': return radice + u"ù"_s;
    case 'e': {
        const bool chiusa = radice == u"n"_s || radice == u"s"_s || radice.endsWith(u"ch"_s)
                            || (radice.endsWith(u"tr"_s) && radice.size() > 2);
        return radice + (chiusa ? u"é"_s : u"è"_s);
    }
    default: return parola;
    }
}

// "S." before a saint's name, as it is said: Sant'Antonio, Santo Stefano,
// Santa Lucia, San Giuseppe.
QString santo(const QString &nome)
{
    if (nome.isEmpty())
        return u"san"_s;
    if (vocale(nome.at(0)))
        return u"sant'"_s + nome;
    if ((nome.startsWith(u's') && nome.size() > 1 && !vocale(nome.at(1))) || nome.startsWith(u'z'))
        return u"santo "_s + nome;
    if (nome.endsWith(u'a'))
        return u"santa "_s + nome;
    return u"san "_s + nome;
}

// The comment as it is read aloud: lower case, accents written as accents,
// abbreviations spelt out, asides and dashes turned into pauses.
QString commentoParlato(const QString &commento)
{
    QString testo = commento.toLower();
    testo.replace(QRegularExpression(u"\\s*[()]\\s*|\\s+-\\s+"_s), u", "_s);
    // "l' italia"; a vowel with an apostrophe ("e' un") is an accent instead
    testo.replace(QRegularExpression(u"\\b([b-df-hj-np-tv-z])'\\s+"_s), u"\\1'"_s);
    testo = testo.simplified();
    while (testo.startsWith(u','))
        testo = testo.mid(1).trimmed();
    while (testo.endsWith(u','))
        testo = testo.chopped(1).trimmed();

    QStringList parole = testo.split(u' ');
    QStringList risultato;
    for (qsizetype i = 0; i < parole.size(); ++i) {
        QString parola = parole.at(i);
        if (parola == u"s."_s && i + 1 < parole.size()) {
            parola = santo(parole.at(++i));
        } else if (parola.size() > 1 && parola.endsWith(u'\'')) {
            parola = accentata(parola);
        }
        risultato.append(parola);
    }
    for (QString &parola : risultato) {
        // Capitals for names, also after an elision ("l'Italia", "sant'Antonio").
        const qsizetype apostrofo = parola.lastIndexOf(u'\'') + 1;
        QString nome = parola.mid(apostrofo);
        QString coda;
        while (!nome.isEmpty() && !nome.back().isLetter()) {
            coda.prepend(nome.back());
            nome.chop(1);
        }
        if (NomiPropri.contains(nome))
            parola = parola.left(apostrofo) + maiuscolaIniziale(nome) + coda;
    }
    return risultato.join(u' ');
}

} // namespace

QString paroleNumero(int n)
{
    if (n < 1 || n > 90)
        return {};
    if (n < 10)
        return Unita.at(n);
    if (n < 20)
        return DaDieciADiciannove.at(n - 10);
    QString decina = Decine.at(n / 10);
    const int unita = n % 10;
    if (unita == 1 || unita == 8)
        decina.chop(1); // ventuno, trentotto
    return decina + (unita == 3 ? u"tré"_s : Unita.at(unita));
}

QString testoAnnuncio(int numero, const QString &commento)
{
    QString testo = maiuscolaIniziale(paroleNumero(numero)) + u'.';
    const QString parlato = commentoParlato(commento);
    if (!parlato.isEmpty()) {
        testo += u' ' + maiuscolaIniziale(parlato);
        if (!u".!?"_s.contains(parlato.back()))
            testo += u'.';
    }
    return testo;
}
