#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

// The cloud service's requests and replies: addresses under the base URL with their query
// values percent-encoded, the token and check replies, and the file upload body.
class CloudApi
{
public:
    using Query = QList<QPair<QString, QString>>;

    // The "baseUrl" setting followed by `path`, with the parameters in the given order.
    static QUrl endpoint(const QString& path, const Query& query);
    // The "token" member of a token reply as text ("false" for false), empty when unreadable.
    static QString tokenFromReply(const QByteArray& body);
    // Reads {"exists": "true"|"false"|bool, "md5": ...}; false when the reply is not of that form.
    static bool parseCheck(const QByteArray& body, bool* exists, QString* md5);
    static bool isValidToken(const QString& token) { return token.size() == 64; }

    static QByteArray boundary() { return QByteArray(29, '-') + "7d935033608e2"; }
    // What comes before and after the file's bytes in the upload body.
    static QByteArray uploadBodyHead(const QString& filePath);
    static QByteArray uploadBodyTail();
    // The file's path as it goes between the quotes of the part's filename parameter.
    static QByteArray quotedFileName(const QString& filePath);
    // Bytes per second as the sync window shows them ("512bytes/sec", "1kB/s", "3MB/s").
    static QString speedText(qint64 bytesPerSecond);
};
