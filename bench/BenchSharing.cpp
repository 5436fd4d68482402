// The sharing server under load, over loopback.
//
//   BenchSharing N     a library of N books: the root feed, a page of an acquisition feed,
//                      50 clients listing feeds and fetching covers for 10 s (errors, 99th
//                      percentile, the window's longest pause), and a 1 GiB download against
//                      curl reading the same file through file://
#include "LibraryDatabase.h"
#include "LibraryServer.h"
#include "LibrarySettings.h"
#include "QtModules.h"
#include "TestEnvironment.h"
#include "WindowPauses.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <cstdio>

namespace {
const QByteArray password = "bench";

bool fillLibrary(int count, const QString& filesDir, const QString& cover)
{
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    QSqlQuery query;
    query.exec("INSERT INTO authors (aid, name) VALUES (1, 'Ann Archer'), (2, 'Ben Brook')");
    for (int n = 1; n <= count; ++n) {
        query.prepare("INSERT INTO items (iid, type, coverFile, created, rating) VALUES (?, 'Book', ?, ?, 0)");
        query.addBindValue(n);
        query.addBindValue(n % 2 ? cover : QString());
        query.addBindValue(1700000000 + n);
        query.exec();
        query.prepare("INSERT INTO books (iid, title, description) VALUES (?, ?, ?)");
        query.addBindValue(n);
        query.addBindValue(QString("Volume %1 of the long shelf").arg(n));
        query.addBindValue(QString("A book about shelf number %1.").arg(n));
        query.exec();
        query.prepare("INSERT INTO items_authors (iid, aid) VALUES (?, ?)");
        query.addBindValue(n);
        query.addBindValue(1 + n % 2);
        query.exec();
        query.prepare("INSERT INTO files (fileName, filePath, fileSize, iid) VALUES (?, ?, 10, ?)");
        query.addBindValue(QString("book%1.pdf").arg(n));
        query.addBindValue(filesDir + QString("book%1.pdf").arg(n));
        query.addBindValue(n);
        query.exec();
    }
    return db.commit();
}

double timeGet(QNetworkAccessManager& network, const QUrl& url, int* status = nullptr)
{
    QNetworkRequest request(url);
    request.setRawHeader("Authorization", "Basic " + ("bench:" + password).toBase64());
    QElapsedTimer clock;
    clock.start();
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (status) {
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }
    reply->readAll();
    reply->deleteLater();
    return clock.nsecsElapsed() / 1e6;
}

double percentile(QList<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(std::min(qsizetype(values.size() * share), values.size() - 1));
}

// Clients in a thread of their own, so the server's thread (the window's) only serves.
class Clients : public QThread
{
public:
    Clients(quint16 port, int clients, int seconds) : port(port), clients(clients), seconds(seconds) {}
    QList<double> times;
    int errors = 0;

protected:
    void run() override
    {
        QList<QNetworkAccessManager*> networks;
        for (int n = 0; n < clients; ++n) {
            networks << new QNetworkAccessManager;
        }
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        int inFlight = 0;
        std::function<void(int, int)> next = [&](int client, int round) {
            if (clock.elapsed() > seconds * 1000) {
                if (--inFlight == 0) {
                    loop.quit();
                }
                return;
            }
            const QString path = round % 3 == 0   ? QString("/opds")
                                 : round % 3 == 1 ? QString("/opds/all?page=%1").arg(1 + (client * 7 + round) % 40)
                                                  : QString("/thumbnail/%1").arg(1 + 2 * ((client * 13 + round) % 500));
            QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1%2").arg(port).arg(path)));
            request.setRawHeader("Authorization", "Basic " + ("bench:" + password).toBase64());
            auto* timer = new QElapsedTimer;
            timer->start();
            QNetworkReply* reply = networks.at(client)->get(request);
            QObject::connect(reply, &QNetworkReply::finished, [&, reply, timer, client, round] {
                times << timer->nsecsElapsed() / 1e6;
                delete timer;
                if (reply->error() != QNetworkReply::NoError) {
                    ++errors;
                }
                reply->readAll();
                reply->deleteLater();
                next(client, round + 1);
            });
        };
        for (int client = 0; client < clients; ++client) {
            ++inFlight;
            next(client, client);
        }
        loop.exec();
        qDeleteAll(networks);
    }

private:
    quint16 port;
    int clients;
    int seconds;
};

double timeProcess(const QString& program, const QStringList& arguments)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    loop.exec(); // the server answers while curl reads
    return clock.nsecsElapsed() / 1e9;
}
} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    const int count = app.arguments().value(1, "100000").toInt();
    const QString dataDir = QDir::homePath() + "/data/";
    const QString filesDir = QDir::homePath() + "/files/";
    QDir().mkpath(dataDir);
    QDir().mkpath(filesDir);
    LibrarySettings().setValue("dataDir", dataDir);
    const QString cover = dataDir + "cover.jpg";
    QImage picture(300, 450, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 140));
    picture.save(cover, "JPG");
    LibraryDatabase library;
    library.open(dataDir);
    fillLibrary(count, filesDir, cover);

    LibraryServer server(library);
    server.start(0, password);
    const QString base = QString("http://127.0.0.1:%1").arg(server.port());
    QNetworkAccessManager network;
    QList<double> root;
    QList<double> page;
    for (int round = 0; round < 20; ++round) {
        root << timeGet(network, QUrl(base + "/opds"));
        page << timeGet(network, QUrl(base + QString("/opds/all?page=%1").arg(1 + round * 97)));
    }
    std::printf("%d books: root feed median %.1f ms (worst %.1f); a page of 50 books median %.1f ms (worst %.1f)\n",
                count, percentile(root, 0.5), percentile(root, 1), percentile(page, 0.5), percentile(page, 1));

    // 50 clients for 10 s, while the window's thread (this one) serves them.
    Clients clients(server.port(), 50, 10);
    WindowPauses pauses(1);
    QEventLoop wait;
    QObject::connect(&clients, &QThread::finished, &wait, &QEventLoop::quit);
    clients.start();
    wait.exec();
    const qint64 longestPause = pauses.longest();
    std::printf("50 clients for 10 s: %lld requests, %d errors, median %.1f ms, 99th percentile %.1f ms; the serving "
                "thread's longest pause %lld ms\n",
                qint64(clients.times.size()), clients.errors, percentile(clients.times, 0.5),
                percentile(clients.times, 0.99), longestPause);

    // 1 GiB, written once, then read by curl through the server and through file://.
    const QString big = filesDir + "big.pdf";
    {
        QFile file(big);
        file.open(QIODevice::WriteOnly);
        QByteArray block(4 << 20, 'x');
        for (int n = 0; n < 256; ++n) {
            block[n] = char(n);
            file.write(block);
        }
    }
    QSqlQuery().exec(QString("INSERT INTO files (fid, fileName, filePath, fileSize, iid) VALUES (999999, 'big.pdf', "
                             "'%1', %2, 1)")
                         .arg(big)
                         .arg(qint64(1) << 30));
    const double fileTime = timeProcess("curl", {"-s", "-o", "/dev/null", "file://" + big});
    const double httpTime =
        timeProcess("curl", {"-s", "-o", "/dev/null", "-u", "bench:" + QString(password), base + "/file/999999"});
    std::printf("1 GiB: curl file:// %.2f s (%.0f MB/s), through the server %.2f s (%.0f MB/s), %.0f%%\n", fileTime,
                1073.7 / fileTime, httpTime, 1073.7 / httpTime, 100.0 * fileTime / httpTime);
    return 0;
}
