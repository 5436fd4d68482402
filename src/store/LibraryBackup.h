#pragma once

#include <QDateTime>
#include <QFuture>
#include <QFutureWatcher>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QObject;
class QSqlDatabase;

// Verified copies of data.db in the data directory's "backups" folder. Each copy carries the
// identity of the library it was taken from; per library one is kept a day (refreshed when a
// session changed it), for the newest few days. A library that is no longer the current one
// keeps its backups: they may be the only good copy of it.
class LibraryBackup
{
public:
    static constexpr int kept = 5;

    explicit LibraryBackup(const QString& dataDir) : dataDir(dataDir) {}
    ~LibraryBackup();
    LibraryBackup(const LibraryBackup&) = delete;
    LibraryBackup& operator=(const LibraryBackup&) = delete;

    // At start-up: takes a backup of the open library in a second thread, on a connection of
    // its own, when one is due (copying a large library takes seconds). When the copy shows
    // damage, `onDamage` runs in `context`'s thread.
    void takeIfDueInBackground(QObject* context, const std::function<void()>& onDamage);
    // Waits for a backup being taken in the background.
    void waitForBackground();
    // On quitting: a session that changed the library leaves a backup of it (replacing one taken
    // earlier the same day); otherwise as at start-up.
    bool takeAtQuit(bool changedThisSession);
    // Takes one now (checked with integrity_check before it is kept). Empty on failure.
    QString take() const;

    static QString folder(const QString& dataDir) { return dataDir + QStringLiteral("backups/"); }
    // Backups, newest first.
    static QStringList list(const QString& dataDir);

    // What a backup holds, for the user choosing one.
    struct Contents
    {
        QString path;
        QDateTime takenAt;
        QString library; // the identity of the library it copies; empty for older backups
        int books = 0;
        int webPages = 0;
    };
    // Every backup that passes its check, newest first.
    static QList<Contents> goodBackups(const QString& dataDir);
    // Puts a backup in place of data.db (which must not be open).
    static bool restore(const QString& backupPath, const QString& dataDir);
    static bool isSound(const QString& databasePath, Contents* contents = nullptr);
    // The identity a library file or backup carries, read without checking it.
    static QString identityOf(const QString& databasePath);

private:
    enum class Result { Taken, Failed, FoundDamage };
    bool isDue() const;
    Result takeChecked(const QSqlDatabase& library, QString* taken) const;
    void prune(const QString& taken) const;

    QString dataDir;
    QFuture<Result> backgroundBackup;
    std::unique_ptr<QFutureWatcher<Result>> watcher;
};
