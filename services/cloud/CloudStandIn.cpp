// A stand-in for the Lirenta cloud service, good enough to self-host a library upload.
//
//   cloud-standin --data DIR [--port N] [--latest-version TEXT]     serve on 127.0.0.1
//   cloud-standin --data DIR --add-user NAME PASSWORD               add (or reset) an account
//
// GET  /upload/token/?guid&username&password   {"token": <64 hex>} or {"token": false}
// GET  /upload/token/?token=T                  {"token": T} while valid, else {"token": "reset"}
// GET  /upload/check/?md5&fileSize&cloudToken&firstBytes   {"exists": "true"|"false", "md5": ...}
// POST /upload/file/?cloudToken&md5&fileSize&firstBytes&fileType   multipart body; stored as
//                                                files/<user>/<md5>
// GET  /                                        a small home page
// POST /upload/data/?cloudToken                 a book document (JSON)
// GET  /update.php?version&os                   the latest version text, or nothing
// With --test-routes only: /standin/requests, /standin/records, /standin/files, /standin/names,
// /standin/fail-upload?md5=X, /standin/garble-checks?on=1|0 (checks answer with an HTML page)
//
// Accounts keep a random salt and a PBKDF2-SHA256 hash of the password; everything lives in
// DIR/cloud.db (SQLite) and DIR/files/. Each user's files are their own: whether a file is
// stored already is answered for that user, and nobody's upload reaches another's files.
#include "StandInHttpServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrlQuery>

#include <cstdio>

namespace {
using Request = StandInHttpServer::Request;
using Response = StandInHttpServer::Response;

const int iterations = 20000;
QString dataDir;
QString latestVersion;
QJsonArray received;
bool testRoutes = false;
QSet<QString> failingUploads;
bool garbledChecks = false;

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), count / 4);
    return bytes;
}

QByteArray derive(const QString& password, const QByteArray& salt)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations, 32);
}

bool openDatabase()
{
    QDir().mkpath(dataDir + "/files");
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
    db.setDatabaseName(dataDir + "/cloud.db");
    if (!db.open()) {
        return false;
    }
    QSqlQuery query;
    return query.exec("CREATE TABLE IF NOT EXISTS users (username TEXT PRIMARY KEY, salt BLOB, hash BLOB)") &&
           query.exec("CREATE TABLE IF NOT EXISTS tokens (token TEXT PRIMARY KEY, username TEXT, guid TEXT)") &&
           query.exec("CREATE TABLE IF NOT EXISTS user_files (username TEXT, md5 TEXT, size INTEGER, firstBytes "
                      "TEXT, fileType TEXT, name TEXT, PRIMARY KEY (username, md5))") &&
           query.exec("CREATE TABLE IF NOT EXISTS records (id INTEGER PRIMARY KEY, username TEXT, received "
                      "INTEGER, document TEXT)");
}

Response json(const QJsonValue& value, int status = 200)
{
    Response response;
    response.status = status;
    response.body = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                                    : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    return response;
}

Response error(int status, const QString& message)
{
    return json(QJsonObject{{"error", message}}, status);
}

QString userOfToken(const QString& token)
{
    QSqlQuery query;
    query.prepare("SELECT username FROM tokens WHERE token = ?");
    query.addBindValue(token);
    query.exec();
    return query.next() ? query.value(0).toString() : QString();
}

Response token(const QUrlQuery& parameters)
{
    if (parameters.hasQueryItem("token")) {
        const QString token = parameters.queryItemValue("token", QUrl::FullyDecoded);
        return json(QJsonObject{{"token", userOfToken(token).isEmpty() ? QJsonValue("reset") : QJsonValue(token)}});
    }
    const QString username = parameters.queryItemValue("username", QUrl::FullyDecoded);
    const QString password = parameters.queryItemValue("password", QUrl::FullyDecoded);
    QSqlQuery query;
    query.prepare("SELECT salt, hash FROM users WHERE username = ?");
    query.addBindValue(username);
    query.exec();
    if (!query.next() || derive(password, query.value(0).toByteArray()) != query.value(1).toByteArray()) {
        return json(QJsonObject{{"token", false}});
    }
    const QString token = QString::fromLatin1(randomBytes(32).toHex());
    query.prepare("INSERT INTO tokens (token, username, guid) VALUES (?, ?, ?)");
    query.addBindValue(token);
    query.addBindValue(username);
    query.addBindValue(parameters.queryItemValue("guid", QUrl::FullyDecoded));
    query.exec();
    return json(QJsonObject{{"token", token}});
}

// A user's own folder of files, named by a hash so no user name reaches a path.
QString filesOf(const QString& user)
{
    return dataDir + "/files/" +
           QString::fromLatin1(QCryptographicHash::hash(user.toUtf8(), QCryptographicHash::Sha256).toHex().left(32)) +
           "/";
}

bool isMd5(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
    return hex.match(text).hasMatch();
}

Response check(const QUrlQuery& parameters)
{
    const QString user = userOfToken(parameters.queryItemValue("cloudToken"));
    if (user.isEmpty()) {
        return error(401, "unknown token");
    }
    if (garbledChecks) {
        Response busy;
        busy.contentType = "text/html";
        busy.body = "<html><body>Service busy</body></html>";
        return busy;
    }
    // What is not an MD5 (a file the client could not read sends none) is stored nowhere.
    const QString md5 = parameters.queryItemValue("md5");
    QSqlQuery query;
    query.prepare("SELECT size FROM user_files WHERE username = ? AND md5 = ?");
    query.addBindValue(user);
    query.addBindValue(md5);
    query.exec();
    const bool exists = isMd5(md5) && query.next() && QFile::exists(filesOf(user) + md5);
    return json(QJsonObject{{"exists", exists ? "true" : "false"}, {"md5", md5}});
}

// The filename parameter of the file part: a quoted string in UTF-8 with backslash escapes,
// line breaks sent as %0D and %0A.
QString uploadedFileName(const QByteArray& body)
{
    const QByteArray opening = "filename=\"";
    const int headerEnd = body.indexOf("\r\n\r\n");
    QByteArray name;
    for (int i = body.indexOf(opening) + opening.size(); i < headerEnd && body.at(i) != '"'; ++i) {
        if (body.at(i) == '\\' && i + 1 < headerEnd) {
            ++i;
        }
        name += body.at(i);
    }
    return QString::fromUtf8(name.replace("%0D", "\r").replace("%0A", "\n"));
}

Response file(const QUrlQuery& parameters, const Request& request)
{
    const QString user = userOfToken(parameters.queryItemValue("cloudToken"));
    if (user.isEmpty()) {
        return error(401, "unknown token");
    }
    const QString md5 = parameters.queryItemValue("md5");
    if (!isMd5(md5)) {
        return error(400, "not an md5");
    }
    if (failingUploads.contains(md5)) {
        return error(500, "upload failed on purpose");
    }
    // The body the client sends: a part with the file, then a "check" part, both ended by "--B--".
    const QByteArray boundary = QByteArray(29, '-') + "7d935033608e2";
    const QByteArray tail = "\r\n--" + boundary +
                            "--\r\nContent-Disposition: form-data; name=\"check\"\r\n \r\nSome text\r\n--" + boundary +
                            "--\r\n";
    const QByteArray marker = "Content-Type: application/binary\r\n\r\n";
    const int start = request.body.indexOf(marker);
    if (!request.body.startsWith("\r\n--" + boundary + "\r\n") || start < 0 || !request.body.endsWith(tail)) {
        return error(400, "malformed upload body");
    }
    const QByteArray content =
        request.body.mid(start + marker.size(), request.body.size() - start - marker.size() - tail.size());
    if (QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex()) != md5) {
        return error(400, "the bytes do not match their md5");
    }
    QDir().mkpath(filesOf(user));
    QFile out(filesOf(user) + md5);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size()) {
        return error(500, "cannot store the file");
    }
    out.close();
    QSqlQuery query;
    query.prepare("INSERT OR REPLACE INTO user_files (md5, size, firstBytes, fileType, name, username) VALUES (?, ?, "
                  "?, ?, ?, ?)");
    query.addBindValue(md5);
    query.addBindValue(content.size());
    query.addBindValue(parameters.queryItemValue("firstBytes"));
    query.addBindValue(parameters.queryItemValue("fileType"));
    query.addBindValue(uploadedFileName(request.body));
    query.addBindValue(user);
    query.exec();
    return json(QJsonObject{{"status", "ok"}, {"md5", md5}});
}

Response data(const QUrlQuery& parameters, const Request& request)
{
    const QString user = userOfToken(parameters.queryItemValue("cloudToken"));
    if (user.isEmpty()) {
        return error(401, "unknown token");
    }
    const QJsonDocument document = QJsonDocument::fromJson(request.body);
    if (!document.isObject()) {
        return error(400, "not a book document");
    }
    QSqlQuery query;
    query.prepare("INSERT INTO records (username, received, document) VALUES (?, ?, ?)");
    query.addBindValue(user);
    query.addBindValue(QDateTime::currentSecsSinceEpoch());
    query.addBindValue(QString::fromUtf8(request.body));
    query.exec();
    return json(QJsonObject{{"status", "ok"}});
}

Response handle(const Request& request)
{
    const QString path = request.url.path();
    const QUrlQuery parameters(request.url);
    if (path.startsWith("/standin/") && testRoutes) {
        if (path == "/standin/requests") {
            return json(received);
        }
        if (path == "/standin/fail-upload") {
            failingUploads.insert(parameters.queryItemValue("md5"));
            return json(QJsonObject{{"status", "ok"}});
        }
        if (path == "/standin/garble-checks") {
            garbledChecks = parameters.queryItemValue("on") == "1";
            return json(QJsonObject{{"status", "ok"}});
        }
        QJsonArray rows;
        if (path == "/standin/names") {
            QSqlQuery names("SELECT md5, name FROM user_files ORDER BY md5, username");
            while (names.next()) {
                rows.append(QJsonObject{{"md5", names.value(0).toString()}, {"name", names.value(1).toString()}});
            }
            return json(rows);
        }
        QSqlQuery query(path == "/standin/records" ? "SELECT document FROM records ORDER BY id"
                                                   : "SELECT DISTINCT md5 FROM user_files ORDER BY md5");
        while (query.next()) {
            rows.append(query.value(0).toString());
        }
        return json(rows);
    }
    if (testRoutes) {
        // The log is for tests; a password never goes into it.
        QUrl logged = request.url;
        QUrlQuery query(logged);
        if (query.hasQueryItem("password")) {
            query.removeAllQueryItems("password");
            query.addQueryItem("password", "hidden");
            logged.setQuery(query);
        }
        received.append(QString::fromLatin1(request.method + ' ' + logged.toEncoded()));
    }
    if (path == "/upload/token/") {
        return token(parameters);
    }
    if (path == "/upload/check/") {
        return check(parameters);
    }
    if (path == "/upload/file/" && request.method == "POST") {
        return file(parameters, request);
    }
    if (path == "/upload/data/" && request.method == "POST") {
        return data(parameters, request);
    }
    if (path == "/" || path == "/index.html") {
        Response response;
        response.contentType = "text/html; charset=UTF-8";
        response.body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Lirenta Cloud</title></head>"
                        "<body style=\"font-family: sans-serif; margin: 3em\"><h1>Lirenta Cloud</h1>"
                        "<p>This service keeps the book records and files a Lirenta library uploads.</p>"
                        "<p>Use <b>Sync</b> in Lirenta to log in and upload your library.</p></body></html>";
        return response;
    }
    if (path == "/update.php") {
        Response response;
        response.contentType = "text/plain; charset=UTF-8";
        response.body = latestVersion.toUtf8();
        return response;
    }
    return error(404, "not found");
}

bool addUser(const QString& name, const QString& password)
{
    const QByteArray salt = randomBytes(16);
    QSqlQuery query;
    query.prepare("INSERT OR REPLACE INTO users (username, salt, hash) VALUES (?, ?, ?)");
    query.addBindValue(name);
    query.addBindValue(salt);
    query.addBindValue(derive(password, salt));
    return query.exec();
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Stand-in Lirenta cloud service.");
    parser.addHelpOption();
    parser.addOption({"port", "Port to listen on (0: any free port).", "port", "0"});
    parser.addOption({"data", "Folder for the database and the uploaded files.", "dir"});
    parser.addOption({"latest-version", "Version text update.php answers (none: empty answer).", "text"});
    parser.addOption({"add-user", "Add or reset the account NAME (password as the next argument), then exit.", "name"});
    parser.addPositionalArgument("password", "The password, with --add-user.");
    parser.addOption({"test-routes", "Serve the request log and fault injection under /standin/ (tests only)."});
    parser.process(app);
    dataDir = parser.value("data");
    if (dataDir.isEmpty()) {
        std::fprintf(stderr, "--data DIR is required\n");
        return 2;
    }
    latestVersion = parser.value("latest-version");
    testRoutes = parser.isSet("test-routes");
    if (!openDatabase()) {
        std::fprintf(stderr, "cannot open %s/cloud.db\n", qPrintable(dataDir));
        return 1;
    }
    if (parser.isSet("add-user")) {
        if (parser.positionalArguments().size() != 1) {
            std::fprintf(stderr, "--add-user NAME needs the password as the next argument\n");
            return 2;
        }
        return addUser(parser.value("add-user"), parser.positionalArguments().first()) ? 0 : 1;
    }
    StandInHttpServer server(handle);
    const quint16 port = server.listen(quint16(parser.value("port").toUInt()));
    if (port == 0) {
        std::fprintf(stderr, "cannot listen\n");
        return 1;
    }
    std::printf("listening on http://127.0.0.1:%u/\n", unsigned(port));
    std::fflush(stdout);
    return app.exec();
}
