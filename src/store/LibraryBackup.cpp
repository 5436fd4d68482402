#include "LibraryBackup.h"

#include "LibraryDatabase.h"
#include "Logging.h"
#include "OwnConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <future>

namespace {
const char prefix[] = "data-";
const char stampFormat[] = "yyyyMMdd-HHmmss-zzz";

std::future<bool> backgroundBackup;

QDateTime takenAt(const QString& path)
{
    const QString stamp = QFileInfo(path).completeBaseName().mid(int(qstrlen(prefix)));
    QDateTime when = QDateTime::fromString(stamp.left(19), QString::fromLatin1(stampFormat));
    when.setTimeSpec(Qt::UTC);
    return when;
}
} // namespace

bool LibraryBackup::isSound(const QString& databasePath, Contents* contents)
{
    bool sound = false;
    {
        const OwnConnection connection(QStringLiteral("check"), databasePath, QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlDatabase db = connection.database();
        if (db.isOpen()) {
            QSqlQuery query(db);
            sound = query.exec("PRAGMA integrity_check") && query.next() && query.value(0).toString() == "ok" &&
                    query.exec("SELECT COUNT(*) FROM items") && query.next();
            if (sound && contents) {
                contents->path = databasePath;
                contents->takenAt = takenAt(databasePath);
                if (query.exec("SELECT (SELECT COUNT(*) FROM books), (SELECT COUNT(*) FROM webpages)") &&
                    query.next()) {
                    contents->books = query.value(0).toInt();
                    contents->webPages = query.value(1).toInt();
                }
            }
        }
    }
    return sound;
}

QStringList LibraryBackup::list(const QString& dataDir)
{
    QStringList paths;
    const QDir dir(folder(dataDir));
    // Names carry the time, so name order is time order.
    for (const QString& name :
         dir.entryList({QString::fromLatin1(prefix) + "*.db"}, QDir::Files, QDir::Name | QDir::Reversed)) {
        paths << dir.absoluteFilePath(name);
    }
    return paths;
}

QString LibraryBackup::take(const QString& dataDir)
{
    return take(dataDir, QSqlDatabase::database());
}

QString LibraryBackup::take(const QString& dataDir, const QSqlDatabase& library)
{
    QDir().mkpath(folder(dataDir));
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QString::fromLatin1(stampFormat));
    // Names sort by time: stamp to the millisecond, then a counter for the same millisecond.
    QString target;
    for (int n = 0; target.isEmpty() || QFile::exists(target); ++n) {
        target = folder(dataDir) + prefix + stamp + QString("-%1.db").arg(n, 2, 10, QLatin1Char('0'));
    }
    const QString partial = target + ".part";
    QFile::remove(partial);
    QSqlQuery query(library);
    query.prepare("VACUUM INTO :target");
    query.bindValue(":target", partial);
    if (!query.exec()) {
        qCWarning(lcStore) << "backup failed:" << query.lastError().text();
        QFile::remove(partial);
        return QString();
    }
    // Only a copy that checks out is kept.
    if (!isSound(partial) || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        return QString();
    }
    const QStringList all = list(dataDir);
    for (int i = kept; i < all.size(); ++i) {
        QFile::remove(all.at(i));
    }
    return target;
}

// At start-up: a first backup, or a new one when the library changed since a backup more than
// a day old (a session that ended in a crash took none at its end).
bool LibraryBackup::isDue(const QString& dataDir)
{
    const QStringList all = list(dataDir);
    if (all.isEmpty()) {
        return true;
    }
    const QDateTime last = takenAt(all.first());
    return changedSince(dataDir, last) && last.secsTo(QDateTime::currentDateTimeUtc()) >= 24 * 3600;
}

bool LibraryBackup::takeIfDue(const QString& dataDir)
{
    waitForBackground();
    return isDue(dataDir) && takeKeepingOneADay(dataDir, QSqlDatabase::database());
}

void LibraryBackup::takeIfDueInBackground(const QString& dataDir)
{
    waitForBackground();
    if (!isDue(dataDir)) {
        return;
    }
    const QString path = QSqlDatabase::database().databaseName();
    backgroundBackup = std::async(std::launch::async, [dataDir, path] {
        const OwnConnection connection(QStringLiteral("backup"), path,
                                       QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000"));
        return connection.isOpen() && takeKeepingOneADay(dataDir, connection.database());
    });
}

void LibraryBackup::waitForBackground()
{
    if (backgroundBackup.valid()) {
        backgroundBackup.get();
    }
}

bool LibraryBackup::takeAtQuit(const QString& dataDir)
{
    waitForBackground();
    // This session's changes are in the next backup; today's earlier one gives way to it.
    if (LibraryDatabase::changedSinceOpen()) {
        return takeKeepingOneADay(dataDir, QSqlDatabase::database());
    }
    return takeIfDue(dataDir);
}

bool LibraryBackup::takeKeepingOneADay(const QString& dataDir, const QSqlDatabase& library)
{
    const QString taken = take(dataDir, library);
    if (taken.isEmpty()) {
        return false;
    }
    // One a day: the newest of the day stands for it, so it is never older than the last change.
    const QDate today = takenAt(taken).toLocalTime().date();
    for (const QString& path : list(dataDir)) {
        if (path != taken && takenAt(path).toLocalTime().date() == today) {
            QFile::remove(path);
        }
    }
    return true;
}

bool LibraryBackup::changedSince(const QString& dataDir, const QDateTime& when)
{
    const QFileInfo library(LibraryDatabase::databasePath(dataDir));
    if (library.lastModified().toUTC() > when) {
        return true;
    }
    // Changes may still be in the write-ahead log beside the file.
    const QFileInfo log(library.filePath() + QStringLiteral("-wal"));
    return log.exists() && log.size() > 0 && log.lastModified().toUTC() > when;
}

QList<LibraryBackup::Contents> LibraryBackup::goodBackups(const QString& dataDir)
{
    QList<Contents> good;
    for (const QString& path : list(dataDir)) {
        Contents contents;
        if (isSound(path, &contents)) {
            good << contents;
        }
    }
    return good;
}

QString LibraryBackup::newestGood(const QString& dataDir, QDateTime* when)
{
    for (const QString& path : list(dataDir)) {
        if (isSound(path)) {
            if (when) {
                *when = takenAt(path);
            }
            return path;
        }
    }
    return QString();
}

bool LibraryBackup::restore(const QString& backupPath, const QString& dataDir)
{
    waitForBackground();
    const QString target = LibraryDatabase::databasePath(dataDir);
    const QString partial = target + ".restoring";
    QFile::remove(partial);
    if (!QFile::copy(backupPath, partial)) {
        return false;
    }
    QFile::remove(target);
    // A log or journal left beside the old file belongs to it; SQLite would replay it into the backup.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        QFile::remove(target + QLatin1String(suffix));
    }
    LibraryDatabase::forgetSearchIndex(dataDir);
    return QFile::rename(partial, target);
}
