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
    static QNetworkRequest request(const QUrl& url);
    // Aborts the reply once it has brought more than maxBytes.
    static void capSize(QNetworkReply* reply, qint64 maxBytes);
    // Empty when the reply arrived whole with a 2xx status.
    static QString failureReason(QNetworkReply* reply);

    static int transferTimeoutMs() { return s_transferTimeoutMs; }
    static void setTransferTimeoutMs(int milliseconds) { s_transferTimeoutMs = milliseconds; }

    static constexpr qint64 maxJsonBytes = 8 * 1024 * 1024;
    static constexpr qint64 maxImageBytes = 20 * 1024 * 1024;

private:
    static int s_transferTimeoutMs;
};
