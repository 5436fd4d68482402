#pragma once

#include <QString>
#include <QStringList>

// Opens the library database "data.db" on the default connection, creates its tables in a
// new or empty file, and refuses to work on a file that is damaged or not a library.
class LibraryDatabase
{
public:
    enum class Status {
        Opened,       // an existing library
        Created,      // a new library with the full schema
        CannotOpen,   // an existing file the driver cannot open
        CannotCreate, // a new file that could not be created or given its tables
        Damaged,      // damaged or foreign: moved aside untouched (movedTo), nothing is open
        InUse,        // locked by another program (or unreadable for now): left as it is, nothing is open
    };

    struct Outcome
    {
        Status status = Status::CannotOpen;
        QString path;
        QString error;
        QString movedTo;
        bool readOnly = false; // the file may be read but not written: nothing can be saved

        bool isOpen() const { return status == Status::Opened || status == Status::Created; }
    };

    static Outcome open(const QString& dataDir);
    static void close();

    static QString databasePath(const QString& dataDir) { return dataDir + QStringLiteral("data.db"); }
    // The search index beside the library; it is rebuilt from the library whenever it is missing.
    static QString searchIndexPath(const QString& dataDir) { return dataDir + QStringLiteral("search-index.db"); }
    // Another file takes data.db's place (a backup restored, a damaged one moved aside): the
    // index of the old one goes with it.
    static void forgetSearchIndex(const QString& dataDir);
    static const QStringList& schemaStatements();
    // Whether the trigram index that book searches use is attached and in step with the library.
    static bool hasSearchIndex();
    // Whether the index is being made in the background (a large library whose index had to be
    // made again); searches read every row meanwhile.
    static bool isBuildingSearchIndex();
    // Libraries with more books than `above` get their index made in the background, `part`
    // books at a time (tests make both small).
    static void setBackgroundIndexBuild(int above, int part)
    {
        s_backgroundBuildAbove = above;
        s_buildPart = part;
    }
    // How long after opening the Everything index starts being made, when it is not.
    static void setEverythingBuildDelay(int milliseconds) { s_everythingBuildDelayMs = milliseconds; }
    // Whether the open library may only be read: every action that writes is then switched off.
    static bool isReadOnly() { return s_readOnly; }
    // Whether anything was written to the library since it was opened.
    static bool changedSinceOpen();

private:
    static void ensureOwnTables();
    static bool createSchema(QString* error);
    static void settleNewLibrary(const QString& dataDir, quint32 counterAtRest);
    static void ensureIndexes();
    static void attachSearchIndex(const QString& dataDir, quint32 counterAtRest);
    static quint32 changeCounter(const QString& path);
    static QString restingFingerprint(const QString& path);
    static bool checkedAtRest(const QString& dataDir, const QString& path, const QString& fingerprint);
    static void recordSearchIndexState(const QString& libraryPath, const QString& books);
    static bool applySearchChanges();
    static bool writeSearchChanges(qint64 lastBid);
    static void continueSearchIndexBuild(int generation);
    static void useWriteAheadLog();
    static QString checkExisting(bool* isEmpty, bool* unreadable, bool thorough);
    static QString busyTimeoutOption();
    static QString moveAside(const QString& path);

    static bool s_readOnly;
    static bool s_searchIndex;
    static qint64 s_buildCursor; // the last book indexed by a build under way; -1 when none
    static int s_buildGeneration;
    static int s_everythingBuildDelayMs;
    static int s_openings; // counts closings, so work queued for a library closed since is dropped
    static int s_backgroundBuildAbove;
    static int s_buildPart;
    static qint64 s_changesAtOpen;
    static void rememberChangesAtOpen();
    static int s_busyTimeoutMs;

public:
    // How long opening waits for a lock another program holds (tests shorten it).
    static void setBusyTimeout(int milliseconds) { s_busyTimeoutMs = milliseconds; }
};
