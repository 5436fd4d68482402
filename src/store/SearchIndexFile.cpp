#include "SearchIndexFile.h"

#include "Logging.h"
#include "OwnConnection.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <sys/stat.h>

namespace {
quint64 inodeOf(const QString& path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}

QHash<QString, QString> readState(const QSqlDatabase& db, const QString& table)
{
    QHash<QString, QString> state;
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("SELECT key, value FROM %1").arg(table))) {
        while (query.next()) {
            state.insert(query.value(0).toString(), query.value(1).toString());
        }
    }
    return state;
}
} // namespace

void SearchIndexFile::remove(const QString& dataDir)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(pathIn(dataDir) + QLatin1String(suffix));
    }
}

// Reading every page again would find nothing new when the library rests exactly as Lirenta
// left it at its last clean close, when it had been checked at opening and written only by
// SQLite since. Any sign of a crash or of another writer (side files, another fingerprint, a
// state that cannot be read or was not closed cleanly) means a full check.
bool SearchIndexFile::restsAsLeft(const QString& dataDir, const QString& fingerprint)
{
    const QString library = dataDir + QStringLiteral("data.db");
    if (fingerprint.isEmpty() || QFileInfo::exists(library + QLatin1String("-wal")) ||
        QFileInfo::exists(library + QLatin1String("-journal")) || !QFileInfo::exists(pathIn(dataDir))) {
        return false;
    }
    const OwnConnection index(QStringLiteral("resting-state"), pathIn(dataDir),
                              QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!index.isOpen()) {
        return false;
    }
    const QHash<QString, QString> state = readState(index.database(), QStringLiteral("state"));
    return state.value(QStringLiteral("clean")) == QLatin1String("1") &&
           state.value(QStringLiteral("fingerprint")) == fingerprint;
}

bool SearchIndexFile::attach(const QString& dataDir)
{
    path = pathIn(dataDir);
    QSqlQuery query;
    query.prepare(QStringLiteral("ATTACH DATABASE :path AS lirenta_search"));
    query.bindValue(QStringLiteral(":path"), path);
    if (!query.exec()) {
        qCWarning(lcStore) << "No search index:" << query.lastError().text();
        return false;
    }
    attached = true;
    for (const char* statement : {
             "PRAGMA temp_store=MEMORY", // the changes the indexes take in are noted there
             "PRAGMA lirenta_search.journal_mode=WAL",
             // A cache that is rebuilt after any crash needs no sync of its own: each saved book
             // then costs one sync, the library's.
             "PRAGMA lirenta_search.synchronous=OFF",
             "CREATE TABLE IF NOT EXISTS lirenta_search.state (key TEXT PRIMARY KEY, value TEXT)",
         }) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCWarning(lcStore) << "No search index:" << query.lastError().text();
            detach();
            remove(QFileInfo(path).path() + QLatin1Char('/')); // the next opening starts it afresh
            return false;
        }
    }
    inode = inodeOf(path);
    return true;
}

void SearchIndexFile::detach()
{
    if (!attached) {
        return;
    }
    QSqlQuery query;
    query.exec(QStringLiteral("PRAGMA lirenta_search.journal_mode=DELETE"));
    query.exec(QStringLiteral("DETACH DATABASE lirenta_search"));
    attached = false;
}

bool SearchIndexFile::trusts(const QString& identity, const QString& fingerprint) const
{
    const QHash<QString, QString> state = readState(QSqlDatabase::database(), QStringLiteral("lirenta_search.state"));
    return !identity.isEmpty() && !fingerprint.isEmpty() &&
           state.value(QStringLiteral("clean")) == QLatin1String("1") &&
           state.value(QStringLiteral("library")) == identity &&
           state.value(QStringLiteral("fingerprint")) == fingerprint;
}

const char* SearchIndexFile::inUseStatement()
{
    return "INSERT OR REPLACE INTO lirenta_search.state (key, value) VALUES ('clean', '0')";
}

void SearchIndexFile::recordCleanClose(const QString& identity, const QString& fingerprint) const
{
    if (identity.isEmpty() || fingerprint.isEmpty() || inode == 0 || inodeOf(path) != inode) {
        qCDebug(lcStore) << "search index state not kept: the file is not the one attached";
        return;
    }
    const OwnConnection index(QStringLiteral("search-state"), path);
    if (!index.isOpen()) {
        return;
    }
    QSqlQuery query(index.database());
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO state (key, value) VALUES ('library', :library), "
                                 "('fingerprint', :fingerprint), ('clean', '1')"));
    query.bindValue(QStringLiteral(":library"), identity);
    query.bindValue(QStringLiteral(":fingerprint"), fingerprint);
    if (!query.exec()) {
        qCDebug(lcStore) << "search index state not kept:" << query.lastError().text();
    }
}
