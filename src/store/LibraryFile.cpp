#include "LibraryFile.h"

#include "LibrarySettings.h"
#include "Logging.h"
#include "TagsAndSeries.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <sqlite3.h>
#include <sys/stat.h>

namespace {
// Tables every library has; a database lacking any of them is not ours.
const QStringList libraryTables = {"items", "books", "webpages", "authors", "items_authors", "files", "notes"};

// What an error says about the file: busy or locked by another program, or the disk did not
// answer; anything else is about its content.
LibraryFile::Status kindOf(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (ok && (code == SQLITE_BUSY || code == SQLITE_LOCKED)) {
        return LibraryFile::Status::InUse;
    }
    if (ok && code == SQLITE_IOERR) {
        return LibraryFile::Status::CannotRead;
    }
    return LibraryFile::Status::Damaged;
}
} // namespace

const QStringList& LibraryFile::schemaStatements()
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

bool LibraryFile::isOpenReadOnly()
{
    return QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
        .connectOptions()
        .contains(QLatin1String("QSQLITE_OPEN_READONLY"));
}

LibraryFile::Outcome LibraryFile::open(const QString& dataDir, int busyTimeoutMs, bool checkEveryPage)
{
    Outcome outcome;
    outcome.path = pathIn(dataDir);
    libraryId.clear();
    readOnly = false;

    // SQLite counts every allocation under one process-wide lock, so two connections reading
    // at once (the library's records and what hangs on them) would take turns. This must come
    // before SQLite's first use in the process; later calls change nothing.
    static const bool countsAllocations = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) != SQLITE_OK;
    Q_UNUSED(countsAllocations);

    QSqlDatabase db = QSqlDatabase::contains(QSqlDatabase::defaultConnection)
                          ? QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
                          : QSqlDatabase::addDatabase("QSQLITE");
    db.close();
    db.setDatabaseName(outcome.path);
    // Another program writing the library holds its lock for a moment: wait for it.
    const QString busyOption = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    db.setConnectOptions(busyOption);

    const QFileInfo file(outcome.path);
    if (!file.exists()) {
        if (!db.open()) {
            outcome.status = Status::CannotCreate;
            outcome.error = db.lastError().text();
            qCWarning(lcStore) << "Unable to create database." << outcome.path << outcome.error;
            return outcome;
        }
        if (!createSchema(&outcome.error)) {
            db.close();
            // The file is ours and holds nothing yet; leave no table-less library behind.
            QFile::remove(outcome.path);
            outcome.status = Status::CannotCreate;
            return outcome;
        }
        settle();
        outcome.status = Status::Created;
        return outcome;
    }

    // A library the user may read but not write is opened read-only, and said to be so.
    outcome.readOnly = !file.isWritable() || !QFileInfo(file.absolutePath()).isWritable();
    readOnly = outcome.readOnly;
    if (outcome.readOnly) {
        db.setConnectOptions(busyOption + QStringLiteral(";QSQLITE_OPEN_READONLY"));
    }
    if (!db.open()) {
        // A disk that does not answer, or another program's lock, says nothing of the content.
        const Status problem = kindOf(db.lastError());
        outcome.status = problem == Status::Damaged ? Status::CannotOpen : problem;
        outcome.error = db.lastError().text();
        qCWarning(lcStore) << "Unable to open database." << outcome.error;
        return outcome;
    }

    // The driver opens any file; only the first statement finds out whether it is a database.
    bool isEmpty = false;
    Status problem = Status::Damaged;
    const QString damage = checkExisting(&isEmpty, &problem, checkEveryPage);
    if (!damage.isEmpty() && problem != Status::Damaged) {
        // Locked by another program, or the disk did not answer: nothing says the file is
        // damaged, so it stays where it is.
        db.close();
        outcome.status = problem;
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
        settle();
        outcome.status = Status::Created;
        return outcome;
    }

    LibrarySettings settings;
    if (settings.databaseVersion() == 0) {
        settings.setDatabaseVersion(1);
    }
    if (!outcome.readOnly) {
        ensureIndexes();
        useWriteAheadLog();
    }
    readIdentity();
    outcome.status = Status::Opened;
    return outcome;
}

// A library whose tables were just made: its version, indexes, log and identity.
void LibraryFile::settle()
{
    LibrarySettings().setDatabaseVersion(1);
    ensureIndexes();
    useWriteAheadLog();
    readIdentity();
}

// The identity is made once, by the first opening that may write; what that opening and the
// others wrote is not a change of this session.
void LibraryFile::readIdentity()
{
    QSqlQuery query;
    if (query.exec(QStringLiteral("SELECT value FROM lirenta_library WHERE key = 'id'")) && query.next()) {
        libraryId = query.value(0).toString();
    }
    query.finish();
    if (libraryId.isEmpty() && !readOnly) {
        const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO lirenta_library (key, value) VALUES ('id', :id)"));
        query.bindValue(QStringLiteral(":id"), made);
        if (query.exec()) {
            libraryId = made;
        } else {
            qCWarning(lcStore) << "library identity not kept:" << query.lastError().text();
        }
    }
    QSqlQuery changes;
    changesAtOpen =
        changes.exec(QStringLiteral("SELECT total_changes()")) && changes.next() ? changes.value(0).toLongLong() : 0;
}

bool LibraryFile::changedSinceOpen() const
{
    QSqlQuery query;
    return query.exec(QStringLiteral("SELECT total_changes()")) && query.next() &&
           query.value(0).toLongLong() > changesAtOpen;
}

qint64 LibraryFile::dataVersion() const
{
    QSqlQuery query;
    return query.exec(QStringLiteral("PRAGMA main.data_version")) && query.next() ? query.value(0).toLongLong() : -1;
}

// Indexes on the link and key columns, added to every library when it opens. The tables stay
// as they are, so other readers of the file notice nothing; without them loading and duplicate
// checks grow with the square of the library.
void LibraryFile::ensureIndexes()
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

// Plain tables of the program's own beside the library's: its identity, what the book dialog
// records beyond the book row, and where the reader left each book. Other readers of the file
// can ignore them.
void LibraryFile::ensureOwnTables()
{
    QSqlQuery query;
    for (const char* statement :
         {"CREATE TABLE IF NOT EXISTS lirenta_library (key TEXT PRIMARY KEY, value TEXT)",
          "CREATE TABLE IF NOT EXISTS lirenta_book_details (iid INTEGER PRIMARY KEY, own INTEGER, location TEXT, "
          "haveRead INTEGER, readDate TEXT, want INTEGER, language TEXT)",
          "CREATE TABLE IF NOT EXISTS lirenta_reading_positions (iid INTEGER PRIMARY KEY, fileMd5 TEXT, chapter TEXT, "
          "scroll REAL, zoom REAL)"}) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCWarning(lcStore) << statement << query.lastError().text();
        }
    }
    TagsAndSeries::createTables();
}

// While the library is open, commits go to a write-ahead log: one sync per commit instead of
// four, and a commit is just as durable, so an import that saves each book in its own
// transaction runs twice as fast. After a crash SQLite replays the log at the next opening.
void LibraryFile::useWriteAheadLog()
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.next() ||
        query.value(0).toString() != QLatin1String("wal")) {
        qCDebug(lcStore) << "no write-ahead log:" << query.lastError().text();
    }
}

void LibraryFile::returnToRollbackJournal()
{
    QSqlQuery query;
    if (!readOnly && !query.exec(QStringLiteral("PRAGMA journal_mode=DELETE"))) {
        qCDebug(lcStore) << "journal mode stays:" << query.lastError().text();
    }
}

void LibraryFile::close()
{
    if (!QSqlDatabase::contains(QSqlDatabase::defaultConnection)) {
        return;
    }
    QSqlDatabase::database(QSqlDatabase::defaultConnection, false).close();
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    libraryId.clear();
}

quint32 LibraryFile::changeCounter(const QString& path)
{
    // 4 bytes big-endian at offset 24 of the header.
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

// A program that writes the file, or puts another file in its place, changes at least one of
// size, modification time, inode and change counter.
QString LibraryFile::restingFingerprint(const QString& path)
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

bool LibraryFile::createSchema(QString* error)
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

QString LibraryFile::checkEveryPage() const
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("PRAGMA quick_check"))) {
        return query.lastError().text();
    }
    QStringList problems;
    while (query.next()) {
        if (query.value(0).toString() != QLatin1String("ok")) {
            problems << query.value(0).toString();
        }
    }
    if (query.lastError().isValid()) {
        problems << query.lastError().text();
    }
    return problems.mid(0, 3).join(QLatin1String("; "));
}

// Returns an empty string when the open file is a sound library (or holds no tables at all),
// otherwise what is wrong with it and, in `problem`, whether that is about its content.
QString LibraryFile::checkExisting(bool* isEmpty, Status* problem, bool thorough)
{
    QSqlQuery query;
    if (!query.exec("SELECT name FROM sqlite_master WHERE type = 'table'")) {
        *problem = kindOf(query.lastError());
        return query.lastError().text();
    }
    QSet<QString> tables;
    while (query.next()) {
        tables.insert(query.value(0).toString());
    }
    if (!query.exec(thorough ? QStringLiteral("PRAGMA quick_check") : QStringLiteral("SELECT 'ok'"))) {
        *problem = kindOf(query.lastError());
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
        *problem = Status::Damaged;
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
        *problem = Status::Damaged;
        return QStringLiteral("not a Lirenta library (no table %1)").arg(missing.join(QLatin1String(", ")));
    }
    return QString();
}

QString LibraryFile::moveAside(const QString& path)
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
