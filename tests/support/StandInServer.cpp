#include "StandInServer.h"

#include "QtModules.h"

StandInServer::StandInServer(const QString& name, const QStringList& arguments)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The tests read the request log, and the fault routes are theirs.
    QStringList all = QStringList{"--port", "0"} + arguments;
    if (!all.contains("--test-routes")) {
        all << "--test-routes";
    }
    process.start(QStringLiteral(LIRENTA_SERVICES_DIR "/") + name, all);
    if (!process.waitForStarted(10000)) {
        return;
    }
    while (process.waitForReadyRead(10000)) {
        const QString line = QString::fromUtf8(process.readLine()).trimmed();
        if (line.startsWith("listening on ")) {
            url = QUrl(line.mid(13));
            return;
        }
    }
}

StandInServer::~StandInServer()
{
    process.kill();
    process.waitForFinished(5000);
}

QStringList StandInServer::requests() const
{
    QNetworkAccessManager manager;
    QUrl list = url;
    list.setPath("/standin/requests");
    list.setQuery(QString());
    QNetworkReply* reply = manager.get(QNetworkRequest(list));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    QStringList seen;
    for (const QJsonValue& value : QJsonDocument::fromJson(reply->readAll()).array()) {
        seen << value.toString();
    }
    delete reply;
    return seen;
}
