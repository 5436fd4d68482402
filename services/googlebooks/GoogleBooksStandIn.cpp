// A stand-in for the Google Books API on loopback, answering from a folder of volume files.
//
//   googlebooks-standin [--port N] [--data DIR] [--test-routes]
//
// GET /books/v1/volumes?q=isbn:N | q=words   search (every word in title or authors)
// GET /books/v1/volumes/ID                   the volume DIR/volumes/ID.json (ID: letters, digits,
//                                            '-' and '_' only; nothing outside the folder)
// GET /thumbnails/NAME.jpg                   DIR/thumbnails/NAME.jpg, or a drawn cover
// GET /standin/requests                      with --test-routes only: the last requests received,
//                                            as a JSON array
//
// Made-up ids and search words give failures for tests: status-500, status-429, garbage,
// notobject, close (connection dropped) and hang (no answer); thumbnails/empty.jpg has no bytes.
#include "StandInHttpServer.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QUrlQuery>

#include <cstdio>
#include <optional>

namespace {
using Request = StandInHttpServer::Request;
using Response = StandInHttpServer::Response;

QString dataDir;
QJsonArray received;
bool testRoutes = false;
constexpr int requestsKept = 1000;

// A volume id as the service gives them; anything else (a path, dots, encoded slashes) is none.
bool isVolumeId(const QString& id)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]{1,128}$"));
    return plain.match(id).hasMatch();
}

Response json(const QJsonDocument& document, int status = 200)
{
    Response response;
    response.status = status;
    response.body = document.toJson(QJsonDocument::Compact);
    return response;
}

Response error(int status, const QString& message)
{
    QJsonObject inner{{"code", status}, {"message", message}};
    return json(QJsonDocument(QJsonObject{{"error", inner}}), status);
}

// Failures asked for by name; the empty response means "no failure".
std::optional<Response> failureNamed(const QString& name)
{
    Response response;
    if (name == "status-500") {
        return error(500, "Backend Error");
    }
    if (name == "status-429") {
        return error(429, "Quota exceeded");
    }
    if (name == "garbage") {
        response.contentType = "text/html";
        response.body = "<html><body>Service Unavailable</body></html>";
        return response;
    }
    if (name == "notobject") {
        response.body = "[1, 2, 3]";
        return response;
    }
    if (name == "close") {
        response.action = Response::Action::CloseWithoutReply;
        return response;
    }
    if (name == "hang") {
        response.action = Response::Action::NeverReply;
        return response;
    }
    return std::nullopt;
}

QJsonObject volume(const QString& id, const QString& base)
{
    if (!isVolumeId(id)) {
        return QJsonObject();
    }
    QFile file(dataDir + "/volumes/" + id + ".json");
    if (!file.open(QIODevice::ReadOnly)) {
        return QJsonObject();
    }
    QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    object["id"] = id;
    object["selfLink"] = base + "/books/v1/volumes/" + id;
    QJsonObject info = object["volumeInfo"].toObject();
    if (info.contains("imageLinks")) {
        QJsonObject links = info["imageLinks"].toObject();
        for (const QString& key : links.keys()) {
            if (!links[key].toString().startsWith("http")) {
                links[key] = base + "/" + links[key].toString();
            }
        }
        info["imageLinks"] = links;
        object["volumeInfo"] = info;
    }
    return object;
}

QStringList volumeIds()
{
    QStringList ids;
    for (const QString& name : QDir(dataDir + "/volumes").entryList({"*.json"}, QDir::Files, QDir::Name)) {
        ids << name.chopped(5);
    }
    return ids;
}

bool matches(const QJsonObject& object, const QString& query)
{
    const QJsonObject info = object["volumeInfo"].toObject();
    if (query.startsWith("isbn:")) {
        const QString wanted = query.mid(5).remove('-').trimmed();
        for (const QJsonValue& identifier : info["industryIdentifiers"].toArray()) {
            if (identifier.toObject()["identifier"].toString() == wanted) {
                return true;
            }
        }
        return false;
    }
    QString text = info["title"].toString();
    for (const QJsonValue& author : info["authors"].toArray()) {
        text += ' ' + author.toString();
    }
    const QStringList words = query.split(' ', Qt::SkipEmptyParts);
    for (const QString& word : words) {
        if (!text.contains(word, Qt::CaseInsensitive)) {
            return false;
        }
    }
    return !words.isEmpty();
}

Response search(const QUrl& url, const QString& base)
{
    const QString query = QUrlQuery(url).queryItemValue("q", QUrl::FullyDecoded);
    if (query.startsWith("standin:")) {
        if (auto failure = failureNamed(query.mid(8))) {
            return *failure;
        }
    }
    QJsonArray items;
    for (const QString& id : volumeIds()) {
        const QJsonObject object = volume(id, base);
        if (matches(object, query)) {
            items.append(object);
        }
    }
    QJsonObject answer{{"kind", "books#volumes"}, {"totalItems", items.size()}};
    if (!items.isEmpty()) {
        answer["items"] = items;
    }
    return json(QJsonDocument(answer));
}

Response thumbnail(const QString& name)
{
    Response response;
    response.contentType = "image/jpeg";
    if (name == "empty.jpg") {
        return response;
    }
    // Only files of the thumbnails folder itself: no "..", no sub-folders.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.startsWith(QLatin1Char('.'))) {
        return error(404, "Not Found");
    }
    QFile file(dataDir + "/thumbnails/" + name);
    if (file.open(QIODevice::ReadOnly)) {
        response.body = file.readAll();
        return response;
    }
    // No picture on file: draw a plain cover with the name on it.
    QImage image(128, 192, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(int(qHash(name) % 360), 140, 160));
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawRect(6, 6, 115, 179);
    painter.drawText(QRect(10, 10, 108, 172), Qt::AlignCenter | Qt::TextWordWrap, QFileInfo(name).baseName());
    painter.end();
    QBuffer buffer(&response.body);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return response;
}

Response handle(const Request& request)
{
    const QString base = "http://" + QString::fromLatin1(request.headers.value("host"));
    const QString path = request.url.path(QUrl::FullyEncoded);
    if (path == "/standin/requests" && testRoutes) {
        return json(QJsonDocument(received));
    }
    if (testRoutes) {
        received.append(QString::fromLatin1(request.url.toEncoded()));
        while (received.size() > requestsKept) {
            received.removeFirst();
        }
    }
    if (path == "/books/v1/volumes") {
        return search(request.url, base);
    }
    if (path.startsWith("/books/v1/volumes/")) {
        const QString id = path.mid(18); // still encoded: "%2F" is no slash, and no id
        if (auto failure = failureNamed(id)) {
            return *failure;
        }
        const QJsonObject object = volume(id, base);
        return object.isEmpty() ? error(404, "The volume ID could not be found.") : json(QJsonDocument(object));
    }
    if (path.startsWith("/thumbnails/")) {
        return thumbnail(path.mid(12));
    }
    return error(404, "Not Found");
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"port", "Port to listen on (0: any free port).", "port", "0"});
    parser.addOption({"data", "Folder with volumes/ and thumbnails/.", "dir", GOOGLEBOOKS_DATA_DIR});
    parser.addOption({"test-routes", "Keep a log of requests and serve it under /standin/ (tests only)."});
    parser.addHelpOption();
    parser.process(app);
    dataDir = parser.value("data");
    testRoutes = parser.isSet("test-routes");

    StandInHttpServer server(handle);
    const quint16 port = server.listen(quint16(parser.value("port").toUInt()));
    if (port == 0) {
        std::fprintf(stderr, "cannot listen\n");
        return 1;
    }
    std::printf("listening on http://127.0.0.1:%u/books/v1/volumes\n", unsigned(port));
    std::fflush(stdout);
    return app.exec();
}
