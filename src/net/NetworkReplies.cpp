#include "NetworkReplies.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QNetworkRequest>

QNetworkRequest NetworkReplies::request(const QUrl& url, int transferTimeoutMs)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeoutMs);
    return request;
}

void NetworkReplies::capSize(QNetworkReply* reply, qint64 maxBytes)
{
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maxBytes](qint64 received, qint64) {
        if (received > maxBytes) {
            reply->setProperty("tooLarge", maxBytes);
            reply->abort();
        }
    });
}

QString NetworkReplies::failureReason(QNetworkReply* reply)
{
    if (reply->property("tooLarge").isValid()) {
        const qint64 cap = reply->property("tooLarge").toLongLong();
        if (cap < 1024 * 1024) {
            return tr("The reply was larger than %1 kB and was not read.").arg(cap / 1024);
        }
        return tr("The reply was larger than %1 MB and was not read.").arg(cap / (1024 * 1024));
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 429) {
        return tr("The service refused the request because its quota is used up (HTTP 429). Try again later.");
    }
    if (status >= 300) {
        return tr("The server answered with an error (HTTP %1).").arg(status);
    }
    switch (reply->error()) {
    case QNetworkReply::NoError:
        return QString();
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return tr("The server did not answer in time.");
    case QNetworkReply::ConnectionRefusedError:
        return tr("The server could not be reached: the connection was refused.");
    case QNetworkReply::RemoteHostClosedError:
        return tr("The server could not be reached: it closed the connection.");
    case QNetworkReply::HostNotFoundError:
        return tr("The server could not be reached: its name was not found.");
    default:
        // errorString() would repeat the whole address, query (and any password) included.
        return tr("The server could not be reached (network error %1).").arg(int(reply->error()));
    }
}
