#include "ContentIndex.h"

#include "Logging.h"
#include "SqliteRows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sys/stat.h>

namespace {
const int schemaVersion = 2;
const int pagesPerRow = 10;
const int charsPerRow = 40000;

quint64 inodeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}
} // namespace

ContentIndex::ContentIndex(const QString& connectionName) : connection(connectionName)
{
}

ContentIndex::~ContentIndex()
{
    close();
}

QString ContentIndex::pathIn(const QString& dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("content-index.db"));
}

bool ContentIndex::open(const QString& path, const QString& identity)
{
    close();
    filePath = path;
    libraryIdentity = identity;
    if (openFile()) {
        return true;
    }
    // Damaged, another library's or of another make: a cache is simply made again.
    qCInfo(lcStore) << "content index made afresh:" << path;
    discardFile();
    return openFile();
}

bool ContentIndex::openFile()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(filePath);
        if (!db.open()) {
            return false;
        }
        opened = true;
    }
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.exec(QStringLiteral("PRAGMA busy_timeout = 5000"));
    // Takes effect in a new file only: lets optimize() give back the pages it frees.
    query.exec(QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"));
    query.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    query.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    if (!createSchema()) {
        close();
        return false;
    }
    fileInode = inodeOf(filePath);
    return true;
}

bool ContentIndex::createSchema()
{
    QSqlQuery query(QSqlDatabase::database(connection, false));
    const QStringList statements = {
        QStringLiteral("CREATE TABLE IF NOT EXISTS lirenta_meta (key TEXT PRIMARY KEY, value TEXT)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS books (iid INTEGER PRIMARY KEY, state INTEGER, fileSize INTEGER, "
                       "modified INTEGER, md5 TEXT, note TEXT)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS parts (id INTEGER PRIMARY KEY AUTOINCREMENT, iid INTEGER, kind "
                       "INTEGER, number INTEGER, pages INTEGER)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS parts_iid ON parts (iid)"),
        QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS words USING fts5(body, content='', "
                       "tokenize='unicode61 remove_diacritics 2')")};
    for (const QString& statement : statements) {
        if (!query.exec(statement)) {
            qCWarning(lcStore) << "content index not usable:" << query.lastError().text();
            return false;
        }
    }
    // A new file takes the library's identity; an old one must carry it.
    query.exec(QStringLiteral("SELECT key, value FROM lirenta_meta"));
    QHash<QString, QString> meta;
    while (query.next()) {
        meta.insert(query.value(0).toString(), query.value(1).toString());
    }
    if (meta.isEmpty()) {
        query.prepare(QStringLiteral("INSERT INTO lirenta_meta (key, value) VALUES ('identity', ?), ('version', ?)"));
        query.addBindValue(libraryIdentity);
        query.addBindValue(QString::number(schemaVersion));
        return query.exec();
    }
    return meta.value(QStringLiteral("identity")) == libraryIdentity &&
           meta.value(QStringLiteral("version")) == QString::number(schemaVersion);
}

void ContentIndex::close()
{
    if (!opened && !QSqlDatabase::contains(connection)) {
        return;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    opened = false;
}

void ContentIndex::discardFile()
{
    close();
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        QFile::remove(filePath + suffix);
    }
}

bool ContentIndex::reopenIfGone()
{
    if (!opened || inodeOf(filePath) == fileInode) {
        return opened;
    }
    qCInfo(lcStore) << "content index went away; starting a fresh one";
    close();
    return open(filePath, libraryIdentity);
}

QHash<int, ContentIndex::Entry> ContentIndex::entries() const
{
    QHash<int, Entry> all;
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT iid, state, fileSize, modified, md5, note FROM books"))) {
        return all;
    }
    while (query.next()) {
        Entry entry;
        entry.state = State(query.value(1).toInt());
        entry.fingerprint = {query.value(2).toLongLong(), query.value(3).toLongLong(), query.value(4).toString()};
        entry.note = query.value(5).toString();
        all.insert(query.value(0).toInt(), entry);
    }
    return all;
}

std::optional<ContentIndex::Entry> ContentIndex::entry(int iid) const
{
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.prepare(QStringLiteral("SELECT state, fileSize, modified, md5, note FROM books WHERE iid = ?"));
    query.addBindValue(iid);
    if (!opened || !query.exec() || !query.next()) {
        return std::nullopt;
    }
    Entry found;
    found.state = State(query.value(0).toInt());
    found.fingerprint = {query.value(1).toLongLong(), query.value(2).toLongLong(), query.value(3).toString()};
    found.note = query.value(4).toString();
    return found;
}

bool ContentIndex::store(int iid, const Fingerprint& fingerprint, const ContentText::Result& result)
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.transaction()) {
        return false;
    }
    QSqlQuery query(db);
    bool ok = true;
    query.prepare(QStringLiteral("DELETE FROM parts WHERE iid = ?"));
    query.addBindValue(iid);
    ok = ok && query.exec();
    const State state = result.outcome == ContentText::Outcome::Read     ? State::Indexed
                        : result.outcome == ContentText::Outcome::NoText ? State::NoText
                                                                         : State::Skipped;
    query.prepare(
        QStringLiteral("INSERT OR REPLACE INTO books (iid, state, fileSize, modified, md5, note) VALUES (?, ?, "
                       "?, ?, ?, ?)"));
    query.addBindValue(iid);
    query.addBindValue(int(state));
    query.addBindValue(fingerprint.size);
    query.addBindValue(fingerprint.modified);
    query.addBindValue(fingerprint.md5);
    query.addBindValue(result.reason);
    ok = ok && query.exec();
    QSqlQuery part(db);
    part.prepare(QStringLiteral("INSERT INTO parts (iid, kind, number, pages) VALUES (?, ?, ?, ?)"));
    QSqlQuery words(db);
    words.prepare(QStringLiteral("INSERT INTO words (rowid, body) VALUES (?, ?)"));
    const auto insert = [&](const ContentText::Part& first, int pages, const QString& text) {
        part.addBindValue(iid);
        part.addBindValue(int(first.kind));
        part.addBindValue(first.number);
        part.addBindValue(pages);
        if (!part.exec()) {
            return false;
        }
        words.addBindValue(part.lastInsertId());
        words.addBindValue(ContentText::searchable(text));
        return words.exec();
    };
    for (qsizetype at = 0; ok && at < result.parts.size();) {
        // Pages go in runs; chapters and whole files one by one.
        const ContentText::Part& first = result.parts.at(at);
        QString text = first.text;
        qsizetype next = at + 1;
        while (first.kind == ContentText::Kind::Page && next < result.parts.size() && next - at < pagesPerRow &&
               text.size() < charsPerRow) {
            text += QLatin1Char('\n') + result.parts.at(next++).text;
        }
        ok = insert(first, int(next - at), text);
        at = next;
    }
    if (!ok) {
        qCWarning(lcStore) << "content index not written:" << query.lastError().text() << part.lastError().text()
                           << words.lastError().text();
        db.rollback();
        return false;
    }
    return db.commit();
}

bool ContentIndex::drop(const QList<int>& iids)
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (iids.isEmpty() || !db.transaction()) {
        return iids.isEmpty();
    }
    QSqlQuery query(db);
    for (const int iid : iids) {
        for (const char* statement : {"DELETE FROM parts WHERE iid = ?", "DELETE FROM books WHERE iid = ?"}) {
            query.prepare(QLatin1String(statement));
            query.addBindValue(iid);
            if (!query.exec()) {
                db.rollback();
                return false;
            }
        }
    }
    return db.commit();
}

bool ContentIndex::wantsFreshStart() const
{
    // Rows are numbered as parts are: those past the parts still named are dead.
    QSqlQuery query(QSqlDatabase::database(connection, false));
    if (!query.exec(QStringLiteral("SELECT (SELECT seq FROM sqlite_sequence WHERE name = 'parts'), (SELECT count(*) "
                                   "FROM parts)")) ||
        !query.next()) {
        return false;
    }
    const qint64 made = query.value(0).toLongLong();
    const qint64 live = query.value(1).toLongLong();
    return made - live > 20000 && made - live > live;
}

void ContentIndex::optimize()
{
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.exec(QStringLiteral("INSERT INTO words (words) VALUES ('optimize')"));
    // Each step gives back a page: Qt's query would take one step only.
    SqliteRows vacuum(QSqlDatabase::database(connection, false), QStringLiteral("PRAGMA incremental_vacuum"));
    while (vacuum.next()) {
    }
}

bool ContentIndex::startAfresh()
{
    discardFile();
    return openFile();
}

QString ContentIndex::matchExpression(const QString& terms)
{
    static const QRegularExpression word(QStringLiteral("\\w+"), QRegularExpression::UseUnicodePropertiesOption);
    QStringList clauses;
    for (const QString& phrase : wordsOf(terms)) {
        QStringList tokens;
        QRegularExpressionMatchIterator it = word.globalMatch(ContentText::searchable(phrase));
        while (it.hasNext()) {
            tokens << it.next().captured(0);
        }
        if (!tokens.isEmpty()) {
            // Tokens hold letters and digits only, so quoting needs no escapes.
            clauses << QLatin1Char('"') + tokens.join(QLatin1Char(' ')) + QLatin1Char('"');
        }
    }
    return clauses.join(QLatin1String(" AND "));
}

QStringList ContentIndex::wordsOf(const QString& terms)
{
    static const QRegularExpression pieces(QStringLiteral("\"([^\"]*)\"?|(\\S+)"));
    QStringList words;
    QRegularExpressionMatchIterator it = pieces.globalMatch(terms);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString piece = (match.capturedStart(1) >= 0 ? match.captured(1) : match.captured(2)).simplified();
        if (!piece.isEmpty()) {
            words << piece;
        }
    }
    return words;
}

QList<int> ContentIndex::find(const QString& terms, int limit, const std::function<bool(int)>& wanted)
{
    QList<int> books;
    const QString expression = matchExpression(terms);
    if (expression.isEmpty() || !reopenIfGone()) {
        return books;
    }
    const bool ranked = affordsRanking(expression);
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT p.iid FROM words JOIN parts p ON p.id = words.rowid WHERE words MATCH ?") +
                  (ranked ? QStringLiteral(" ORDER BY words.rank") : QString()));
    query.addBindValue(expression);
    if (!query.exec()) {
        qCWarning(lcStore) << "search inside books failed:" << query.lastError().text();
        return books;
    }
    QSet<int> seen;
    while (query.next() && books.size() < limit) {
        const int iid = query.value(0).toInt();
        if (!seen.contains(iid)) {
            seen.insert(iid);
            if (!wanted || wanted(iid)) {
                books << iid;
            }
        }
    }
    return books;
}

// Ranking reads each matching row's length and, for every word or phrase, the rows that hold
// it across the whole index: quick for thousands of rows, not for words on nearly every page of
// a large library, where every book and page matches about as well. So past `rankedRows`
// matching rows books come in the order the index holds them, and a book's places in page order.
bool ContentIndex::affordsRanking(const QString& expression) const
{
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT count(*) FROM (SELECT rowid FROM words WHERE words MATCH ? LIMIT ?)"));
    query.addBindValue(expression);
    query.addBindValue(rankedRows + 1);
    return query.exec() && query.next() && query.value(0).toInt() <= rankedRows;
}

QList<ContentIndex::Hit> ContentIndex::bestParts(int iid, const QString& terms, int limit)
{
    QList<Hit> hits;
    const QString expression = matchExpression(terms);
    if (expression.isEmpty() || !reopenIfGone()) {
        return hits;
    }
    // A book's parts are numbered together, so its rows are one range of the table.
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT p.kind, p.number, p.pages FROM words JOIN parts p ON p.id = words.rowid WHERE words "
                       "MATCH ? AND words.rowid BETWEEN (SELECT min(id) FROM parts WHERE iid = ?) AND "
                       "(SELECT max(id) FROM parts WHERE iid = ?) AND p.iid = ? ORDER BY ") +
        (affordsRanking(expression) ? QStringLiteral("words.rank") : QStringLiteral("words.rowid")) +
        QStringLiteral(" LIMIT ?"));
    query.addBindValue(expression);
    query.addBindValue(iid);
    query.addBindValue(iid);
    query.addBindValue(iid);
    query.addBindValue(limit);
    if (!query.exec()) {
        qCWarning(lcStore) << "search inside a book failed:" << query.lastError().text();
        return hits;
    }
    while (query.next()) {
        hits << Hit{iid, ContentText::Kind(query.value(0).toInt()), query.value(1).toInt(), query.value(2).toInt()};
    }
    return hits;
}
