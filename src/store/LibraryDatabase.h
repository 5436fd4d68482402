#pragma once

#include "ContentIndex.h"
#include "ContentIndexer.h"
#include "EverythingSearch.h"
#include "LibraryFile.h"
#include "LibraryTuning.h"
#include "SearchIndexFile.h"
#include "TitleIndex.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class LibraryBackup;

// The open library: its file on the default connection, the search indexes beside it and its
// backups. One exists for the program's life (tests make their own); open() and close() mark
// the life of one library. Searches ask it, so they use the indexes only while these are in
// step with the library, and give what reading every row gives otherwise.
class LibraryDatabase : public QObject
{
    Q_OBJECT

public:
    using Status = LibraryFile::Status;
    using Outcome = LibraryFile::Outcome;

    explicit LibraryDatabase(const LibraryTuning& tuning = LibraryTuning(), QObject* parent = nullptr);
    ~LibraryDatabase() override;

    // Opens data.db in `dataDir` (ending with a separator); every page is checked unless the
    // file rests as the last clean close left it, or always with `checkEveryPage`.
    Outcome open(const QString& dataDir, bool checkEveryPage = false);
    // Leaves the library file as it is at rest, with the indexes' state recorded.
    void close();
    bool isOpen() const { return opened; }
    QString dataDir() const { return openDir; }
    bool isReadOnly() const { return opened && readOnly; }
    QString identity() const { return file.identity(); }
    bool changedSinceOpen() const { return opened && file.changedSinceOpen(); }
    const LibraryTuning& tuning() const { return settings; }

    static QString databasePath(const QString& dataDir) { return LibraryFile::pathIn(dataDir); }
    static QString searchIndexPath(const QString& dataDir) { return SearchIndexFile::pathIn(dataDir); }
    // Puts a backup in place of the closed library; its indexes go with the old file.
    static bool restore(const QString& backupPath, const QString& dataDir);

    // At most 500 iids of the books whose title or description holds `term` (as LIKE matches
    // it), only among those `subset` selects when given.
    QList<int> findBooks(const QString& term, const QString& subset = QString(),
                         const QVariant& subsetValue = QVariant());
    // At most 500 iids of items of `kind` ("Book", "WebPage") that hold `term` in any of their
    // words; see EverythingSearch.
    QList<int> findEverything(const QString& term, const QString& kind, const QString& subset = QString(),
                              const QVariant& subsetValue = QVariant());
    // At most 500 iids of items of `kind` whose files hold every word of `terms`, best first;
    // see ContentIndex. Books not indexed yet are not found.
    QList<int> findInsideBooks(const QString& terms, const QString& kind, const QString& subset = QString(),
                               const QVariant& subsetValue = QVariant());
    // The index of the words inside the books, for the pages of one book that match.
    ContentIndex& contentIndex() { return contents; }
    // Reading the books' words into that index, in the background; the program starts it.
    ContentIndexer& contentIndexer() { return indexer; }
    void startContentIndexing();
    // Whether the title index is attached and in step with the library.
    bool hasSearchIndex();
    // Whether the title index is being made in the background; searches read every row meanwhile.
    bool isBuildingSearchIndex() const { return titles.isBuilding(); }
    EverythingSearch& everythingSearch() { return everything; }

    // Backups: at start-up in the background when one is due, and at quitting.
    void takeBackupIfDue();
    void takeBackupAtQuit();
    // A read of the library failed where a sound file cannot fail (loading its records).
    void noteReadFailure(const QString& error);
    QString readFailure() const { return failedRead; }
    // Reads every page of the open library: empty when sound, otherwise what is wrong.
    QString checkEveryPage() const { return file.checkEveryPage(); }

Q_SIGNALS:
    // The day's backup found damage in its copy of the library.
    void backupFoundDamage();

private:
    void attachIndexes(const QString& fingerprintAtRest);
    bool setUpIndexes(const QString& fingerprintAtRest);
    void giveUpIndexes();
    // Before an indexed search: a write by another program makes the indexes be made again.
    bool indexesInStep();
    bool applyIndexChanges();
    void rebuildIndexes();
    void planEverythingBuild();

    LibraryTuning settings;
    LibraryFile file;
    SearchIndexFile indexFile;
    TitleIndex titles;
    EverythingSearch everything;
    ContentIndex contents{QStringLiteral("lirenta-content-search")};
    ContentIndexer indexer;
    std::unique_ptr<LibraryBackup> backups;
    QString openDir;
    QString failedRead;
    qint64 dataVersionSeen = -1;
    bool opened = false;
    bool readOnly = false;
    bool indexesSound = false; // false after any failure of the indexes: the next opening makes them again
};
