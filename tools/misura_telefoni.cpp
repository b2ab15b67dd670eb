// SPDX-License-Identifier: MIT
// Benchmark of the phones' server (see misura_telefoni.sh): N WebSocket
// phones on loopback, in threads of their own; the server on the main
// thread, as on the board. Measures, over a series of draws, the time from
// publishing a snapshot to the last phone holding it, how long the publish
// holds the board's thread, and memory and CPU with the phones idle.
// With --collega it is only the phones, for a board running elsewhere: see
// collega() below.
#include "servertelefoni.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <vector>

namespace {

qint64 adessoUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &riga : f.readAll().split('\n'))
        if (riga.startsWith("VmRSS:"))
            return riga.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

double cpuS()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

std::mutex guardia;
std::vector<std::vector<qint64>> arrivi; // per draw, each phone's arrival (µs)
std::atomic<int> connessi = 0;

// One phone of the hall, as the page behaves: opens /ws, reads every
// snapshot, says "ping" every 30 s. Written on a bare TCP socket so that it
// can come from an address of its own: the board takes only a few
// connections from each address, and here every phone is on loopback.
class Telefono : public QObject
{
public:
    Telefono(const QHostAddress &da, const QUrl &url, int primoPing)
    {
        connect(&m_socket, &QTcpSocket::connected, this, [this, url] {
            m_socket.write("GET /ws HTTP/1.1\r\nHost: " + url.host().toUtf8() + ':' + QByteArray::number(url.port())
                           + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                             "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
        });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { leggi(); });
        connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
            if (std::exchange(m_aperto, false))
                --connessi;
            ++chiusi;
        });
        m_ping.setInterval(30000);
        connect(&m_ping, &QTimer::timeout, this, [this] { invia("ping"); });
        QTimer::singleShot(primoPing, &m_ping, [this] { m_ping.start(); invia("ping"); });
        m_socket.bind(da);
        m_socket.connectToHost(url.host(), quint16(url.port()));
    }

    static inline std::atomic<int> connessi = 0;
    static inline std::atomic<int> chiusi = 0;
    // Per snapshot's sequence number: how many phones hold it, the first and the last arrival (µs).
    struct Arrivo {
        int quanti = 0;
        qint64 primo = 0, ultimo = 0;
        bool detto = false;
    };
    static inline std::mutex guardia;
    static inline std::map<qint64, Arrivo> arrivi;

private:
    void leggi()
    {
        m_dati += m_socket.readAll();
        if (!m_aperto) {
            const qsizetype fine = m_dati.indexOf("\r\n\r\n");
            if (fine < 0)
                return;
            if (!m_dati.startsWith("HTTP/1.1 101")) {
                m_socket.abort();
                return;
            }
            m_aperto = true;
            ++connessi;
            m_dati.remove(0, fine + 4);
        }
        // The board's frames: unmasked, whole messages.
        for (;;) {
            if (m_dati.size() < 2)
                return;
            const auto b0 = quint8(m_dati[0]), b1 = quint8(m_dati[1] & 0x7f);
            qsizetype testa = 2;
            quint64 lunghezza = b1;
            if (b1 == 126) {
                testa = 4;
                if (m_dati.size() < testa)
                    return;
                lunghezza = (quint64(quint8(m_dati[2])) << 8) | quint8(m_dati[3]);
            } else if (b1 == 127) {
                testa = 10;
                if (m_dati.size() < testa)
                    return;
                lunghezza = 0;
                for (int i = 2; i < 10; ++i)
                    lunghezza = (lunghezza << 8) | quint8(m_dati[i]);
            }
            if (quint64(m_dati.size() - testa) < lunghezza)
                return;
            if ((b0 & 0x0f) == 1)
                ricevuto(m_dati.mid(testa, qsizetype(lunghezza)));
            m_dati.remove(0, testa + qsizetype(lunghezza));
        }
    }

    static void ricevuto(const QByteArray &istantanea)
    {
        const qint64 quando = adessoUs();
        const qsizetype i = istantanea.indexOf("\"seq\":");
        if (i < 0)
            return;
        qsizetype fine = i + 6;
        while (fine < istantanea.size() && istantanea[fine] >= '0' && istantanea[fine] <= '9')
            ++fine;
        const qint64 seq = istantanea.mid(i + 6, fine - i - 6).toLongLong();
        std::lock_guard<std::mutex> g(guardia);
        Arrivo &a = arrivi[seq];
        if (a.quanti++ == 0)
            a.primo = quando;
        a.ultimo = std::max(a.ultimo, quando);
    }

    void invia(const QByteArray &testo)
    {
        if (!m_aperto)
            return;
        // A client's frames are masked.
        const char maschera[4] = {0x12, 0x34, 0x56, 0x78};
        QByteArray cornice;
        cornice.append(char(0x81)).append(char(0x80 | testo.size())).append(maschera, 4);
        for (qsizetype i = 0; i < testo.size(); ++i)
            cornice.append(char(testo[i] ^ maschera[i % 4]));
        m_socket.write(cornice);
    }

    QTcpSocket m_socket;
    QTimer m_ping;
    QByteArray m_dati;
    bool m_aperto = false;
};

// Connects `telefoni` phones to the board at `url` (ws://127.0.0.1:8090/ws),
// each from its own loopback address, and holds them until ended. Prints
// "collegati N" once they are all connected (or after 60 s), then one line per
// snapshot once every connected phone holds it (or 3 s after the first did):
// "seq S telefoni C primo T ultimo T", times in µs of the monotonic clock (the
// one Python's time.monotonic() reads).
int collega(const QUrl &url, int telefoni)
{
    const int fili = 4;
    std::vector<QThread *> thread;
    std::mt19937 caso(20261207);
    for (int f = 0; f < fili; ++f) {
        QThread *t = new QThread;
        t->start();
        thread.push_back(t);
    }
    for (int i = 0; i < telefoni; ++i) {
        const QHostAddress da(QStringLiteral("127.1.%1.%2").arg(i / 250).arg(i % 250 + 1));
        const int primoPing = int(caso() % 30000);
        auto *nido = new QObject;
        nido->moveToThread(thread[size_t(i % fili)]);
        QMetaObject::invokeMethod(nido, [nido, da, url, primoPing] { new Telefono(da, url, primoPing); nido->deleteLater(); });
    }
    QElapsedTimer attesa;
    attesa.start();
    while (Telefono::connessi < telefoni && attesa.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("collegati %d in %lld ms\n", Telefono::connessi.load(), attesa.elapsed());
    std::fflush(stdout);
    QTimer resoconto;
    QObject::connect(&resoconto, &QTimer::timeout, [] {
        const qint64 adesso = adessoUs();
        const int connessi = Telefono::connessi;
        std::lock_guard<std::mutex> g(Telefono::guardia);
        for (auto &[seq, a] : Telefono::arrivi) {
            if (a.detto || (a.quanti < connessi && adesso - a.primo < 3000000))
                continue;
            a.detto = true;
            std::printf("seq %lld telefoni %d di %d primo %lld ultimo %lld\n", seq, a.quanti, connessi, a.primo, a.ultimo);
        }
        std::fflush(stdout);
    });
    resoconto.start(20);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 2 && QByteArray(argv[1]) == "--collega")
        return collega(QUrl(QString::fromUtf8(argv[2])), argc > 3 ? atoi(argv[3]) : 500);
    const int telefoni = argc > 1 ? atoi(argv[1]) : 500;
    const int estrazioni = argc > 2 ? atoi(argv[2]) : 40;
    const int fili = 4;

    LimitiTelefoni limiti;
    // Every phone comes from 127.0.0.1 here.
    limiti.connessioniTotali = telefoni + 10;
    limiti.connessioniPerIndirizzo = telefoni + 10;
    ServerTelefoni server("<!DOCTYPE html>", [](const QString &) { return std::nullopt; }, limiti);
    if (!server.avvia(QHostAddress::LocalHost, 0))
        return 1;
    const QByteArray base = R"({"seq":0,"numeri":[)" + QByteArray("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,")
                            + R"(21],"commento":"un commento di media lunghezza","premi":[]})";
    server.pubblica(base);
    arrivi.assign(size_t(estrazioni), {});
    const long rssPrima = rssKb();

    std::vector<QThread *> thread;
    for (int f = 0; f < fili; ++f) {
        QThread *t = new QThread;
        t->start();
        thread.push_back(t);
        const int quanti = telefoni / fili + (f < telefoni % fili ? 1 : 0);
        QTimer::singleShot(0, qApp, [&, t, quanti] {
            for (int i = 0; i < quanti; ++i) {
                auto *ws = new QWebSocket;
                ws->moveToThread(t);
                QMetaObject::invokeMethod(ws, [ws, &server] {
                    QObject::connect(ws, &QWebSocket::connected, ws, [] { ++connessi; });
                    QObject::connect(ws, &QWebSocket::textMessageReceived, ws, [](const QString &m) {
                        const qint64 quando = adessoUs();
                        const int seq = m.mid(7, m.indexOf(QLatin1Char(',')) - 7).toInt();
                        if (seq >= 1 && seq <= int(arrivi.size())) {
                            std::lock_guard<std::mutex> g(guardia);
                            arrivi[size_t(seq - 1)].push_back(quando);
                        }
                    });
                    ws->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(server.porta())));
                });
            }
        });
    }
    QElapsedTimer attesa;
    attesa.start();
    while (connessi < telefoni && attesa.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("telefoni collegati: %d di %d in %lld ms\n", connessi.load(), telefoni, attesa.elapsed());

    // Idle: memory and CPU of the whole process (phones included) over 10 s.
    QThread::msleep(500);
    QCoreApplication::processEvents();
    const double cpu0 = cpuS();
    QEventLoop riposo;
    QTimer::singleShot(10000, &riposo, &QEventLoop::quit);
    riposo.exec();
    std::printf("a riposo: CPU %.2f %% di un core in 10 s; memoria +%ld KB (%ld KB in tutto) per %d telefoni collegati "
                "(server e telefoni nello stesso processo)\n",
                (cpuS() - cpu0) / 10.0 * 100.0, rssKb() - rssPrima, rssKb(), connessi.load());

    std::vector<double> ultimi, pubblica;
    std::vector<qint64> inizio(static_cast<size_t>(estrazioni), 0);
    for (int e = 1; e <= estrazioni; ++e) {
        QByteArray istantanea = base;
        istantanea.replace("\"seq\":0", "\"seq\":" + QByteArray::number(e));
        inizio[size_t(e - 1)] = adessoUs();
        server.pubblica(istantanea);
        pubblica.push_back(double(adessoUs() - inizio[size_t(e - 1)]) / 1000.0);
        attesa.restart();
        while (attesa.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::lock_guard<std::mutex> g(guardia);
            if (int(arrivi[size_t(e - 1)].size()) >= connessi)
                break;
        }
        std::lock_guard<std::mutex> g(guardia);
        const auto &a = arrivi[size_t(e - 1)];
        if (!a.empty())
            ultimi.push_back(double(*std::max_element(a.begin(), a.end()) - inizio[size_t(e - 1)]) / 1000.0);
        QThread::msleep(100);
    }
    std::printf("dalla chiamata all'ultimo telefono (%d chiamate): mediana %.1f ms, 99° percentile %.1f ms, massimo %.1f ms\n",
                int(ultimi.size()), percentile(ultimi, 0.5), percentile(ultimi, 0.99), percentile(ultimi, 1.0));
    std::printf("tempo del tabellone dentro pubblica(): mediana %.2f ms, massimo %.2f ms\n", percentile(pubblica, 0.5),
                percentile(pubblica, 1.0));
    std::fflush(stdout);
    std::_Exit(0); // the phones' threads are not taken down one by one
}
