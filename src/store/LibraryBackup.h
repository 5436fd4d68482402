#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// Verified copies of data.db in the data directory's "backups" folder: one a day, refreshed when
// a session changed the library, the newest few kept.
class LibraryBackup
{
public:
    static constexpr int kept = 5;

    static QString folder(const QString& dataDir) { return dataDir + QStringLiteral("backups/"); }
    // At start-up: takes a backup of the open library when one is due. True when one was taken.
    static bool takeIfDue(const QString& dataDir);
    // The same, with the copy made in a second thread on a connection of its own: copying a
    // large library takes seconds, and the window need not wait for them.
    static void takeIfDueInBackground(const QString& dataDir);
    // Waits for a backup being taken in the background, before another is taken, a backup is
    // restored or the library is closed.
    static void waitForBackground();
    // On quitting: a session that changed the library leaves a backup of it (replacing one taken
    // earlier the same day); otherwise as at start-up.
    static bool takeAtQuit(const QString& dataDir);
    // Takes one now (checked with integrity_check before it is kept). Empty on failure.
    static QString take(const QString& dataDir);
    static QString take(const QString& dataDir, const QSqlDatabase& library);
    // Backups, newest first.
    static QStringList list(const QString& dataDir);
    // The newest backup that passes an integrity check, and when it was taken.
    static QString newestGood(const QString& dataDir, QDateTime* takenAt);

    // What a backup holds, for the user choosing one.
    struct Contents
    {
        QString path;
        QDateTime takenAt;
        int books = 0;
        int webPages = 0;
    };
    // Every backup that passes its check, newest first.
    static QList<Contents> goodBackups(const QString& dataDir);
    // Puts a backup in place of data.db (which must not be open).
    static bool restore(const QString& backupPath, const QString& dataDir);
    static bool isSound(const QString& databasePath, Contents* contents = nullptr);

private:
    static bool changedSince(const QString& dataDir, const QDateTime& when);
    static bool isDue(const QString& dataDir);
    static bool takeKeepingOneADay(const QString& dataDir, const QSqlDatabase& library);
};
