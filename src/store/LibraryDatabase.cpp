#include "LibraryDatabase.h"

#include "LibraryBackup.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "SqlTransaction.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <limits>

#ifdef __GLIBC__
#include <malloc.h>
#endif

LibraryDatabase::LibraryDatabase(const LibraryTuning& tuning, QObject* parent)
    : QObject(parent), settings(tuning), titles(settings), everything(settings)
{
}

LibraryDatabase::~LibraryDatabase()
{
    close();
}

LibraryDatabase::Outcome LibraryDatabase::open(const QString& dataDir, bool checkEveryPage)
{
    close();
    const QString path = LibraryFile::pathIn(dataDir);
    // Read before anything is written: tells whether the file rests as Lirenta left it.
    const QString fingerprint = LibraryFile::restingFingerprint(path);
    const bool thorough = checkEveryPage || !SearchIndexFile::restsAsLeft(dataDir, fingerprint);
    Outcome outcome = file.open(dataDir, settings.busyTimeoutMs, thorough);
    if (outcome.status == Status::Damaged) {
        SearchIndexFile::remove(dataDir); // it belongs to the file moved aside
    }
    if (!outcome.isOpen()) {
        return outcome;
    }
    opened = true;
    openDir = dataDir;
    readOnly = outcome.readOnly;
    failedRead.clear();
    if (!readOnly) {
        attachIndexes(outcome.status == Status::Created ? QString() : fingerprint);
        backups = std::make_unique<LibraryBackup>(dataDir);
        LibrarySettings().setLibraryIdentity(file.identity());
    }
    dataVersionSeen = file.dataVersion();
    // Searching inside books needs no writing; a read-only library still has what was indexed.
    contents.open(ContentIndex::pathIn(dataDir), file.identity());
    return outcome;
}

// The indexes are trusted only when they were made from this library (its identity) as its file
// rests now (its fingerprint), and closed cleanly since; otherwise they are made again, in the
// background for a large library.
void LibraryDatabase::attachIndexes(const QString& fingerprintAtRest)
{
    // A file that cannot be used (damaged, left by another program) is made anew, once.
    if (!setUpIndexes(fingerprintAtRest)) {
        setUpIndexes(QString());
    }
}

bool LibraryDatabase::setUpIndexes(const QString& fingerprintAtRest)
{
    indexesSound = false;
    if (!indexFile.attach(openDir)) {
        return false;
    }
    const bool trusted = indexFile.trusts(file.identity(), fingerprintAtRest);
    QSqlQuery count(QStringLiteral("SELECT COUNT(*) FROM main.books"));
    const qint64 books = count.next() ? count.value(0).toLongLong() : 0;
    count.finish();
    if (!everything.setUp()) {
        giveUpIndexes();
        return false;
    }
    SqlTransaction transaction;
    bool fillLater = false;
    if (!transaction.isActive() || (!trusted && !everything.forget()) || !titles.setUp(trusted, books, &fillLater) ||
        !QSqlQuery().exec(QString::fromLatin1(SearchIndexFile::inUseStatement())) || !transaction.commit()) {
        transaction.rollback();
        giveUpIndexes();
        return false;
    }
    indexesSound = true;
    if (!everything.isBuilt()) {
        planEverythingBuild();
    }
    if (fillLater) {
        titles.fillInBackground();
    } else {
        titles.setReady(true);
    }
    return true;
}

void LibraryDatabase::planEverythingBuild()
{
    everything.buildLater(LibraryFile::pathIn(openDir), SearchIndexFile::pathIn(openDir),
                          QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(settings.busyTimeoutMs));
}

// Without the index file searches read every row: nothing is lost. The next opening starts it afresh.
void LibraryDatabase::giveUpIndexes()
{
    qCWarning(lcStore) << "the search indexes are set aside";
    indexesSound = false;
    titles.setAside();
    everything.stop();
    if (indexFile.isAttached()) {
        indexFile.detach();
        SearchIndexFile::remove(openDir);
    }
}

void LibraryDatabase::close()
{
    if (!opened) {
        return;
    }
    // Their connections would keep the library from leaving write-ahead mode.
    indexer.stop();
    contents.close();
    everything.stop();
    titles.stop();
    backups.reset();
    file.returnToRollbackJournal();
    // The indexes rest in step with the library only when nothing failed and no other program
    // wrote the file meanwhile.
    const bool inStep = indexFile.isAttached() && indexesSound && titles.isReady() &&
                        file.dataVersion() == dataVersionSeen && applyIndexChanges();
    const QString identity = file.identity();
    indexFile.detach();
    file.close();
    if (inStep) {
        indexFile.recordCleanClose(identity, LibraryFile::restingFingerprint(LibraryFile::pathIn(openDir)));
    }
    opened = false;
    indexesSound = false;
    titles.setReady(false);
#ifdef __GLIBC__
    // A library's records were partly made by the threads that read them; the memory they free
    // stays with those threads' heaps, unused by the next library, unless handed back.
    malloc_trim(0);
#endif
}

bool LibraryDatabase::restore(const QString& backupPath, const QString& dataDir)
{
    SearchIndexFile::remove(dataDir);
    return LibraryBackup::restore(backupPath, dataDir);
}

bool LibraryDatabase::indexesInStep()
{
    if (!opened || !indexFile.isAttached() || !indexesSound) {
        return false;
    }
    const qint64 version = file.dataVersion();
    if (version != dataVersionSeen) {
        qCInfo(lcStore) << "another program wrote the library: its search indexes are made again";
        dataVersionSeen = version;
        rebuildIndexes();
    }
    return indexesSound && applyIndexChanges();
}

void LibraryDatabase::rebuildIndexes()
{
    everything.stop();
    if (SqlTransaction::anyOpen() || !everything.forget() || !titles.rebuild()) {
        giveUpIndexes();
        return;
    }
    planEverythingBuild();
}

// Brings the indexes up to the changes noted since the last time, in one transaction of their
// own: a transaction across both files is not atomic in WAL mode, and a full disk could then
// fail the index's half after the library's half was committed.
bool LibraryDatabase::applyIndexChanges()
{
    if (!titles.isReady() || SqlTransaction::anyOpen()) {
        return false;
    }
    if (!titles.hasPendingChanges() && !everything.hasPendingChanges()) {
        return true;
    }
    SqlTransaction transaction(SqlTransaction::Lock::Immediate);
    if (!transaction.isActive() || !titles.writeChanges(std::numeric_limits<qint64>::max()) ||
        !everything.applyChanges() || !transaction.commit()) {
        transaction.rollback();
        giveUpIndexes();
        return false;
    }
    return true;
}

bool LibraryDatabase::hasSearchIndex()
{
    return indexesInStep() && titles.isReady();
}

QList<int> LibraryDatabase::findBooks(const QString& term, const QString& subset, const QVariant& subsetValue)
{
    if (hasSearchIndex()) {
        if (const std::optional<QList<int>> found = titles.find(term, subset, subsetValue)) {
            return *found;
        }
        if (TitleIndex::indexCanFind(TitleIndex::longestLiteral(term))) {
            giveUpIndexes(); // it did not answer: damaged or gone
        }
    }
    return TitleIndex::scan(term, subset, subsetValue);
}

QList<int> LibraryDatabase::findEverything(const QString& term, const QString& kind, const QString& subset,
                                           const QVariant& subsetValue)
{
    if (indexesInStep()) {
        if (const std::optional<QList<int>> found = everything.find(term, kind, subset, subsetValue)) {
            return *found;
        }
        giveUpIndexes();
    }
    return EverythingSearch::scan(term, kind, subset, subsetValue);
}

QList<int> LibraryDatabase::findInsideBooks(const QString& terms, const QString& kind, const QString& subset,
                                            const QVariant& subsetValue)
{
    if (ContentIndex::matchExpression(terms).isEmpty()) {
        return {};
    }
    // Of the kind shown, and of the author, tag or series the tab keeps to.
    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT iid FROM items WHERE type = :kind") +
                  (subset.isEmpty() ? QString() : QStringLiteral(" AND iid IN (%1)").arg(subset)));
    query.bindValue(QStringLiteral(":kind"), kind);
    if (!subset.isEmpty()) {
        query.bindValue(QStringLiteral(":subset"), subsetValue);
    }
    QSet<int> allowed;
    if (query.exec()) {
        while (query.next()) {
            allowed.insert(query.value(0).toInt());
        }
    }
    return contents.find(terms, 500, [&allowed](int iid) { return allowed.contains(iid); });
}

void LibraryDatabase::startContentIndexing()
{
    if (opened && !readOnly) {
        indexer.start(LibraryFile::pathIn(openDir), ContentIndex::pathIn(openDir), file.identity());
    }
}

void LibraryDatabase::takeBackupIfDue()
{
    if (backups) {
        // Told once the backup's own bookkeeping is done: the receiver may close the library.
        backups->takeIfDueInBackground(this, [this] {
            QMetaObject::invokeMethod(this, &LibraryDatabase::backupFoundDamage, Qt::QueuedConnection);
        });
    }
}

void LibraryDatabase::takeBackupAtQuit()
{
    if (backups) {
        backups->takeAtQuit(file.changedSinceOpen());
    }
}

void LibraryDatabase::noteReadFailure(const QString& error)
{
    qCWarning(lcStore) << "the library could not be read:" << error;
    if (failedRead.isEmpty()) {
        failedRead = error;
    }
}
