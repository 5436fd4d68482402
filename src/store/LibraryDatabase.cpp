#include "LibraryDatabase.h"

#include "EverythingSearch.h"
#include "LibraryBackup.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "OwnConnection.h"
#include "SqlStatement.h"
#include "SqlTransaction.h"
#include "TagsAndSeries.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include <limits>
#include <sqlite3.h>
#include <sys/stat.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// Tables every library has; a database lacking any of them is not ours.
const QStringList libraryTables = {"items", "books", "webpages", "authors", "items_authors", "files", "notes"};
} // namespace

bool LibraryDatabase::s_readOnly = false;
bool LibraryDatabase::s_searchIndex = false;
qint64 LibraryDatabase::s_buildCursor = -1;
int LibraryDatabase::s_buildGeneration = 0;
int LibraryDatabase::s_openings = 0;
int LibraryDatabase::s_everythingBuildDelayMs = 3000;
int LibraryDatabase::s_backgroundBuildAbove = 20000;
int LibraryDatabase::s_buildPart = 2000; // about 20 ms of work: the window stays responsive
qint64 LibraryDatabase::s_changesAtOpen = 0;

// SQLite counts the rows each connection changed; what the opening itself wrote is not a change.
void LibraryDatabase::rememberChangesAtOpen()
{
    QSqlQuery query;
    s_changesAtOpen =
        query.exec(QStringLiteral("SELECT total_changes()")) && query.next() ? query.value(0).toLongLong() : 0;
}

bool LibraryDatabase::changedSinceOpen()
{
    QSqlQuery query;
    return query.exec(QStringLiteral("SELECT total_changes()")) && query.next() &&
           query.value(0).toLongLong() > s_changesAtOpen;
}
int LibraryDatabase::s_busyTimeoutMs = 3000;

QString LibraryDatabase::busyTimeoutOption()
{
    return QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(s_busyTimeoutMs);
}

const QStringList& LibraryDatabase::schemaStatements()
{
    static const QStringList statements = {
        "CREATE TABLE identifiers (id TEXT,type TEXT);",
        "CREATE TABLE items_authors (iid INTEGER,aid INTEGER);",
        "CREATE TABLE webpages (wid INTEGER PRIMARY KEY AUTOINCREMENT,iid INTEGER,url TEXT,created INTEGER,title "
        "TEXT,description TEXT);",
        "CREATE TABLE authors (aid INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT,firstName TEXT,lastName TEXT);",
        "CREATE TABLE sqlite_stat1(tbl,idx,stat);",
        "CREATE TABLE books (bid INTEGER PRIMARY KEY AUTOINCREMENT,title TEXT,pageCount INTEGER,datePublished "
        "TEXT,description TEXT,iid INTEGER,publisher TEXT,isbn10 TEXT, isbn13 TEXT);",
        "CREATE INDEX title on books (title ASC);",
        "CREATE INDEX description on books (description ASC);",
        "CREATE TABLE items (iid INTEGER PRIMARY KEY AUTOINCREMENT,type TEXT,coverFile TEXT,created INTEGER,updated "
        "TEXT, rating INTEGER);",
        "CREATE TABLE files (fid INTEGER PRIMARY KEY AUTOINCREMENT,fileName TEXT,filePath TEXT,fileType "
        "TEXT,fileExtension TEXT,fileMd5 TEXT,fileSize INTEGER,firstBytes TEXT,iid INT,created INTEGER,updated "
        "INTEGER);",
        "CREATE TABLE notes (iid INTEGER PRIMARY KEY AUTOINCREMENT,note TEXT);",
    };
    return statements;
}

LibraryDatabase::Outcome LibraryDatabase::open(const QString& dataDir)
{
    Outcome outcome;
    s_readOnly = false;
    qCDebug(lcStore) << "in dbOpen";
    qCDebug(lcStore) << dataDir;
    outcome.path = databasePath(dataDir);
    qCDebug(lcStore) << "Database open func dbPath: " + outcome.path;

    // Whatever was under way for a library opened before stops here.
    ++s_openings;
    EverythingSearch::stopBackgroundBuild();
    LibraryBackup::waitForBackground();

    // SQLite counts every allocation under one process-wide lock, so two connections reading
    // at once (the library's records and what hangs on them) would take turns. This must come
    // before SQLite's first use in the process; later calls change nothing.
    static const bool countsAllocations = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) != SQLITE_OK;
    Q_UNUSED(countsAllocations);

    LibrarySettings settings;
    const int version = settings.databaseVersion();
    // Read before anything is written: tells whether another program changed the library
    // since Lirenta last closed it.
    const quint32 counterAtRest = changeCounter(outcome.path);
    const QString fingerprintAtRest = restingFingerprint(outcome.path);

    QSqlDatabase db = QSqlDatabase::contains(QSqlDatabase::defaultConnection)
                          ? QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
                          : QSqlDatabase::addDatabase("QSQLITE");
    db.close();
    db.setDatabaseName(outcome.path);
    // Another program writing the library holds its lock for a moment: wait for it.
    db.setConnectOptions(busyTimeoutOption());

    const QFileInfo file(outcome.path);
    if (!file.exists()) {
        if (!db.open()) {
            outcome.status = Status::CannotCreate;
            outcome.error = db.lastError().text();
            qCWarning(lcStore) << "Unable to create database." << outcome.path << outcome.error;
            return outcome;
        }
        qCDebug(lcStore) << "Database loaded " + outcome.path;
        if (!createSchema(&outcome.error)) {
            qCDebug(lcStore) << "error creating one or more tables";
            db.close();
            // The file is ours and holds nothing yet; leave no table-less library behind.
            QFile::remove(outcome.path);
            outcome.status = Status::CannotCreate;
            return outcome;
        }
        settleNewLibrary(dataDir, counterAtRest);
        outcome.status = Status::Created;
        return outcome;
    }

    // A library the user may read but not write is opened read-only, and said to be so.
    outcome.readOnly = !file.isWritable() || !QFileInfo(file.absolutePath()).isWritable();
    s_readOnly = outcome.readOnly;
    if (outcome.readOnly) {
        db.setConnectOptions(busyTimeoutOption() + QStringLiteral(";QSQLITE_OPEN_READONLY"));
    }
    if (!db.open()) {
        outcome.status = Status::CannotOpen;
        outcome.error = db.lastError().text();
        qCDebug(lcStore) << "Unable to open database." + outcome.error;
        return outcome;
    }

    // The driver opens any file; only the first statement finds out whether it is a database.
    bool isEmpty = false;
    bool unreadable = false;
    const QString damage =
        checkExisting(&isEmpty, &unreadable, !checkedAtRest(dataDir, outcome.path, fingerprintAtRest));
    if (!damage.isEmpty() && unreadable) {
        // Locked by another program, or the disk did not answer: nothing says the file is
        // damaged, so it stays where it is.
        db.close();
        outcome.status = Status::InUse;
        outcome.error = damage;
        qCWarning(lcStore) << "Library not readable now" << outcome.path << outcome.error;
        return outcome;
    }
    if (!damage.isEmpty()) {
        db.close();
        outcome.error = damage;
        outcome.movedTo = moveAside(outcome.path);
        if (outcome.movedTo.isEmpty()) {
            outcome.status = Status::CannotOpen;
            outcome.error += QStringLiteral("; the file could not be moved aside");
        } else {
            outcome.status = Status::Damaged;
        }
        qCWarning(lcStore) << "Damaged database" << outcome.path << outcome.error << "moved to" << outcome.movedTo;
        return outcome;
    }

    if (isEmpty && !outcome.readOnly) {
        if (!createSchema(&outcome.error)) {
            db.close();
            outcome.status = Status::CannotCreate;
            return outcome;
        }
        settleNewLibrary(dataDir, counterAtRest);
        outcome.status = Status::Created;
        return outcome;
    }

    if (version == 0) {
        settings.setDatabaseVersion(1);
    }
    if (!outcome.readOnly) {
        ensureIndexes();
        useWriteAheadLog();
        attachSearchIndex(dataDir, counterAtRest);
        rememberChangesAtOpen();
    }
    outcome.status = Status::Opened;
    return outcome;
}

// A library whose tables were just made: its version, indexes, log and search index.
void LibraryDatabase::settleNewLibrary(const QString& dataDir, quint32 counterAtRest)
{
    LibrarySettings().setDatabaseVersion(1);
    ensureIndexes();
    useWriteAheadLog();
    attachSearchIndex(dataDir, counterAtRest);
    rememberChangesAtOpen();
}

// Indexes on the link and key columns, added to every library when it opens. The tables stay
// as they are, so other readers of the file notice nothing; without them loading and duplicate
// checks grow with the square of the library.
void LibraryDatabase::ensureIndexes()
{
    static const char* const statements[] = {
        "CREATE INDEX IF NOT EXISTS lirenta_items_authors_iid ON items_authors (iid)",
        "CREATE INDEX IF NOT EXISTS lirenta_items_authors_aid ON items_authors (aid)",
        "CREATE INDEX IF NOT EXISTS lirenta_books_iid ON books (iid)",
        "CREATE INDEX IF NOT EXISTS lirenta_webpages_iid ON webpages (iid)",
        "CREATE INDEX IF NOT EXISTS lirenta_files_iid ON files (iid)",
        "CREATE INDEX IF NOT EXISTS lirenta_files_path ON files (filePath COLLATE NOCASE)",
        "CREATE INDEX IF NOT EXISTS lirenta_files_fingerprint ON files (firstBytes, fileSize)",
        "CREATE INDEX IF NOT EXISTS lirenta_files_md5 ON files (fileMd5)",
        "CREATE INDEX IF NOT EXISTS lirenta_authors_name ON authors (name COLLATE NOCASE)",
    };
    QSqlQuery query;
    for (const char* statement : statements) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCDebug(lcStore) << statement << query.lastError();
        }
    }
    ensureOwnTables();
}

// Plain tables of the program's own beside the library's: what the book dialog records beyond
// the book row, and where the reader left each book. Other readers of the file can ignore them.
void LibraryDatabase::ensureOwnTables()
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS lirenta_book_details (iid INTEGER PRIMARY KEY, "
                                   "own INTEGER, location TEXT, haveRead INTEGER, readDate TEXT, want INTEGER, "
                                   "language TEXT)"))) {
        qCWarning(lcStore) << "no book details table:" << query.lastError().text();
    }
    if (!query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS lirenta_reading_positions (iid INTEGER PRIMARY KEY, "
                                   "fileMd5 TEXT, chapter TEXT, scroll REAL, zoom REAL)"))) {
        qCWarning(lcStore) << "no reading positions table:" << query.lastError().text();
    }
    TagsAndSeries::createTables();
}

// While the library is open, commits go to a write-ahead log: one sync per commit instead of
// four, and a commit is just as durable, so an import that saves each book in its own
// transaction runs twice as fast. close() turns the file back to the rollback journal; after
// a crash SQLite replays the log at the next opening.
void LibraryDatabase::useWriteAheadLog()
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.next() ||
        query.value(0).toString() != QLatin1String("wal")) {
        qCDebug(lcStore) << "no write-ahead log:" << query.lastError().text();
    }
}

bool LibraryDatabase::hasSearchIndex()
{
    return s_searchIndex && applySearchChanges();
}

void LibraryDatabase::forgetSearchIndex(const QString& dataDir)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(searchIndexPath(dataDir) + QLatin1String(suffix));
    }
}

quint32 LibraryDatabase::changeCounter(const QString& path)
{
    // The file change counter, 4 bytes big-endian at offset 24 of the header; SQLite raises it
    // with every change made in rollback-journal mode, which is how the file rests.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(24)) {
        return 0;
    }
    const QByteArray bytes = file.read(4);
    if (bytes.size() != 4) {
        return 0;
    }
    return (quint32(quint8(bytes[0])) << 24) | (quint32(quint8(bytes[1])) << 16) | (quint32(quint8(bytes[2])) << 8) |
           quint32(quint8(bytes[3]));
}

// How the file rests: size, modification time to the nanosecond, inode and change counter. A
// program that writes the file, or puts another file in its place, changes at least one of them.
QString LibraryDatabase::restingFingerprint(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return QString();
    }
    return QStringLiteral("%1:%2.%3:%4:%5")
        .arg(qint64(info.st_size))
        .arg(qint64(info.st_mtim.tv_sec))
        .arg(qint64(info.st_mtim.tv_nsec))
        .arg(quint64(info.st_ino))
        .arg(changeCounter(path));
}

// Whether the library rests exactly as Lirenta left it at its last clean close, when it had
// been checked at opening and written only by SQLite since. Reading every page again would
// then find nothing new, and costs a noticeable part of opening a large library. Any sign of a
// crash or of another writer (side files, another fingerprint, an index not closed cleanly)
// means a full check. The day's backup still checks every page of its copy.
bool LibraryDatabase::checkedAtRest(const QString& dataDir, const QString& path, const QString& fingerprint)
{
    if (fingerprint.isEmpty() || QFileInfo::exists(path + QLatin1String("-wal")) ||
        QFileInfo::exists(path + QLatin1String("-journal")) || !QFileInfo::exists(searchIndexPath(dataDir))) {
        return false;
    }
    const OwnConnection index(QStringLiteral("resting-state"), searchIndexPath(dataDir),
                              QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!index.isOpen()) {
        return false;
    }
    QSqlQuery query(index.database());
    if (!query.exec(QStringLiteral("SELECT key, value FROM state WHERE key IN ('clean', 'checked')"))) {
        return false;
    }
    QHash<QString, QString> state;
    while (query.next()) {
        state.insert(query.value(0).toString(), query.value(1).toString());
    }
    return state.value(QStringLiteral("clean")) == QLatin1String("1") &&
           state.value(QStringLiteral("checked")) == fingerprint;
}

// A trigram index of book titles and descriptions answers substring searches without reading
// every row. It lives in a file of its own beside the library ("search-index.db", attached as
// "lirenta_search"), so data.db keeps nothing but plain tables and indexes that any SQLite can
// write. Temporary triggers, which exist only on this connection, keep it in step with every
// change the program makes. It is rebuilt when it cannot be trusted: new, left by a crash, or
// the library changed by another program since it was last closed. Without it (a read-only
// library, no FTS5), searches read every row.
void LibraryDatabase::attachSearchIndex(const QString& dataDir, quint32 counterAtRest)
{
    s_searchIndex = false;
    QSqlQuery query;
    // Libraries of earlier versions carried the index inside; it goes.
    for (const char* statement :
         {"DROP TRIGGER IF EXISTS lirenta_books_search_insert", "DROP TRIGGER IF EXISTS lirenta_books_search_delete",
          "DROP TRIGGER IF EXISTS lirenta_books_search_update", "DROP TABLE IF EXISTS lirenta_books_search"}) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCWarning(lcStore) << "old search index stays:" << query.lastError().text();
        }
    }
    query.prepare(QStringLiteral("ATTACH DATABASE :path AS lirenta_search"));
    query.bindValue(QStringLiteral(":path"), searchIndexPath(dataDir));
    if (!query.exec()) {
        qCWarning(lcStore) << "No search index:" << query.lastError().text();
        return;
    }
    // Without an index, searches read every row: nothing is lost.
    const auto giveUp = [&](const QSqlQuery& failed) {
        qCWarning(lcStore) << "No search index:" << failed.lastError().text();
        QSqlQuery().exec(QStringLiteral("DETACH DATABASE lirenta_search"));
        forgetSearchIndex(dataDir); // the next opening starts it afresh
    };
    static const char* const schema[] = {
        "PRAGMA temp_store=MEMORY", // the noted changes, see below
        "PRAGMA lirenta_search.journal_mode=WAL",
        // A cache that is rebuilt after any crash needs no sync of its own: each saved book then
        // costs one sync, the library's.
        "PRAGMA lirenta_search.synchronous=OFF",
        "CREATE VIRTUAL TABLE IF NOT EXISTS lirenta_search.books_search USING fts5(title, description, content='', "
        "tokenize='trigram')",
        "CREATE TABLE IF NOT EXISTS lirenta_search.state (key TEXT PRIMARY KEY, value TEXT)",
    };
    for (const char* statement : schema) {
        if (!query.exec(QString::fromLatin1(statement))) {
            giveUp(query);
            return;
        }
    }
    const auto state = [&](const char* key) {
        QSqlQuery read;
        read.prepare(QStringLiteral("SELECT value FROM lirenta_search.state WHERE key = :key"));
        read.bindValue(QStringLiteral(":key"), QString::fromLatin1(key));
        return read.exec() && read.next() ? read.value(0).toString() : QString();
    };
    QSqlQuery count(QStringLiteral("SELECT COUNT(*) FROM main.books"));
    const QString books = count.next() ? count.value(0).toString() : QString();
    count.finish();
    const bool trusted = state("clean") == QLatin1String("1") && state("counter") == QString::number(counterAtRest) &&
                         state("books") == books;
    for (const QString& statement : EverythingSearch::setUpStatements()) {
        if (!query.exec(statement)) {
            giveUp(query);
            return;
        }
    }
    // A large library gets its index made a part at a time after the window is up; searches
    // read every row until it is done.
    const bool inBackground = !trusted && books.toLongLong() > s_backgroundBuildAbove;
    SqlTransaction transaction;
    if (!trusted) {
        qCDebug(lcStore) << "rebuilding the search index" << (inBackground ? "in the background" : "");
        if (!EverythingSearch::forget() ||
            !query.exec(
                QStringLiteral("INSERT INTO lirenta_search.books_search (books_search) VALUES ('delete-all')")) ||
            (!inBackground &&
             !query.exec(QStringLiteral("INSERT INTO lirenta_search.books_search (rowid, title, description) "
                                        "SELECT bid, title, description FROM main.books")))) {
            transaction.rollback();
            giveUp(query);
            return;
        }
    }
    // The triggers note each change in a table of the connection's own memory; the changes go
    // into the index file in a transaction of their own (applySearchChanges). A transaction
    // across both files is not atomic in WAL mode: a full disk could then fail the index's half
    // after the library's half was committed, and a saved book would be reported as not saved.
    static const char* const triggers[] = {
        "CREATE TEMP TABLE lirenta_search_changes (seq INTEGER PRIMARY KEY, removal INTEGER, bid INTEGER, "
        "title TEXT, description TEXT)",
        "CREATE TEMP TRIGGER lirenta_books_search_insert AFTER INSERT ON main.books BEGIN "
        "INSERT INTO lirenta_search_changes (removal, bid, title, description) "
        "VALUES (0, new.bid, new.title, new.description); END",
        "CREATE TEMP TRIGGER lirenta_books_search_delete AFTER DELETE ON main.books BEGIN "
        "INSERT INTO lirenta_search_changes (removal, bid, title, description) "
        "VALUES (1, old.bid, old.title, old.description); END",
        "CREATE TEMP TRIGGER lirenta_books_search_update AFTER UPDATE ON main.books BEGIN "
        "INSERT INTO lirenta_search_changes (removal, bid, title, description) "
        "VALUES (1, old.bid, old.title, old.description); "
        "INSERT INTO lirenta_search_changes (removal, bid, title, description) "
        "VALUES (0, new.bid, new.title, new.description); END",
        // Until a clean close says otherwise, a crash leaves an index to be rebuilt.
        "INSERT OR REPLACE INTO lirenta_search.state (key, value) VALUES ('clean', '0')",
    };
    for (const char* statement : triggers) {
        if (!query.exec(QString::fromLatin1(statement))) {
            transaction.rollback();
            giveUp(query);
            return;
        }
    }
    const bool committed = transaction.commit();
    if (committed && !EverythingSearch::isBuilt()) {
        // A while after the window is up, when its covers and the user's first searches have had
        // the machine to themselves (its writing slows the index those searches read); only for
        // the library still open then.
        const int opening = s_openings;
        const QString libraryPath = QSqlDatabase::database().databaseName();
        QTimer::singleShot(s_everythingBuildDelayMs, [opening, libraryPath, dataDir] {
            if (opening == s_openings) {
                EverythingSearch::buildInBackground(libraryPath, searchIndexPath(dataDir), busyTimeoutOption());
            }
        });
    }
    if (committed && inBackground) {
        s_buildCursor = 0;
        const int generation = ++s_buildGeneration;
        QTimer::singleShot(0, [generation] { continueSearchIndexBuild(generation); });
        return;
    }
    s_searchIndex = committed;
}

bool LibraryDatabase::isBuildingSearchIndex()
{
    return s_buildCursor >= 0;
}

// One part of a search index made in the background: the changes since the last part to books
// already indexed, then the next books in key order. Changes to books not yet indexed need
// nothing: their part reads them as they are by then.
void LibraryDatabase::continueSearchIndexBuild(int generation)
{
    if (generation != s_buildGeneration || s_buildCursor < 0) {
        return; // the library was closed meanwhile
    }
    if (SqlTransaction::anyOpen()) {
        QTimer::singleShot(20, [generation] { continueSearchIndexBuild(generation); });
        return;
    }
    SqlTransaction transaction(SqlTransaction::Lock::Immediate);
    QSqlQuery query;
    bool ok = writeSearchChanges(s_buildCursor);
    qint64 last = s_buildCursor;
    if (ok) {
        query.prepare(QStringLiteral("SELECT MAX(bid) FROM (SELECT bid FROM main.books WHERE bid > :cursor "
                                     "ORDER BY bid LIMIT :part)"));
        query.bindValue(QStringLiteral(":cursor"), s_buildCursor);
        query.bindValue(QStringLiteral(":part"), s_buildPart);
        ok = query.exec() && query.next();
        if (ok && !query.value(0).isNull()) {
            last = query.value(0).toLongLong();
        }
        query.finish();
    }
    if (ok && last > s_buildCursor) {
        query.prepare(QStringLiteral("INSERT INTO lirenta_search.books_search (rowid, title, description) "
                                     "SELECT bid, title, description FROM main.books "
                                     "WHERE bid > :cursor AND bid <= :last"));
        query.bindValue(QStringLiteral(":cursor"), s_buildCursor);
        query.bindValue(QStringLiteral(":last"), last);
        ok = query.exec();
    }
    if (!ok || !transaction.commit()) {
        qCWarning(lcStore) << "search index not made:" << query.lastError().text();
        transaction.rollback();
        s_buildCursor = -1; // searches keep reading every row; the next opening tries again
        return;
    }
    if (last == s_buildCursor) {
        s_buildCursor = -1;
        s_searchIndex = true;
        qCDebug(lcStore) << "search index made";
        return;
    }
    s_buildCursor = last;
    QTimer::singleShot(0, [generation] { continueSearchIndexBuild(generation); });
}

// Brings the index up to the changes noted since the last time, in order. When that fails the
// index is set aside for the session (searches read every row) and rebuilt at the next opening.
bool LibraryDatabase::applySearchChanges()
{
    if (!s_searchIndex || SqlTransaction::anyOpen()) {
        return false;
    }
    {
        QSqlQuery pending(QStringLiteral("SELECT 1 FROM lirenta_search_changes LIMIT 1"));
        if (!pending.isActive()) {
            s_searchIndex = false;
            return false;
        }
        if (!pending.next() && !EverythingSearch::hasPendingChanges()) {
            return true;
        }
    }
    SqlTransaction transaction(SqlTransaction::Lock::Immediate);
    if (!transaction.isActive() || !writeSearchChanges(std::numeric_limits<qint64>::max()) ||
        !EverythingSearch::applyChanges() || !transaction.commit()) {
        qCWarning(lcStore) << "search index set aside";
        transaction.rollback();
        s_searchIndex = false;
        return false;
    }
    return true;
}

// Writes the noted changes of books up to `lastBid` into the index, in order, and clears the
// notes; the caller holds the transaction.
bool LibraryDatabase::writeSearchChanges(qint64 lastBid)
{
    struct Change
    {
        bool removal;
        QVariant bid;
        QVariant title;
        QVariant description;
    };
    QList<Change> changes;
    {
        QSqlQuery pending;
        pending.setForwardOnly(true);
        if (!pending.exec(QStringLiteral("SELECT removal, bid, title, description FROM lirenta_search_changes "
                                         "ORDER BY seq"))) {
            return false;
        }
        while (pending.next()) {
            if (pending.value(1).toLongLong() <= lastBid) {
                changes.append({pending.value(0).toInt() != 0, pending.value(1), pending.value(2), pending.value(3)});
            }
        }
    }
    QSqlQuery insert;
    insert.prepare(QStringLiteral("INSERT INTO lirenta_search.books_search (rowid, title, description) "
                                  "VALUES (:bid, :title, :description)"));
    QSqlQuery remove;
    remove.prepare(QStringLiteral("INSERT INTO lirenta_search.books_search (books_search, rowid, title, "
                                  "description) VALUES ('delete', :bid, :title, :description)"));
    for (const Change& change : std::as_const(changes)) {
        QSqlQuery& statement = change.removal ? remove : insert;
        statement.bindValue(QStringLiteral(":bid"), change.bid);
        statement.bindValue(QStringLiteral(":title"), change.title);
        statement.bindValue(QStringLiteral(":description"), change.description);
        if (!SqlStatement::run(statement)) {
            return false;
        }
    }
    QSqlQuery clear;
    return clear.exec(QStringLiteral("DELETE FROM lirenta_search_changes"));
}

void LibraryDatabase::close()
{
    ++s_openings;
    // Their connections would keep the library from leaving write-ahead mode.
    EverythingSearch::stopBackgroundBuild();
    LibraryBackup::waitForBackground();
    if (!QSqlDatabase::contains(QSqlDatabase::defaultConnection)) {
        return;
    }
    QString libraryPath;
    QString books;
    {
        QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
        if (db.isOpen()) {
            // Back to the rollback journal: the file at rest is as every reader expects it,
            // without side files, and opens even where its folder is read-only.
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("PRAGMA journal_mode=DELETE"))) {
                qCDebug(lcStore) << "journal mode stays:" << query.lastError().text();
            }
            query.finish(); // no statement may be left running when the index takes its changes
            if (s_searchIndex && applySearchChanges()) {
                QSqlQuery count(QStringLiteral("SELECT COUNT(*) FROM main.books"), db);
                books = count.next() ? count.value(0).toString() : QString();
                libraryPath = db.databaseName();
                query.exec(QStringLiteral("PRAGMA lirenta_search.journal_mode=DELETE"));
                query.exec(QStringLiteral("DETACH DATABASE lirenta_search"));
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    // A build still under way stops; the index is made again at the next opening.
    s_buildCursor = -1;
    ++s_buildGeneration;
    if (s_searchIndex && !books.isEmpty()) {
        recordSearchIndexState(libraryPath, books);
    }
    s_searchIndex = false;
#ifdef __GLIBC__
    // A library's records were partly made by the threads that read them; the memory they free
    // stays with those threads' heaps, unused by the next library, unless handed back.
    malloc_trim(0);
#endif
}

// The index matches the library as it rests now, closed: the next opening checks that. The
// file's change counter is read only once the library is closed, when nothing is left to write.
void LibraryDatabase::recordSearchIndexState(const QString& libraryPath, const QString& books)
{
    {
        const OwnConnection index(QStringLiteral("search-state"),
                                  searchIndexPath(QFileInfo(libraryPath).path() + QLatin1Char('/')));
        if (index.isOpen()) {
            QSqlQuery query(index.database());
            if (!query.exec(
                    QStringLiteral("INSERT OR REPLACE INTO state (key, value) VALUES ('counter', '%1'), "
                                   "('books', '%2'), ('checked', '%3'), ('clean', '1')")
                        .arg(QString::number(changeCounter(libraryPath)), books, restingFingerprint(libraryPath)))) {
                qCDebug(lcStore) << "search index state not kept:" << query.lastError().text();
            }
        }
    }
}

bool LibraryDatabase::createSchema(QString* error)
{
    QSqlQuery query;
    if (!query.exec("BEGIN")) {
        *error = query.lastError().text();
        return false;
    }
    for (const QString& statement : schemaStatements()) {
        const bool prepared = query.prepare(statement);
        // SQLite keeps "sqlite_stat1" for its own statistics (ANALYZE makes it) and current
        // versions refuse to create it by hand; the library never uses it.
        if (!prepared && statement.startsWith(QLatin1String("CREATE TABLE sqlite_stat1"))) {
            qCDebug(lcStore) << statement << "skipped:" << query.lastError().text();
            continue;
        }
        if (!prepared || !query.exec()) {
            *error = statement + ": " + query.lastError().text();
            query.exec("ROLLBACK");
            return false;
        }
    }
    if (!query.exec("COMMIT")) {
        *error = query.lastError().text();
        query.exec("ROLLBACK");
        return false;
    }
    return true;
}

// Returns an empty string when the open file is a sound library (or holds no tables at all),
// otherwise what is wrong with it. Only a thorough check reads every page.
QString LibraryDatabase::checkExisting(bool* isEmpty, bool* unreadable, bool thorough)
{
    // SQLITE_BUSY, SQLITE_LOCKED and SQLITE_IOERR (with their extended codes) say nothing about
    // the file's content.
    const auto transient = [](const QSqlError& error) {
        bool ok = false;
        const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
        return ok && (code == 5 || code == 6 || code == 10);
    };
    QSqlQuery query;
    if (!query.exec("SELECT name FROM sqlite_master WHERE type = 'table'")) {
        *unreadable = transient(query.lastError());
        return query.lastError().text();
    }
    QSet<QString> tables;
    while (query.next()) {
        tables.insert(query.value(0).toString());
    }
    if (!query.exec(thorough ? QStringLiteral("PRAGMA quick_check") : QStringLiteral("SELECT 'ok'"))) {
        *unreadable = transient(query.lastError());
        return query.lastError().text();
    }
    QStringList problems;
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1String("ok")) {
            problems << line;
        }
    }
    if (!problems.isEmpty()) {
        return problems.mid(0, 3).join(QLatin1String("; "));
    }
    *isEmpty = tables.isEmpty();
    if (*isEmpty) {
        return QString();
    }
    QStringList missing;
    for (const QString& table : libraryTables) {
        if (!tables.contains(table)) {
            missing << table;
        }
    }
    if (!missing.isEmpty()) {
        return QStringLiteral("not a Lirenta library (no table %1)").arg(missing.join(QLatin1String(", ")));
    }
    return QString();
}

// Keeps a damaged file under a new name next to the old one; returns that name, or empty on failure.
QString LibraryDatabase::moveAside(const QString& path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n) {
        target = path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    }
    if (!QFile::rename(path, target)) {
        return QString();
    }
    forgetSearchIndex(QFileInfo(path).path() + QLatin1Char('/'));
    // SQLite's side files belong to the damaged database; keep them with it.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        if (QFileInfo::exists(path + suffix)) {
            QFile::rename(path + suffix, target + suffix);
        }
    }
    return target;
}
