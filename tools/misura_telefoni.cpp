// SPDX-License-Identifier: MIT
// Benchmark of the phones' server (see misura_telefoni.sh): N WebSocket
// phones on loopback, in threads of their own; the server on the main
// thread, as on the board. Measures, over a series of draws, the time from
// publishing a snapshot to the last phone holding it, how long the publish
// holds the board's thread, and memory and CPU with the phones idle.
#include "servertelefoni.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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
