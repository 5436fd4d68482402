#pragma once

#include <QCoreApplication>
#include <QString>

class QNetworkReply;
class QNetworkRequest;
class QUrl;

// What every request of the program shares: a transfer timeout, a cap on the reply size, and
// one readable reason for whatever went wrong.
class NetworkReplies
{
    Q_DECLARE_TR_FUNCTIONS(NetworkReplies)

public:
    static constexpr int defaultTransferTimeoutMs = 30000;

    // A transfer that stalls for `transferTimeoutMs` fails.
    static QNetworkRequest request(const QUrl& url, int transferTimeoutMs = defaultTransferTimeoutMs);
    // Aborts the reply once it has brought more than maxBytes.
    static void capSize(QNetworkReply* reply, qint64 maxBytes);
    // Empty when the reply arrived whole with a 2xx status.
    static QString failureReason(QNetworkReply* reply);

    static constexpr qint64 maxJsonBytes = 8 * 1024 * 1024;
    static constexpr qint64 maxImageBytes = 20 * 1024 * 1024;
};
