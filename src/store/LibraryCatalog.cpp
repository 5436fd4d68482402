#include "LibraryCatalog.h"

#include "Logging.h"

#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
QString shelfJoin(LibraryCatalog::Shelf shelf)
{
    switch (shelf) {
    case LibraryCatalog::Shelf::Author:
        return QStringLiteral(" JOIN items_authors k ON k.iid = b.iid WHERE k.aid = :key");
    case LibraryCatalog::Shelf::Tag:
        return QStringLiteral(" JOIN lirenta_tags k ON k.iid = b.iid WHERE k.tag = :key");
    case LibraryCatalog::Shelf::Series:
        return QStringLiteral(" JOIN lirenta_series k ON k.iid = b.iid WHERE k.name = :key");
    case LibraryCatalog::Shelf::All:
        break;
    }
    return QString();
}

LibraryCatalog::File fileOf(const QSqlQuery& query, int first)
{
    LibraryCatalog::File file;
    file.fid = query.value(first).toInt();
    file.iid = query.value(first + 1).toInt();
    file.path = query.value(first + 2).toString();
    file.name = QFileInfo(file.path).fileName();
    file.extension = QFileInfo(file.path).suffix().toLower();
    file.md5 = query.value(first + 3).toString();
    // The size on disk: the stored one is from when the file came in.
    const QFileInfo onDisk(file.path);
    file.size = onDisk.isFile() ? onDisk.size() : query.value(first + 4).toLongLong();
    return file;
}
} // namespace

void LibraryCatalog::addIndexes()
{
    QSqlQuery query;
    for (const char* statement : {"CREATE INDEX IF NOT EXISTS lirenta_books_title ON books (title COLLATE NOCASE, iid)",
                                  "CREATE INDEX IF NOT EXISTS lirenta_items_created ON items (created)"}) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCWarning(lcStore) << "catalogue index not made:" << query.lastError().text();
        }
    }
}

LibraryCatalog::Page LibraryCatalog::books(Shelf shelf, const QString& key, Order order, int offset, int limit)
{
    Page page;
    // Orders the indexes of addIndexes() serve.
    const QString from = QStringLiteral(" FROM books b") + shelfJoin(shelf);
    QSqlQuery count;
    count.prepare(QStringLiteral("SELECT count(*)") + from);
    if (shelf != Shelf::All) {
        count.bindValue(QStringLiteral(":key"), key);
    }
    if (count.exec() && count.next()) {
        page.total = count.value(0).toInt();
    }
    const QString ordered = shelf == Shelf::Series   ? QStringLiteral(" ORDER BY k.number, b.title COLLATE NOCASE")
                            : order == Order::Newest ? QStringLiteral(" ORDER BY i.created DESC, i.iid DESC")
                                                     : QStringLiteral(" ORDER BY b.title COLLATE NOCASE, b.iid");
    const QString joined = order == Order::Newest && shelf != Shelf::Series
                               ? QStringLiteral(" FROM books b JOIN items i ON i.iid = b.iid") + shelfJoin(shelf)
                               : from;
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT b.iid") + joined + ordered +
                       QStringLiteral(" LIMIT :limit OFFSET :offset"))) {
        qCWarning(lcStore) << "catalogue not read:" << query.lastError().text();
        return page;
    }
    if (shelf != Shelf::All) {
        query.bindValue(QStringLiteral(":key"), key);
    }
    query.bindValue(QStringLiteral(":limit"), limit);
    query.bindValue(QStringLiteral(":offset"), offset);
    QList<int> iids;
    if (!query.exec()) {
        qCWarning(lcStore) << "catalogue not read:" << query.lastError().text();
    }
    while (query.next()) {
        iids << query.value(0).toInt();
    }
    page.entries = entries(iids);
    return page;
}

QList<LibraryCatalog::Entry> LibraryCatalog::entries(const QList<int>& iids)
{
    QList<Entry> found;
    if (iids.isEmpty()) {
        return found;
    }
    QStringList numbers;
    for (const int iid : iids) {
        numbers << QString::number(iid);
    }
    const QString in = QLatin1Char('(') + numbers.join(QLatin1Char(',')) + QLatin1Char(')');
    QHash<int, Entry> byId;
    QSqlQuery query;
    query.setForwardOnly(true);
    query.exec(QStringLiteral("SELECT b.iid, b.title, b.description, b.datePublished, b.isbn10, b.isbn13, i.created, "
                              "i.coverFile, d.language FROM books b JOIN items i ON i.iid = b.iid LEFT JOIN "
                              "lirenta_book_details d ON d.iid = b.iid WHERE b.iid IN ") +
               in);
    while (query.next()) {
        Entry entry;
        entry.iid = query.value(0).toInt();
        entry.title = query.value(1).toString();
        entry.summary = query.value(2).toString();
        entry.published = query.value(3).toString();
        for (const int column : {4, 5}) {
            if (!query.value(column).toString().trimmed().isEmpty()) {
                entry.isbns << query.value(column).toString().trimmed();
            }
        }
        entry.created = query.value(6).toLongLong();
        entry.coverFile = query.value(7).toString();
        entry.language = query.value(8).toString();
        byId.insert(entry.iid, entry);
    }
    query.exec(QStringLiteral("SELECT ia.iid, a.name FROM items_authors ia JOIN authors a ON a.aid = ia.aid WHERE "
                              "ia.iid IN ") +
               in + QStringLiteral(" ORDER BY ia.rowid"));
    while (query.next()) {
        if (auto it = byId.find(query.value(0).toInt()); it != byId.end()) {
            it->authors << query.value(1).toString();
        }
    }
    query.exec(QStringLiteral("SELECT fid, iid, filePath, fileMd5, fileSize FROM files WHERE iid IN ") + in +
               QStringLiteral(" ORDER BY fid"));
    while (query.next()) {
        if (auto it = byId.find(query.value(1).toInt()); it != byId.end()) {
            it->files << fileOf(query, 0);
        }
    }
    for (const int iid : iids) {
        if (byId.contains(iid)) {
            found << byId.value(iid);
        }
    }
    return found;
}

QList<LibraryCatalog::Name> LibraryCatalog::names(Shelf shelf)
{
    const QString statement =
        shelf == Shelf::Author
            ? QStringLiteral(
                  "SELECT a.aid, a.name, count(*) FROM authors a JOIN items_authors ia ON ia.aid = a.aid JOIN "
                  "books b ON b.iid = ia.iid GROUP BY a.aid ORDER BY a.name COLLATE NOCASE")
        : shelf == Shelf::Tag
            ? QStringLiteral("SELECT t.tag, t.tag, count(*) FROM lirenta_tags t JOIN books b ON b.iid = t.iid GROUP BY "
                             "t.tag ORDER BY t.tag COLLATE NOCASE")
            : QStringLiteral(
                  "SELECT s.name, s.name, count(*) FROM lirenta_series s JOIN books b ON b.iid = s.iid GROUP "
                  "BY s.name ORDER BY s.name COLLATE NOCASE");
    QList<Name> list;
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.exec(statement)) {
        return list;
    }
    while (query.next()) {
        list << Name{query.value(0).toString(), query.value(1).toString(), query.value(2).toInt()};
    }
    return list;
}

std::optional<LibraryCatalog::File> LibraryCatalog::file(int fid)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT f.fid, f.iid, f.filePath, f.fileMd5, f.fileSize FROM files f JOIN items i ON "
                                 "i.iid = f.iid WHERE f.fid = ?"));
    query.addBindValue(fid);
    if (!query.exec() || !query.next()) {
        return std::nullopt;
    }
    return fileOf(query, 0);
}
