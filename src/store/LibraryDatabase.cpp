#include "LibraryDatabase.h"

#include "LibrarySettings.h"
#include "Logging.h"
#include "SqlTransaction.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// Tables every library has; a database lacking any of them is not ours.
const QStringList libraryTables = {"items", "books", "webpages", "authors", "items_authors", "files", "notes"};
} // namespace

bool LibraryDatabase::s_readOnly = false;
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

    LibrarySettings settings;
    const int version = settings.value("database/version", 0).toInt();

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
        settings.setValue("database/version", 1);
        ensureIndexes();
        useWriteAheadLog();
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
    const QString damage = checkExisting(&isEmpty, &unreadable);
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
        settings.setValue("database/version", 1);
        ensureIndexes();
        useWriteAheadLog();
        outcome.status = Status::Created;
        return outcome;
    }

    if (version == 0) {
        settings.setValue("database/version", 1);
    }
    if (!outcome.readOnly) {
        ensureIndexes();
        useWriteAheadLog();
    }
    outcome.status = Status::Opened;
    return outcome;
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
    ensureSearchIndex();
}

// Plain tables of the program's own beside the library's: what the book dialog records beyond
// the book row. Other readers of the file can ignore them.
void LibraryDatabase::ensureOwnTables()
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS lirenta_book_details (iid INTEGER PRIMARY KEY, "
                                   "own INTEGER, location TEXT, haveRead INTEGER, readDate TEXT, want INTEGER, "
                                   "language TEXT)"))) {
        qCWarning(lcStore) << "no book details table:" << query.lastError().text();
    }
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
    QSqlQuery query;
    return query.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                                     "'lirenta_books_search'")) &&
           query.next();
}

// A trigram index of book titles and descriptions answers substring searches without reading
// every row. It indexes the books table's own text (nothing is stored twice) and triggers keep
// it in step with every change, in the same transaction. Created once, filled from the books
// already there; when it cannot be made, searches simply read every row as before.
void LibraryDatabase::ensureSearchIndex()
{
    if (hasSearchIndex()) {
        return;
    }
    static const char* const statements[] = {
        "CREATE VIRTUAL TABLE lirenta_books_search USING fts5(title, description, content='books', "
        "content_rowid='bid', tokenize='trigram')",
        "CREATE TRIGGER lirenta_books_search_insert AFTER INSERT ON books BEGIN "
        "INSERT INTO lirenta_books_search (rowid, title, description) VALUES (new.bid, new.title, new.description); "
        "END",
        "CREATE TRIGGER lirenta_books_search_delete AFTER DELETE ON books BEGIN "
        "INSERT INTO lirenta_books_search (lirenta_books_search, rowid, title, description) "
        "VALUES ('delete', old.bid, old.title, old.description); "
        "END",
        "CREATE TRIGGER lirenta_books_search_update AFTER UPDATE ON books BEGIN "
        "INSERT INTO lirenta_books_search (lirenta_books_search, rowid, title, description) "
        "VALUES ('delete', old.bid, old.title, old.description); "
        "INSERT INTO lirenta_books_search (rowid, title, description) VALUES (new.bid, new.title, new.description); "
        "END",
        "INSERT INTO lirenta_books_search (lirenta_books_search) VALUES ('rebuild')",
    };
    SqlTransaction transaction;
    QSqlQuery query;
    for (const char* statement : statements) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCWarning(lcStore) << "No search index:" << query.lastError().text();
            return; // the transaction rolls back: no half-made index or trigger stays behind
        }
    }
    transaction.commit();
}

void LibraryDatabase::close()
{
    if (!QSqlDatabase::contains(QSqlDatabase::defaultConnection)) {
        return;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
        if (db.isOpen()) {
            // Back to the rollback journal: the file at rest is as every reader expects it,
            // without side files, and opens even where its folder is read-only.
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("PRAGMA journal_mode=DELETE"))) {
                qCDebug(lcStore) << "journal mode stays:" << query.lastError().text();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
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
// otherwise what is wrong with it.
QString LibraryDatabase::checkExisting(bool* isEmpty, bool* unreadable)
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
    if (!query.exec("PRAGMA quick_check")) {
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
    // SQLite's side files belong to the damaged database; keep them with it.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        if (QFileInfo::exists(path + suffix)) {
            QFile::rename(path + suffix, target + suffix);
        }
    }
    return target;
}
