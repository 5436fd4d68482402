#pragma once

#include <QString>
#include <QStringList>

// The library file "data.db" on the default connection: opened (or created with its tables),
// checked, switched to a write-ahead log while open and back to the rollback journal at rest.
// A file that is damaged or not a library is never written to: it is moved aside.
class LibraryFile
{
public:
    enum class Status {
        Opened,       // an existing library
        Created,      // a new library with the full schema
        CannotOpen,   // an existing file the driver cannot open
        CannotCreate, // a new file that could not be created or given its tables
        CannotRead,   // the disk did not give the file's pages (an I/O error): left as it is
        Damaged,      // damaged or foreign: moved aside untouched (movedTo), nothing is open
        InUse,        // locked by another program: left as it is, nothing is open
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

    static QString pathIn(const QString& dataDir) { return dataDir + QStringLiteral("data.db"); }
    static const QStringList& schemaStatements();
    // SQLite's file change counter, raised by every change made in rollback-journal mode.
    static quint32 changeCounter(const QString& path);
    // How the file rests: size, modification time to the nanosecond, inode and change counter.
    static QString restingFingerprint(const QString& path);
    // Whether the default connection was opened only to read.
    static bool isOpenReadOnly();
    // Keeps a damaged file under a new name next to the old one, with its side files; returns
    // that name, or empty on failure.
    static QString moveAside(const QString& path);

    // Opens the library in `dataDir` on the default connection. `checkEveryPage` reads every
    // page; otherwise only the schema is read.
    Outcome open(const QString& dataDir, int busyTimeoutMs, bool checkEveryPage);
    // Back to the rollback journal: the file at rest is as every reader expects it, without
    // side files. The connection stays open.
    void returnToRollbackJournal();
    // Closes the default connection and removes it.
    void close();

    // The random identity the library carries in its own table (and so do its copies); empty
    // for a library opened read-only that never had one.
    QString identity() const { return libraryId; }
    // Whether anything was written on this connection since opening.
    bool changedSinceOpen() const;
    // SQLite's count of commits made to the file by other connections, see PRAGMA data_version.
    qint64 dataVersion() const;
    // Reads every page: empty when sound, otherwise what is wrong.
    QString checkEveryPage() const;

private:
    void ensureIndexes();
    void ensureOwnTables();
    void readIdentity();
    bool createSchema(QString* error);
    void useWriteAheadLog();
    void settle();
    static QString checkExisting(bool* isEmpty, Status* notContent, bool thorough);

    QString libraryId;
    qint64 changesAtOpen = 0;
    bool readOnly = false;
};
