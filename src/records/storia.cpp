// SPDX-License-Identifier: MIT
#include "storia.h"

#include "dichiarazioni.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace {

constexpr char Intestazione[] = "tabellone storia 1";
constexpr char FineRiga[] = "\r\n";
constexpr qint64 DimensioneMassima = DimensioneMassimaStoria;
constexpr auto FormatoMomento = "yyyy-MM-ddTHH:mm:ss";

QByteArray momento(const QDateTime &quando)
{
    return quando.isValid() ? quando.toString(QLatin1String(FormatoMomento)).toLatin1() : QByteArrayLiteral("-");
}

// "-" is a moment not known; anything else must be one exactly as written.
std::optional<QDateTime> leggiMomento(const QByteArray &testo)
{
    if (testo == "-")
        return QDateTime();
    const QDateTime quando = QDateTime::fromString(QString::fromLatin1(testo), QLatin1String(FormatoMomento));
    if (!quando.isValid() || momento(quando) != testo)
        return std::nullopt;
    return quando;
}

char letteraFonte(Fonte fonte)
{
    switch (fonte) {
    case Fonte::Sacchetto: return 's';
    case Fonte::Computer: return 'c';
    case Fonte::Ignota: break;
    }
    return '?';
}

std::optional<Fonte> leggiFonte(const QByteArray &testo)
{
    if (testo == "s")
        return Fonte::Sacchetto;
    if (testo == "c")
        return Fonte::Computer;
    if (testo == "?")
        return Fonte::Ignota;
    return std::nullopt;
}

// Free texts (a prize, a reason) as one word: percent-encoded UTF-8, so blanks
// and line ends survive; "-" is the empty text, so a dash itself is encoded.
QByteArray testoCodificato(const QString &testo)
{
    return testo.isEmpty() ? QByteArrayLiteral("-") : testo.toUtf8().toPercentEncoding(QByteArray(), "-");
}

// Only the one spelling the writer gives, of a text of at most MassimaLunghezzaTesto characters.
std::optional<QString> leggiTesto(const QByteArray &parola)
{
    if (parola == "-")
        return QString();
    // Each character is at most four bytes, each written as three.
    if (parola.isEmpty() || parola.size() > MassimaLunghezzaTesto * 12)
        return std::nullopt;
    const QByteArray byte = QByteArray::fromPercentEncoding(parola);
    if (byte.toPercentEncoding(QByteArray(), "-") != parola)
        return std::nullopt;
    const QString testo = QString::fromUtf8(byte);
    if (testo.toUtf8() != byte || testo.size() > MassimaLunghezzaTesto)
        return std::nullopt;
    return testo;
}

// A whole number in [minimo, massimo], written as the writer writes it: no sign, no leading zero.
std::optional<qint64> leggiIntero(const QByteArray &parola, qint64 minimo, qint64 massimo)
{
    bool ok = false;
    const qint64 valore = parola.toLongLong(&ok);
    if (!ok || QByteArray::number(valore) != parola || valore < minimo || valore > massimo)
        return std::nullopt;
    return valore;
}

QByteArray parolaCategoria(Categoria categoria)
{
    return nomeCategoria(categoria).toLatin1();
}

// The programme's lines, all starting "p"; none for no programme. Equal prizes
// in a row make one line: 120 cinquine of 5 euro are "p premi cinquina 120 500 -".
QByteArray righeProgramma(const Programma &programma)
{
    if (programma.vuoto())
        return {};
    QByteArray righe;
    if (programma.montepremi > 0)
        righe += "p montepremi " + QByteArray::number(programma.montepremi) + FineRiga;
    if (programma.tabellone)
        righe += QByteArrayLiteral("p tabellone") + FineRiga;
    for (const Categoria c : Categorie) {
        const ProgrammaCategoria &pc = programma[c];
        if (pc.quota > 0)
            righe += "p quota " + parolaCategoria(c) + ' ' + QByteArray::number(pc.quota) + FineRiga;
        for (qsizetype i = 0; i < pc.premi.size();) {
            qsizetype fine = i + 1;
            while (fine < pc.premi.size() && pc.premi[fine] == pc.premi[i])
                ++fine;
            righe += "p premi " + parolaCategoria(c) + ' ' + QByteArray::number(fine - i) + ' '
                     + QByteArray::number(pc.premi[i].centesimi) + ' ' + testoCodificato(pc.premi[i].testo) + FineRiga;
            i = fine;
        }
    }
    return righe;
}

// "a <category> <prize, from 1> <last call> <when> <cents> <text> <card:call,…>",
// then "ritirata <when> <reason>" when it was withdrawn.
QByteArray righeAssegnazione(const Assegnazione &a)
{
    QByteArrayList vincitori;
    for (const Vincitore &v : a.vincitori)
        vincitori.append(v.cartella.chiave().toLatin1() + ':' + QByteArray::number(v.chiamata));
    QByteArray righe = "a " + parolaCategoria(a.categoria) + ' ' + QByteArray::number(a.numero + 1) + ' '
                       + QByteArray::number(a.ultimaChiamata) + ' ' + momento(a.quando) + ' '
                       + QByteArray::number(a.premio.centesimi) + ' ' + testoCodificato(a.premio.testo) + ' '
                       + vincitori.join(',') + FineRiga;
    if (a.ritirata)
        righe += "ritirata " + momento(a.quandoRitirata) + ' ' + testoCodificato(a.motivo) + FineRiga;
    return righe;
}

// Reads "p" lines into a programme: each setting once, prizes no more than a
// category holds. Whether the whole makes a programme is checked at the end.
class LettoreProgramma
{
public:
    Programma programma;

    bool riga(const QList<QByteArray> &parti)
    {
        if (parti.size() < 2 || parti[0] != "p")
            return false;
        const QByteArray &chiave = parti[1];
        if (chiave == "montepremi" && parti.size() == 3 && programma.montepremi == 0) {
            const auto valore = leggiIntero(parti[2], 1, MassimoImporto);
            return valore && (programma.montepremi = *valore, true);
        }
        if (chiave == "tabellone" && parti.size() == 2 && !programma.tabellone)
            return programma.tabellone = true;
        const auto categoria = parti.size() > 2 ? categoriaDalNome(QString::fromLatin1(parti[2])) : std::nullopt;
        if (!categoria)
            return false;
        ProgrammaCategoria &pc = programma[*categoria];
        if (chiave == "quota" && parti.size() == 4 && pc.quota == 0) {
            const auto valore = leggiIntero(parti[3], 1, QuotaIntera);
            return valore && (pc.quota = int(*valore), true);
        }
        if (chiave == "premi" && parti.size() == 6) {
            const auto quanti = leggiIntero(parti[3], 1, MassimoPremiPerCategoria - pc.premi.size());
            const auto centesimi = leggiIntero(parti[4], 0, MassimoImporto);
            const auto testo = leggiTesto(parti[5]);
            if (!quanti || !centesimi || !testo)
                return false;
            pc.premi.append(QList<Premio>(*quanti, Premio{*testo, *centesimi}));
            return true;
        }
        return false;
    }

    bool valido() const { return erroreProgramma(programma).isEmpty(); }
};

QByteArray righePartita(const QByteArray &titolo, const StoriaPartita &partita)
{
    QByteArray righe = titolo + FineRiga;
    righe += righeProgramma(partita.programma);
    if (partita.inizio.isValid())
        righe += "inizio " + momento(partita.inizio) + FineRiga;
    if (!partita.seme.isEmpty())
        righe += "seme " + partita.seme.toHex() + FineRiga;
    for (const Evento &e : partita.eventi) {
        if (e.tipo == Evento::Tipo::Chiamata)
            righe += "c " + QByteArray::number(e.chiamata) + ' ' + QByteArray::number(e.numero) + ' ' + momento(e.quando)
                     + ' ' + letteraFonte(e.fonte) + FineRiga;
        else
            righe += "r " + QByteArray::number(e.numero) + ' ' + momento(e.quando) + FineRiga;
    }
    for (const Assegnazione &a : partita.assegnazioni)
        righe += righeAssegnazione(a);
    if (partita.fine.isValid())
        righe += "fine " + momento(partita.fine) + FineRiga;
    return righe;
}

// Reads a game's lines, checking that they tell a possible story: calls
// numbered 1, 2, 3…, no number called while on the board, none withdrawn
// that is not on it.
class LettorePartita
{
public:
    StoriaPartita partita;

    bool riga(const QList<QByteArray> &parti)
    {
        const bool dopoAssegnazione = std::exchange(m_dopoAssegnazione, false);
        const QByteArray &chiave = parti.constFirst();
        if (chiave == "p") {
            // The programme heads the game's lines.
            return !partita.inizio.isValid() && partita.seme.isEmpty() && partita.eventi.isEmpty()
                   && partita.assegnazioni.isEmpty() && !m_chiusa && m_programma.riga(parti)
                   && (partita.programma = m_programma.programma, true);
        }
        if (chiave == "a" && !m_chiusa)
            return m_dopoAssegnazione = assegnazione(parti);
        if (chiave == "ritirata" && dopoAssegnazione && parti.size() == 3) {
            Assegnazione &a = partita.assegnazioni.last();
            const auto quando = leggiMomento(parti[1]);
            const auto motivo = leggiTesto(parti[2]);
            if (!quando || !motivo || motivo->isEmpty())
                return false;
            a.ritirata = true;
            a.quandoRitirata = *quando;
            a.motivo = *motivo;
            return true;
        }
        // The prizes given follow the calls.
        if (!partita.assegnazioni.isEmpty() && chiave != "fine")
            return false;
        if (m_chiusa && chiave != "r" && chiave != "c")
            return false;
        if (chiave == "inizio" && parti.size() == 2 && !partita.inizio.isValid() && partita.eventi.isEmpty()) {
            const auto quando = leggiMomento(parti[1]);
            return quando && quando->isValid() && (partita.inizio = *quando, true);
        }
        if (chiave == "seme" && parti.size() == 2 && partita.seme.isEmpty() && partita.eventi.isEmpty()) {
            partita.seme = QByteArray::fromHex(parti[1]);
            return parti[1].size() == 64 && partita.seme.toHex() == parti[1];
        }
        if (chiave == "c" && parti.size() == 5) {
            bool k = false, n = false;
            Evento e{Evento::Tipo::Chiamata, parti[1].toInt(&k), parti[2].toInt(&n), {}, Fonte::Ignota};
            const auto quando = leggiMomento(parti[3]);
            const auto fonte = leggiFonte(parti[4]);
            if (!k || !n || !quando || !fonte || e.chiamata != m_chiamate + 1 || !Dichiarazioni::numeroValido(e.numero)
                || m_sulTabellone[std::size_t(e.numero)])
                return false;
            e.quando = *quando;
            e.fonte = *fonte;
            ++m_chiamate;
            m_sulTabellone[std::size_t(e.numero)] = true;
            partita.eventi.append(e);
            return true;
        }
        if (chiave == "r" && parti.size() == 3) {
            bool n = false;
            Evento e{Evento::Tipo::Ritiro, 0, parti[1].toInt(&n), {}, Fonte::Ignota};
            const auto quando = leggiMomento(parti[2]);
            if (!n || !quando || !Dichiarazioni::numeroValido(e.numero) || !m_sulTabellone[std::size_t(e.numero)])
                return false;
            e.quando = *quando;
            m_sulTabellone[std::size_t(e.numero)] = false;
            partita.eventi.append(e);
            return true;
        }
        if (chiave == "fine" && parti.size() == 2 && !m_chiusa) {
            const auto quando = leggiMomento(parti[1]);
            m_chiusa = quando && quando->isValid();
            return m_chiusa && (partita.fine = *quando, true);
        }
        return false;
    }

    // What can only be checked once the game's lines are all read: a
    // programme that is one, and no prize held twice.
    bool completa() const
    {
        if (!m_programma.valido())
            return false;
        QSet<std::pair<int, int>> tenuti;
        for (const Assegnazione &a : partita.assegnazioni) {
            if (a.ritirata)
                continue;
            const std::pair<int, int> premio{int(indice(a.categoria)), a.numero};
            if (tenuti.contains(premio))
                return false;
            tenuti.insert(premio);
        }
        return true;
    }

private:
    bool assegnazione(const QList<QByteArray> &parti)
    {
        if (parti.size() != 8)
            return false;
        Assegnazione a;
        const auto categoria = categoriaDalNome(QString::fromLatin1(parti[1]));
        if (!categoria)
            return false;
        a.categoria = *categoria;
        const auto numero = leggiIntero(parti[2], 1, partita.programma.quanti(a.categoria));
        const auto ultima = leggiIntero(parti[3], 1, std::numeric_limits<int>::max());
        const auto quando = leggiMomento(parti[4]);
        const auto centesimi = leggiIntero(parti[5], 0, MassimoImporto);
        const auto testo = leggiTesto(parti[6]);
        const QList<QByteArray> vincitori = parti[7].split(',');
        if (!numero || !ultima || !quando || !centesimi || !testo || vincitori.size() > MassimoVincitori)
            return false;
        a.numero = int(*numero) - 1;
        a.ultimaChiamata = int(*ultima);
        a.quando = *quando;
        a.premio = {*testo, *centesimi};
        QSet<QString> visti;
        for (const QByteArray &parola : vincitori) {
            const QList<QByteArray> campi = parola.split(':');
            if (campi.size() != 2)
                return false;
            const auto id = IdCartella::dallaChiave(QString::fromLatin1(campi[0]));
            const auto chiamata = leggiIntero(campi[1], 1, a.ultimaChiamata);
            if (!id || !chiamata || visti.contains(id->chiave()))
                return false;
            visti.insert(id->chiave());
            a.vincitori.append({*id, int(*chiamata)});
        }
        partita.assegnazioni.append(a);
        return true;
    }

    int m_chiamate = 0;
    bool m_chiusa = false;
    bool m_dopoAssegnazione = false;
    LettoreProgramma m_programma;
    std::array<bool, Dichiarazioni::UltimoNumero + 1> m_sulTabellone{};
};

// The board a story leaves, as a set.
std::array<bool, Dichiarazioni::UltimoNumero + 1> tabelloneDi(const QList<int> &numeri)
{
    std::array<bool, Dichiarazioni::UltimoNumero + 1> sul{};
    for (const int n : numeri) {
        if (Dichiarazioni::numeroValido(n))
            sul[std::size_t(n)] = true;
    }
    return sul;
}

bool concorda(const StoriaPartita &storia, const QList<int> &registro)
{
    return tabelloneDi(storia.sulTabellone()) == tabelloneDi(registro);
}

} // namespace

int StoriaPartita::chiamate() const
{
    return int(std::count_if(eventi.begin(), eventi.end(), [](const Evento &e) { return e.tipo == Evento::Tipo::Chiamata; }));
}

QList<int> StoriaPartita::sulTabellone() const
{
    QList<int> numeri;
    for (const Evento &e : eventi) {
        if (e.tipo == Evento::Tipo::Chiamata)
            numeri.append(e.numero);
        else
            numeri.removeOne(e.numero);
    }
    return numeri;
}

int StoriaPartita::ultimo() const
{
    const QList<int> numeri = sulTabellone();
    return numeri.isEmpty() ? 0 : numeri.constLast();
}

QList<Evento> StoriaPartita::ultimeChiamate(int n) const
{
    const QList<int> sul = sulTabellone();
    QList<Evento> ultime;
    for (auto e = eventi.crbegin(); e != eventi.crend() && ultime.size() < n; ++e) {
        if (e->tipo == Evento::Tipo::Chiamata && sul.contains(e->numero)
            && std::none_of(ultime.begin(), ultime.end(), [&](const Evento &u) { return u.numero == e->numero; }))
            ultime.prepend(*e);
    }
    return ultime;
}

QByteArray contenutoStoria(const Storia &storia)
{
    QByteArray contenuto = QByteArray(Intestazione) + FineRiga;
    contenuto += "intervallo " + QByteArray::number(storia.intervallo) + FineRiga;
    contenuto += righeProgramma(storia.programma);
    contenuto += righePartita("partita", storia.corrente);
    if (storia.precedente)
        contenuto += righePartita("precedente", *storia.precedente);
    return contenuto;
}

std::optional<Storia> leggiContenutoStoria(const QByteArray &contenuto)
{
    if (contenuto.size() > DimensioneMassima)
        return std::nullopt;
    QList<QByteArray> righe = contenuto.split('\n');
    if (righe.constLast().isEmpty())
        righe.removeLast();
    Storia storia;
    std::optional<LettorePartita> corrente, precedente;
    LettorePartita *lettore = nullptr;
    LettoreProgramma programma;
    bool conIntervallo = false;
    for (qsizetype i = 0; i < righe.size(); ++i) {
        QByteArray riga = righe[i];
        if (!riga.endsWith('\r'))
            return std::nullopt; // every line this program writes ends in CR LF: a cut file is not read
        riga.chop(1);
        if (i == 0) {
            if (riga != Intestazione)
                return std::nullopt;
            continue;
        }
        const QList<QByteArray> parti = riga.split(' ');
        if (riga == "partita" && !corrente && !precedente) {
            lettore = &corrente.emplace();
        } else if (riga == "precedente" && corrente && !precedente) {
            lettore = &precedente.emplace();
        } else if (parti.size() == 2 && parti[0] == "intervallo" && !conIntervallo && !lettore) {
            bool numero = false;
            storia.intervallo = parti[1].toInt(&numero);
            conIntervallo = numero && storia.intervallo >= 1 && storia.intervallo <= 3600;
            if (!conIntervallo)
                return std::nullopt;
        } else if (!lettore && parti.constFirst() == "p") {
            if (!programma.riga(parti))
                return std::nullopt;
        } else if (!lettore || !lettore->riga(parti)) {
            return std::nullopt;
        }
    }
    if (!corrente || !corrente->completa() || (precedente && !precedente->completa()) || !programma.valido())
        return std::nullopt;
    storia.programma = programma.programma;
    storia.corrente = corrente->partita;
    if (precedente)
        storia.precedente = precedente->partita;
    return storia;
}

namespace {

StoriaPartita conciliaPartita(StoriaPartita storia, const QList<int> &registro)
{
    if (concorda(storia, registro))
        return storia;
    // Killed between the story's write and the record's: the record holds the state before the last event.
    if (!storia.eventi.isEmpty()) {
        StoriaPartita prima = storia;
        prima.eventi.removeLast();
        if (concorda(prima, registro)) {
            if (prima.chiamate() == 0)
                prima.inizio = QDateTime();
            return prima;
        }
    }
    // Written by a program that kept no story, or changed by hand: what the record adds is told as not known.
    const auto sul = tabelloneDi(storia.sulTabellone());
    const auto vero = tabelloneDi(registro);
    for (int n = Dichiarazioni::PrimoNumero; n <= Dichiarazioni::UltimoNumero; ++n) {
        if (sul[std::size_t(n)] && !vero[std::size_t(n)])
            storia.eventi.append({Evento::Tipo::Ritiro, 0, n, QDateTime(), Fonte::Ignota});
    }
    for (const int n : registro) {
        if (Dichiarazioni::numeroValido(n) && !sul[std::size_t(n)])
            storia.eventi.append({Evento::Tipo::Chiamata, storia.chiamate() + 1, n, QDateTime(), Fonte::Ignota});
    }
    return storia;
}

} // namespace

void concilia(Storia &storia, const QList<int> &registro)
{
    // A new game whose record write a kill stopped: the game before is still the board's.
    if (storia.corrente.vuota() && storia.precedente && !registro.isEmpty() && concorda(*storia.precedente, registro)) {
        storia.corrente = *storia.precedente;
        storia.precedente.reset();
    }
    storia.corrente = conciliaPartita(storia.corrente, registro);
}

ArchivioStoria::ArchivioStoria(std::shared_ptr<CartellaProtetta> cartella)
    : m_cartella(std::move(cartella))
{
}

ArchivioStoria::ArchivioStoria(const QString &cartella)
    : m_cartella(CartellaProtetta::apri(cartella))
{
}

QString ArchivioStoria::percorso() const
{
    return m_cartella->percorsoDi(QString::fromLatin1(NomeStoria));
}

Storia ArchivioStoria::leggi(QString *errore) const
{
    const auto motivo = [&](const QString &testo) {
        if (errore)
            *errore = QStringLiteral("%1 %2").arg(QDir::toNativeSeparators(percorso()), testo);
        return Storia{};
    };
    const Apertura apertura = m_cartella->apriFile(QString::fromLatin1(NomeStoria), false);
    if (apertura.natura == Natura::Manca)
        return {};
    if (apertura.natura != Natura::Proprio)
        return motivo(apertura.natura == Natura::Errore ? apertura.errore : descriviNatura(apertura.natura));
    QFile file;
    if (!file.open(apertura.descrittore, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        chiudi(apertura.descrittore);
        return motivo(file.errorString());
    }
    const QByteArray contenuto = file.read(DimensioneMassima + 1);
    if (file.error() != QFileDevice::NoError)
        return motivo(file.errorString());
    const std::optional<Storia> storia = leggiContenutoStoria(contenuto);
    if (!storia)
        return motivo(QStringLiteral("non è una storia di partita di questo programma"));
    return *storia;
}

EsitoScrittura ArchivioStoria::scrivi(const Storia &storia) const
{
    return m_cartella->sostituisci(QString::fromLatin1(NomeStoria), contenutoStoria(storia));
}

Storia storiaDelRegistro(const QString &cartellaRegistro)
{
    Storia storia = ArchivioStoria(cartellaRegistro).leggi();
    concilia(storia, RegistroPartita(cartellaRegistro).leggi().numeri);
    return storia;
}
