#include "LibraryBackup.h"

#include "LibraryFile.h"
#include "Logging.h"
#include "OwnConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtConcurrent>

#include <sqlite3.h>

namespace {
const char prefix[] = "data-";
const char stampFormat[] = "yyyyMMdd-HHmmss-zzz";

QDateTime takenAt(const QString& path)
{
    const QString stamp = QFileInfo(path).completeBaseName().mid(int(qstrlen(prefix)));
    QDateTime when = QDateTime::fromString(stamp.left(19), QString::fromLatin1(stampFormat));
    when.setTimeSpec(Qt::UTC);
    return when;
}

// Whether a failed copy says the library's own pages are damaged (not a full disk or a lock).
bool tellsOfDamage(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == SQLITE_CORRUPT || code == SQLITE_NOTADB);
}
} // namespace

LibraryBackup::~LibraryBackup()
{
    waitForBackground();
}

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
                if (query.exec("SELECT value FROM lirenta_library WHERE key = 'id'") && query.next()) {
                    contents->library = query.value(0).toString();
                }
            }
        }
    }
    return sound;
}

QString LibraryBackup::identityOf(const QString& databasePath)
{
    QString identity;
    {
        const OwnConnection connection(QStringLiteral("identity"), databasePath,
                                       QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery query(connection.database());
        if (connection.isOpen() && query.exec("SELECT value FROM lirenta_library WHERE key = 'id'") && query.next()) {
            identity = query.value(0).toString();
        }
    }
    return identity;
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

QString LibraryBackup::take() const
{
    QString taken;
    takeChecked(QSqlDatabase::database(), &taken);
    return taken;
}

LibraryBackup::Result LibraryBackup::takeChecked(const QSqlDatabase& library, QString* taken) const
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
        return tellsOfDamage(query.lastError()) ? Result::FoundDamage : Result::Failed;
    }
    // Only a copy that checks out is kept; one that does not tells of damage in the library.
    if (!isSound(partial)) {
        qCWarning(lcStore) << "backup failed its check: the library may be damaged";
        QFile::remove(partial);
        return Result::FoundDamage;
    }
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return Result::Failed;
    }
    *taken = target;
    prune(target);
    return Result::Taken;
}

// Per library, one backup a day stands for the day (the newest, so it is never older than the
// last change), and the newest days are kept. The newest backup of every library stays.
void LibraryBackup::prune(const QString& taken) const
{
    QHash<QString, QSet<QDate>> daysKept;
    for (const QString& path : list(dataDir)) {
        const QString library = identityOf(path);
        const QDate day = takenAt(path).toLocalTime().date();
        QSet<QDate>& days = daysKept[library];
        if (path != taken && (days.contains(day) || days.size() >= kept)) {
            QFile::remove(path);
        } else {
            days.insert(day);
        }
    }
}

// At start-up: a first backup, or a new one when the library changed since a backup more than
// a day old (a session that ended in a crash took none at its end).
bool LibraryBackup::isDue() const
{
    const QString library = LibraryFile::pathIn(dataDir);
    const QString identity = identityOf(library);
    QDateTime last;
    for (const QString& path : list(dataDir)) {
        if (identityOf(path) == identity) {
            last = takenAt(path);
            break;
        }
    }
    if (!last.isValid()) {
        return true;
    }
    const QFileInfo file(library);
    // Changes may still be in the write-ahead log beside the file.
    const QFileInfo log(library + QStringLiteral("-wal"));
    const bool changed =
        file.lastModified().toUTC() > last || (log.exists() && log.size() > 0 && log.lastModified().toUTC() > last);
    return changed && last.secsTo(QDateTime::currentDateTimeUtc()) >= 24 * 3600;
}

void LibraryBackup::takeIfDueInBackground(QObject* context, const std::function<void()>& onDamage)
{
    waitForBackground();
    if (!isDue()) {
        return;
    }
    const QString path = QSqlDatabase::database().databaseName();
    backgroundBackup = QtConcurrent::run([this, path] {
        const OwnConnection connection(QStringLiteral("backup"), path,
                                       QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000"));
        QString taken;
        return connection.isOpen() ? takeChecked(connection.database(), &taken) : Result::Failed;
    });
    // A watcher rather than QFuture::then: in Qt 6.4 a continuation attached while the work
    // ends can deadlock.
    watcher = std::make_unique<QFutureWatcher<Result>>();
    QObject::connect(watcher.get(), &QFutureWatcher<Result>::finished, context, [this, onDamage] {
        if (watcher->result() == Result::FoundDamage) {
            onDamage();
        }
    });
    watcher->setFuture(backgroundBackup);
}

void LibraryBackup::waitForBackground()
{
    backgroundBackup.waitForFinished();
}

bool LibraryBackup::takeAtQuit(bool changedThisSession)
{
    waitForBackground();
    // This session's changes are in the next backup; today's earlier one gives way to it.
    return (changedThisSession || isDue()) && !take().isEmpty();
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

bool LibraryBackup::restore(const QString& backupPath, const QString& dataDir)
{
    const QString target = LibraryFile::pathIn(dataDir);
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
    return QFile::rename(partial, target);
}
