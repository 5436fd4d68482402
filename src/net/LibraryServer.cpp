#include "LibraryServer.h"

#include "BookCovers.h"
#include "FileSlice.h"
#include "FileStream.h"
#include "LibraryCatalog.h"
#include "LibraryDatabase.h"
#include "Logging.h"
#include "OpdsFeed.h"
#include "SharedLibraryPage.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QImage>
#include <QLocale>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

namespace {
using Status = QHttpServerResponder::StatusCode;

const int allowedFailures = 10;
const qint64 failureWindowMs = 5 * 60 * 1000;
const qint64 blockedMs = 60 * 1000;

QByteArray header(const QHttpServerRequest& request, const QByteArray& name)
{
    for (const auto& [key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return QByteArray();
}

// Compares the digests, every byte of them, so the time taken says nothing of the password.
bool sameSecret(const QByteArray& given, const QByteArray& expected)
{
    const QByteArray a = QCryptographicHash::hash(given, QCryptographicHash::Sha256);
    const QByteArray b = QCryptographicHash::hash(expected, QCryptographicHash::Sha256);
    unsigned char difference = 0;
    for (int i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    }
    return difference == 0 && !expected.isEmpty();
}

int pageOf(const QUrlQuery& query)
{
    return std::max(1, query.queryItemValue(QStringLiteral("page")).toInt());
}

QString httpDate(const QDateTime& time)
{
    return QLocale::c().toString(time.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
}

// RFC 6266 with RFC 5987: a plain name for old clients, the real one in UTF-8 for the rest.
QByteArray contentDisposition(const QString& name)
{
    QByteArray plain;
    for (const QChar c : name) {
        plain += c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('"') && c != QLatin1Char('\\')
                     ? char(c.unicode())
                     : '_';
    }
    return "attachment; filename=\"" + plain + "\"; filename*=UTF-8''" + QUrl::toPercentEncoding(name);
}

void writeXml(QHttpServerResponder& responder, const QByteArray& body, const QString& type)
{
    responder.write(body, type.toUtf8() + "; charset=utf-8");
}
} // namespace

LibraryServer::LibraryServer(LibraryDatabase& library, QObject* parent) : QAbstractHttpServer(parent), library(library)
{
    clock.start();
}

LibraryServer::~LibraryServer()
{
    stop();
}

bool LibraryServer::start(quint16 port, const QString& newPassword, QString* problem, Reach reach)
{
    stop();
    password = newPassword;
    allowed = reach;
    LibraryCatalog::addIndexes();
    const QList<QHostAddress> addresses =
        reach == Reach::PublicToo ? QList<QHostAddress>{QHostAddress(QHostAddress::Any)} : localAddresses();
    for (const QHostAddress& address : addresses) {
        auto* server = new QTcpServer(this);
        if (server->listen(address, listeningPort ? listeningPort : port)) {
            bind(server);
            listeningPort = server->serverPort();
            continue;
        }
        // The first address decides; a later one that cannot be had (an interface going
        // away) is left out.
        if (listeningPort == 0) {
            if (problem) {
                *problem = tr("Port %1 cannot be used: %2").arg(port).arg(server->errorString());
            }
            delete server;
            return false;
        }
        qCWarning(lcNet) << "sharing: not listening on" << address.toString() << server->errorString();
        delete server;
    }
    running = listeningPort != 0;
    return running;
}

QList<QHostAddress> LibraryServer::addresses() const
{
    QList<QHostAddress> listening;
    for (const QTcpServer* server : servers()) {
        if (server->isListening()) {
            listening << server->serverAddress();
        }
    }
    return listening;
}

QList<QHostAddress> LibraryServer::localAddresses()
{
    QList<QHostAddress> local = {QHostAddress(QHostAddress::LocalHost)};
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (!(interface.flags() & QNetworkInterface::IsUp)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (isLocalNetwork(entry.ip()) && !local.contains(entry.ip())) {
                local << entry.ip();
            }
        }
    }
    return local;
}

void LibraryServer::stop()
{
    for (QTcpServer* server : servers()) {
        server->close();
        server->deleteLater();
    }
    running = false;
    listeningPort = 0;
}

bool LibraryServer::isLocalNetwork(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4) {
        return (v4 >> 24) == 127 || (v4 >> 24) == 10 || (v4 >> 20) == ((172u << 4) | 1u) ||
               (v4 >> 16) == ((192u << 8) | 168u) || (v4 >> 16) == ((169u << 8) | 254u);
    }
    const Q_IPV6ADDR v6 = address.toIPv6Address();
    return address.isLoopback() || (v6[0] & 0xfe) == 0xfc || (v6[0] == 0xfe && (v6[1] & 0xc0) == 0x80);
}

QString LibraryServer::newPassword()
{
    // No 0/O or 1/l/I: the password is read off a screen and typed.
    static const QString alphabet = QStringLiteral("abcdefghijkmnpqrstuvwxyz23456789");
    QString password;
    for (int n = 0; n < 12; ++n) {
        password += alphabet.at(int(QRandomGenerator::system()->bounded(quint32(alphabet.size()))));
    }
    return password;
}

QString LibraryServer::localAddress(Reach reach)
{
    QString other;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (!(interface.flags() & QNetworkInterface::IsUp) || (interface.flags() & QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) {
                continue;
            }
            if (isLocalNetwork(entry.ip())) {
                return entry.ip().toString();
            }
            if (other.isEmpty()) {
                other = entry.ip().toString();
            }
        }
    }
    return reach == Reach::PublicToo && !other.isEmpty() ? other : QStringLiteral("127.0.0.1");
}

QByteArray LibraryServer::mimeType(const QString& extension)
{
    static const QHash<QString, QByteArray> types = {
        {QStringLiteral("pdf"), "application/pdf"},
        {QStringLiteral("epub"), "application/epub+zip"},
        {QStringLiteral("mobi"), "application/x-mobipocket-ebook"},
        {QStringLiteral("azw3"), "application/x-mobi8-ebook"},
        {QStringLiteral("txt"), "text/plain"},
        {QStringLiteral("html"), "text/html"},
        {QStringLiteral("htm"), "text/html"},
        {QStringLiteral("chm"), "application/vnd.ms-htmlhelp"},
        {QStringLiteral("jpg"), "image/jpeg"},
    };
    return types.value(extension.toLower(), "application/octet-stream");
}

bool LibraryServer::authorised(const QHttpServerRequest& request)
{
    const QByteArray given = header(request, "Authorization");
    if (!given.startsWith("Basic ")) {
        return false;
    }
    const QByteArray decoded = QByteArray::fromBase64(given.mid(6).trimmed());
    const qsizetype colon = decoded.indexOf(':');
    return colon >= 0 && sameSecret(decoded.mid(colon + 1), password.toUtf8());
}

bool LibraryServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    QHttpServerResponder responder = makeResponder(request, socket);
    if (allowed == Reach::LocalNetwork && !isLocalNetwork(request.remoteAddress())) {
        responder.write(Status::Forbidden);
        return true;
    }
    if (request.url().toEncoded().size() > 4096) {
        responder.write(Status::UriTooLong);
        return true;
    }
    if (request.method() != QHttpServerRequest::Method::Get) {
        responder.write({{"Allow", "GET"}}, Status::MethodNotAllowed);
        return true;
    }
    // A client that keeps giving wrong passwords waits a minute before it may try again.
    const QString client = request.remoteAddress().toString();
    Failures& failed = failures[client];
    const qint64 now = clock.elapsed();
    if (failed.blockedUntil > now) {
        responder.write({{"Retry-After", "60"}}, Status::TooManyRequests);
        return true;
    }
    if (!authorised(request)) {
        if (now - failed.since > failureWindowMs) {
            failed = Failures{0, now, 0};
        }
        if (!header(request, "Authorization").isEmpty() && ++failed.count >= allowedFailures) {
            failed.blockedUntil = now + blockedMs;
            qCWarning(lcNet) << "sharing: too many wrong passwords from" << client;
        }
        responder.write(QByteArray("The password is needed."),
                        {{"WWW-Authenticate", "Basic realm=\"Lirenta\", charset=\"UTF-8\""},
                         {"Content-Type", "text/plain; charset=utf-8"}},
                        Status::Unauthorized);
        return true;
    }
    failures.remove(client);
    route(request, responder);
    return true;
}

void LibraryServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(Status::NotFound);
}

void LibraryServer::route(const QHttpServerRequest& request, QHttpServerResponder& responder)
{
    static const QRegularExpression numbered(QStringLiteral("^/(file|cover|thumbnail|opds/author)/([0-9]{1,9})$"));
    static const QRegularExpression named(QStringLiteral("^/opds/(tag|series)/(.+)$"));
    const QString path = request.url().path(QUrl::FullyDecoded);
    const QUrlQuery query(request.url());
    const int page = pageOf(query);
    const int offset = (page - 1) * OpdsFeed::pageSize;
    const auto shelf = [&](LibraryCatalog::Shelf kind, const QString& key, LibraryCatalog::Order order,
                           const QString& id, const QString& title) {
        const LibraryCatalog::Page books = LibraryCatalog::books(kind, key, order, offset, OpdsFeed::pageSize);
        const QString self = request.url().toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::FullyEncoded);
        const QString encodedPath =
            request.url().toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveQuery | QUrl::FullyEncoded);
        writeXml(responder,
                 OpdsFeed::acquisition(id, title, self, books.entries,
                                       OpdsFeed::pageLinks(encodedPath, QString(), page, books.total)),
                 OpdsFeed::acquisitionType());
    };
    const QRegularExpressionMatch number = numbered.match(path);
    const QRegularExpressionMatch name = named.match(path);
    if (path == QLatin1String("/")) {
        const QString search = query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded).trimmed();
        if (search.isEmpty()) {
            const LibraryCatalog::Page books = LibraryCatalog::books(
                LibraryCatalog::Shelf::All, QString(), LibraryCatalog::Order::Title, offset, OpdsFeed::pageSize);
            responder.write(SharedLibraryPage::render(books.entries, search, page, books.total),
                            "text/html; charset=utf-8");
        } else {
            const QList<int> found = library.findBooks(search);
            responder.write(SharedLibraryPage::render(LibraryCatalog::entries(found.mid(offset, OpdsFeed::pageSize)),
                                                      search, page, int(found.size())),
                            "text/html; charset=utf-8");
        }
    } else if (path == QLatin1String("/opds")) {
        writeXml(responder,
                 OpdsFeed::navigation(QStringLiteral("root"), tr("Lirenta Library"), QStringLiteral("/opds"),
                                      {{tr("Recently Added"), QStringLiteral("/opds/recent"), tr("The newest books")},
                                       {tr("Authors"), QStringLiteral("/opds/authors"), tr("Books by author")},
                                       {tr("Tags"), QStringLiteral("/opds/tags"), tr("Books by tag")},
                                       {tr("Series"), QStringLiteral("/opds/series"), tr("Books by series")},
                                       {tr("All Books"), QStringLiteral("/opds/all"), tr("Every book by title")}}),
                 OpdsFeed::navigationType());
    } else if (path == QLatin1String("/opds/recent")) {
        shelf(LibraryCatalog::Shelf::All, QString(), LibraryCatalog::Order::Newest, QStringLiteral("recent"),
              tr("Recently Added"));
    } else if (path == QLatin1String("/opds/all")) {
        shelf(LibraryCatalog::Shelf::All, QString(), LibraryCatalog::Order::Title, QStringLiteral("all"),
              tr("All Books"));
    } else if (path == QLatin1String("/opds/authors") || path == QLatin1String("/opds/tags") ||
               path == QLatin1String("/opds/series")) {
        const LibraryCatalog::Shelf kind = path.endsWith(QLatin1String("authors")) ? LibraryCatalog::Shelf::Author
                                           : path.endsWith(QLatin1String("tags"))  ? LibraryCatalog::Shelf::Tag
                                                                                   : LibraryCatalog::Shelf::Series;
        const QString prefix = kind == LibraryCatalog::Shelf::Author ? QStringLiteral("/opds/author/")
                               : kind == LibraryCatalog::Shelf::Tag  ? QStringLiteral("/opds/tag/")
                                                                     : QStringLiteral("/opds/series/");
        QList<OpdsFeed::NavigationEntry> entries;
        for (const LibraryCatalog::Name& shelfName : LibraryCatalog::names(kind)) {
            entries.append({shelfName.name, prefix + QString::fromLatin1(QUrl::toPercentEncoding(shelfName.key)),
                            shelfName.count == 1 ? tr("1 book") : tr("%1 books").arg(shelfName.count)});
        }
        writeXml(responder, OpdsFeed::navigation(path.mid(6), path.mid(6), path, entries), OpdsFeed::navigationType());
    } else if (path == QLatin1String("/opds/search")) {
        const QString terms = query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded).trimmed();
        const bool everything = query.queryItemValue(QStringLiteral("scope")) == QLatin1String("everything");
        const QList<int> found = terms.isEmpty() ? QList<int>()
                                 : everything    ? library.findEverything(terms, QStringLiteral("Book"))
                                                 : library.findBooks(terms);
        QUrlQuery kept;
        kept.addQueryItem(QStringLiteral("q"), QString::fromLatin1(QUrl::toPercentEncoding(terms)));
        if (everything) {
            kept.addQueryItem(QStringLiteral("scope"), QStringLiteral("everything"));
        }
        writeXml(responder,
                 OpdsFeed::acquisition(QStringLiteral("search"), tr("Search: %1").arg(terms),
                                       request.url().toString(QUrl::RemoveScheme | QUrl::RemoveAuthority),
                                       LibraryCatalog::entries(found.mid(offset, OpdsFeed::pageSize)),
                                       OpdsFeed::pageLinks(path, kept.toString(), page, int(found.size()))),
                 OpdsFeed::acquisitionType());
    } else if (path == QLatin1String("/opensearch.xml")) {
        writeXml(responder, OpdsFeed::openSearch(), QStringLiteral("application/opensearchdescription+xml"));
    } else if (number.hasMatch()) {
        const int id = number.captured(2).toInt();
        const QString kind = number.captured(1);
        if (kind == QLatin1String("file")) {
            sendFile(request, responder, id);
        } else if (kind == QLatin1String("opds/author")) {
            shelf(LibraryCatalog::Shelf::Author, QString::number(id), LibraryCatalog::Order::Title,
                  QStringLiteral("author:%1").arg(id), tr("Author"));
        } else {
            sendCover(responder, id, kind == QLatin1String("thumbnail"));
        }
    } else if (name.hasMatch()) {
        const bool tag = name.captured(1) == QLatin1String("tag");
        shelf(tag ? LibraryCatalog::Shelf::Tag : LibraryCatalog::Shelf::Series, name.captured(2),
              LibraryCatalog::Order::Title, name.captured(1) + QLatin1Char(':') + name.captured(2), name.captured(2));
    } else {
        responder.write(Status::NotFound);
    }
}

void LibraryServer::sendFile(const QHttpServerRequest& request, QHttpServerResponder& responder, int fid)
{
    // Only a file of a library item that is still there.
    const std::optional<LibraryCatalog::File> file = LibraryCatalog::file(fid);
    const QFileInfo info(file ? file->path : QString());
    if (!file || !info.isFile() || !info.isReadable()) {
        responder.write(Status::NotFound);
        return;
    }
    const qint64 size = info.size();
    const QByteArray etag =
        '"' +
        QCryptographicHash::hash(
            QStringLiteral("%1:%2:%3").arg(file->md5).arg(size).arg(info.lastModified().toMSecsSinceEpoch()).toUtf8(),
            QCryptographicHash::Sha1)
            .toHex() +
        '"';
    const QByteArray modified = httpDate(info.lastModified()).toLatin1();
    const QByteArray type = mimeType(file->extension);
    const QByteArray disposition = contentDisposition(file->name);
    if (header(request, "If-None-Match") == etag) {
        responder.write({{"ETag", etag}}, Status::NotModified);
        return;
    }
    // One range, as download managers ask to resume: "bytes=start-end", "bytes=start-" or
    // "bytes=-length".
    static const QRegularExpression range(QStringLiteral("^bytes=(\\d*)-(\\d*)$"));
    const QRegularExpressionMatch asked = range.match(QString::fromLatin1(header(request, "Range")).trimmed());
    qint64 from = 0;
    qint64 to = size - 1;
    const bool partial = asked.hasMatch() && (!asked.captured(1).isEmpty() || !asked.captured(2).isEmpty());
    if (partial) {
        if (asked.captured(1).isEmpty()) {
            from = std::max<qint64>(0, size - asked.captured(2).toLongLong());
        } else {
            from = asked.captured(1).toLongLong();
            if (!asked.captured(2).isEmpty()) {
                to = std::min(to, asked.captured(2).toLongLong());
            }
        }
        if (from > to || from >= size) {
            responder.write({{"Content-Range", "bytes */" + QByteArray::number(size)}},
                            Status::RequestRangeNotSatisfiable);
            return;
        }
    }
    auto* body = new FileSlice(file->path, from, to - from + 1);
    if (!body->open(QIODevice::ReadOnly)) {
        delete body;
        responder.write(Status::NotFound);
        return;
    }
    // Headers here, then the bytes straight down the socket: Qt's own device transfer goes in
    // small steps and would take a minute for a large book.
    responder.writeStatusLine(partial ? Status::PartialContent : Status::Ok);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(to - from + 1));
    responder.writeHeader("Content-Disposition", disposition);
    if (partial) {
        responder.writeHeader("Content-Range", QStringLiteral("bytes %1-%2/%3").arg(from).arg(to).arg(size).toLatin1());
    }
    responder.writeHeader("Accept-Ranges", "bytes");
    responder.writeHeader("ETag", etag);
    responder.writeHeader("Last-Modified", modified);
    responder.writeBody(QByteArray());
    new FileStream(body, responder.socket());
}

void LibraryServer::sendCover(QHttpServerResponder& responder, int iid, bool thumbnail)
{
    const QList<LibraryCatalog::Entry> entries = LibraryCatalog::entries({iid});
    const QString path = entries.isEmpty() || entries.first().coverFile.startsWith(QLatin1Char(':'))
                             ? QString()
                             : BookCovers::located(entries.first().coverFile);
    // Made once for each version of the cover file: a grid of covers asks for many at once.
    const QFileInfo file(path);
    const QString key =
        QStringLiteral("%1|%2|%3").arg(path).arg(file.lastModified().toMSecsSinceEpoch()).arg(thumbnail);
    if (const QByteArray* kept = covers.object(key)) {
        responder.write(*kept, "image/jpeg");
        return;
    }
    QImage image;
    if (path.isEmpty() || !image.load(path)) {
        responder.write(Status::NotFound);
        return;
    }
    if (thumbnail && image.height() > 240) {
        image = image.scaledToHeight(240, Qt::SmoothTransformation);
    }
    auto* jpeg = new QByteArray;
    QBuffer buffer(jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", 85);
    responder.write(*jpeg, "image/jpeg");
    covers.insert(key, jpeg, int(jpeg->size()));
}
