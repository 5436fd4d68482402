#include "CloudApi.h"

#include "LibrarySettings.h"

#include <QJsonDocument>
#include <QJsonObject>

QUrl CloudApi::endpoint(const QString& path, const Query& query)
{
    QStringList pairs;
    for (const auto& [name, value] : query) {
        // Encoded, so '&', '=', '#' and '+' in a value reach the service as typed.
        pairs << name + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(value));
    }
    QUrl url(LibrarySettings().baseUrl() + path);
    url.setQuery(pairs.join(QLatin1Char('&')), QUrl::StrictMode);
    return url;
}

namespace {
QJsonObject parseObject(const QByteArray& body)
{
    const int zero = body.indexOf('\0');
    return QJsonDocument::fromJson(zero < 0 ? body : body.left(zero)).object();
}

QString asText(const QJsonValue& value)
{
    if (value.isBool()) {
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    }
    return value.toString();
}
} // namespace

QString CloudApi::tokenFromReply(const QByteArray& body)
{
    return asText(parseObject(body).value(QLatin1String("token")));
}

bool CloudApi::parseCheck(const QByteArray& body, bool* exists, QString* md5)
{
    const QJsonObject object = parseObject(body);
    const QString answer = asText(object.value(QLatin1String("exists")));
    if (answer != QLatin1String("true") && answer != QLatin1String("false")) {
        return false;
    }
    *exists = answer == QLatin1String("true");
    *md5 = object.value(QLatin1String("md5")).toString();
    return true;
}

QByteArray CloudApi::quotedFileName(const QString& filePath)
{
    // UTF-8, as browsers send form file names, so names outside Latin-1 arrive intact; plain
    // ASCII names go out byte for byte as before. A quote or backslash is escaped as in any
    // HTTP quoted string; a line break, which no header may hold, goes out as %0D or %0A.
    QByteArray quoted;
    for (const char byte : filePath.toUtf8()) {
        if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += byte;
        } else if (byte == '\r') {
            quoted += "%0D";
        } else if (byte == '\n') {
            quoted += "%0A";
        } else {
            quoted += byte;
        }
    }
    return quoted;
}

QByteArray CloudApi::uploadBodyHead(const QString& filePath)
{
    return "\r\n--" + boundary() + "\r\n" + "Content-Disposition: form-data; name=\"file\"; filename=\"" +
           quotedFileName(filePath) + "\"\r\n" + "Content-Type: application/binary\r\n\r\n";
}

QByteArray CloudApi::uploadBodyTail()
{
    return "\r\n--" + boundary() + "--\r\n" + "Content-Disposition: form-data; name=\"check\"\r\n" + " \r\n" +
           "Some text" + "\r\n--" + boundary() + "--\r\n";
}

QString CloudApi::speedText(qint64 bytesPerSecond)
{
    if (bytesPerSecond < 1024) {
        return QString::number(bytesPerSecond) + QStringLiteral("bytes/sec");
    }
    if (bytesPerSecond < 1048576) {
        return QString::number(bytesPerSecond / 1024) + QStringLiteral("kB/s");
    }
    return QString::number(bytesPerSecond / 1048576) + QStringLiteral("MB/s");
}
