#include "LibraryBackup.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "TestEnvironment.h"

#include <fcntl.h>
#include <sys/stat.h>

class TestLibraryBackup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void restore_neverReplaysTheOldLibrarysLog();
    void cleanup();
    void take_keepsAVerifiedCopy_andOnlyTheNewestFew();
    void takeIfDue_oneADay_refreshedAfterChanges();
    void takeIfDueInBackground_copiesWhileTheLibraryIsWritten();
    void damagedLibrary_withSeveralBackups_letsTheUserChoose();
    void damagedLibrary_offersTheNewestGoodBackup();
    void backupsOfAnEarlierLibrary_outliveTheNewLibrarysPruning();
    void damageTheFingerprintDoesNotShow_isFoundAndBackupsOffered_data();
    void damageTheFingerprintDoesNotShow_isFoundAndBackupsOffered();

private:
    // Writes over the first bytes of a table's root page in the closed library, leaving its size,
    // modification time (to the nanosecond), inode and change counter as they were.
    void damageTableKeepingFingerprint(const QString& table);
    LibraryDatabase database;
    QString takeBackup() const { return LibraryBackup(dataDir()).take(); }
    QString dataDir() const { return QDir::homePath() + "/lib/"; }
    static int itemCount();
};

void TestLibraryBackup::init()
{
    LibrarySettings().clear();
    QDir(QDir::homePath()).removeRecursively();
    QDir().mkpath(dataDir());
    LibrarySettings().setValue("dataDir", dataDir());
    QVERIFY(database.open(dataDir()).isOpen());
    Prompt::clearShownTexts();
}

void TestLibraryBackup::cleanup()
{
    database.close();
}

// A write-ahead log left beside the library belongs to the old file; replayed into the
// restored backup it would write old pages over it.
void TestLibraryBackup::restore_neverReplaysTheOldLibrarysLog()
{
    const QString library = dataDir() + "data.db";
    const QString backup = takeBackup();
    for (int i = 0; i < 3; ++i) {
        QVERIFY(QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')"));
    }
    QVERIFY(QFile::copy(library + "-wal", dataDir() + "old-wal"));
    database.close();
    QVERIFY(QFile::copy(dataDir() + "old-wal", library + "-wal"));

    QVERIFY(LibraryBackup::restore(backup, dataDir()));
    QVERIFY(!QFile::exists(library + "-wal"));
    QVERIFY(database.open(dataDir()).isOpen());
    QCOMPARE(itemCount(), 0);
}

int TestLibraryBackup::itemCount()
{
    QSqlQuery query("SELECT COUNT(*) FROM items");
    return query.next() ? query.value(0).toInt() : -1;
}

void TestLibraryBackup::take_keepsAVerifiedCopy_andOnlyTheNewestFew()
{
    QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')");
    const QString backup = takeBackup();
    QVERIFY(!backup.isEmpty());
    QVERIFY(LibraryBackup::isSound(backup));
    QVERIFY(!QFile::exists(backup + ".part"));
    // One a day, of the newest days: seven earlier days and today leave today and four more.
    const QString first = LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db";
    QVERIFY(QFile::rename(backup, first));
    for (int day = 2; day <= 7; ++day) {
        QVERIFY(QFile::rename(takeBackup(), LibraryBackup::folder(dataDir()) +
                                                QString("data-202001%1-000000-000-00.db").arg(day, 2, 10, QChar('0'))));
    }
    QVERIFY(!takeBackup().isEmpty());
    QVERIFY(!takeBackup().isEmpty()); // the same day again: it stands for the day
    QCOMPARE(LibraryBackup::list(dataDir()).size(), LibraryBackup::kept);
    QVERIFY(!QFile::exists(first));
}

void TestLibraryBackup::takeIfDueInBackground_copiesWhileTheLibraryIsWritten()
{
    LibraryBackup backups(dataDir());
    backups.takeIfDueInBackground(this, [] { QFAIL("the copy of a sound library checks out"); });
    QVERIFY(QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')"));
    backups.waitForBackground();
    const QStringList taken = LibraryBackup::list(dataDir());
    QCOMPARE(taken.size(), 1);
    QVERIFY(LibraryBackup::isSound(taken.first()));
    backups.takeIfDueInBackground(this, [] {}); // not due again today
    backups.waitForBackground();
    QCOMPARE(LibraryBackup::list(dataDir()), taken);
}

void TestLibraryBackup::takeIfDue_oneADay_refreshedAfterChanges()
{
    LibraryBackup backups(dataDir());
    QVERIFY2(backups.takeAtQuit(false), "the first backup is due");
    QVERIFY2(!backups.takeAtQuit(false), "nothing changed in this session");

    // A change later the same day: quitting takes today's backup again, so it holds the change.
    QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')");
    QSqlQuery().exec("INSERT INTO books (title, iid) VALUES ('Added today', 1)");
    QVERIFY(database.changedSinceOpen());
    QVERIFY(backups.takeAtQuit(database.changedSinceOpen()));
    QCOMPARE(LibraryBackup::list(dataDir()).size(), 1);
    LibraryBackup::Contents contents;
    QVERIFY(LibraryBackup::isSound(LibraryBackup::list(dataDir()).first(), &contents));
    QCOMPARE(contents.books, 1);

    // A backup of another day stays beside today's; at start-up a day-old one with changes
    // since is followed by a new one.
    const QString old = LibraryBackup::list(dataDir()).first();
    const QString older = LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db";
    QVERIFY(QFile::rename(old, older));
    QVERIFY(backups.takeAtQuit(false));
    QCOMPARE(LibraryBackup::list(dataDir()).size(), 2);
}

void TestLibraryBackup::damagedLibrary_offersTheNewestGoodBackup()
{
    QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')");
    QSqlQuery().exec("INSERT INTO books (title, iid) VALUES ('Riverrun', 1)");
    const QString good = takeBackup();
    QVERIFY(!good.isEmpty());
    // A newer backup that opens but fails its check (its title index no longer matches the
    // table) is passed over.
    QFile broken(LibraryBackup::folder(dataDir()) + "data-29990101-000000-000-00.db");
    QVERIFY(QFile::copy(good, broken.fileName()));
    QVERIFY(broken.open(QIODevice::ReadWrite));
    QByteArray bytes = broken.readAll();
    const qsizetype at = bytes.lastIndexOf("Riverrun");
    QVERIFY(at > 0);
    broken.seek(at);
    broken.write("Rxverrun");
    broken.close();
    const qint64 booksPage =
        LibraryFixture::scalar("SELECT rootpage FROM sqlite_master WHERE name = 'books'").toLongLong();
    const qint64 pageSize = LibraryFixture::scalar("PRAGMA page_size").toLongLong();
    database.close();

    // The books' page is damaged after a clean close (the disk, another program): the file
    // still opens, and only reading every page finds it.
    QFile library(dataDir() + "data.db");
    QVERIFY(library.open(QIODevice::ReadWrite));
    library.seek((booksPage - 1) * pageSize);
    library.write(QByteArray(16, '\xff'));
    library.flush();
    QVERIFY(library.setFileTime(library.fileTime(QFileDevice::FileModificationTime).addSecs(1),
                                QFileDevice::FileModificationTime));
    library.close();

    Prompt::queueAnswer(QMessageBox::Yes);
    MainWindow window(database);
    QVERIFY(window.isStartedUp());
    QCOMPARE(Prompt::shownTexts().size(), 1);
    QVERIFY(Prompt::shownTexts().first().contains("Restore the backup taken on"));
    QVERIFY(!Prompt::shownTexts().first().contains("2999"));
    QVERIFY2(Prompt::shownTexts().first().contains("It holds 1 book and 0 web pages."),
             qPrintable(Prompt::shownTexts().first()));
    QCOMPARE(itemCount(), 1);
    QCOMPARE(QDir(dataDir()).entryList({"data.db.damaged-*"}).size(), 1);
}

void TestLibraryBackup::damagedLibrary_withSeveralBackups_letsTheUserChoose()
{
    LibrarySeeder seeder(dataDir(), QDir::homePath() + "/files/");
    seeder.addBook({.title = "Kept"});
    const QString withOne = takeBackup();
    QVERIFY(QFile::rename(withOne, LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db"));
    QSqlQuery().exec("DELETE FROM books");
    QVERIFY(!takeBackup().isEmpty()); // the newest holds no book
    database.close();
    QFile library(dataDir() + "data.db");
    QVERIFY(library.open(QIODevice::WriteOnly | QIODevice::Truncate));
    library.write(QByteArray(4096, 'x'));
    library.close();

    Prompt::queueChoice(1); // the older one, with the book
    MainWindow window(database);
    QVERIFY(window.isStartedUp());
    const QString offer = Prompt::shownTexts().first();
    QVERIFY2(offer.contains("with 0 books and 0 web pages") && offer.contains("with 1 book and 0 web pages"),
             qPrintable(offer));
    QCOMPARE(LibraryFixture::scalar("SELECT title FROM books").toString(), QString("Kept"));
}

// A damaged library is given up for a new one: the old one's backups may be the only good copy
// of it. The new library's backups are pruned among themselves, and at a later damage the old
// library's backups are still offered, marked as another library's.
void TestLibraryBackup::backupsOfAnEarlierLibrary_outliveTheNewLibrarysPruning()
{
    LibrarySeeder seeder(dataDir(), QDir::homePath() + "/files/");
    seeder.addBook({.title = "Only in the old library"});
    const QString oldBackup = takeBackup();
    QVERIFY(QFile::rename(oldBackup, LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db"));
    database.close();
    QFile damaged(dataDir() + "data.db");
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();

    Prompt::queueAnswer(QMessageBox::No);  // no restore
    Prompt::queueAnswer(QMessageBox::Yes); // a new, empty library
    {
        MainWindow window(database);
        QVERIFY(window.isStartedUp());
        seeder.addBook({.title = "In the new library"});
        // Six days of the new library's backups, then a quit after a write.
        for (int day = 2; day <= 7; ++day) {
            QVERIFY(
                QFile::rename(takeBackup(), LibraryBackup::folder(dataDir()) +
                                                QString("data-202001%1-000000-000-00.db").arg(day, 2, 10, QChar('0'))));
        }
        window.close();
    }
    QList<int> booksPerBackup;
    for (const QString& path : LibraryBackup::list(dataDir())) {
        LibraryBackup::Contents contents;
        QVERIFY(LibraryBackup::isSound(path, &contents));
        booksPerBackup << contents.books;
    }
    QCOMPARE(booksPerBackup, QList<int>({1, 1, 1, 1, 1, 1})); // five days of the new one, and the old one
    QVERIFY2(QFile::exists(LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db"),
             "the old library's only backup stays");

    database.close();
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    Prompt::clearShownTexts();
    Prompt::queueChoice(-1);
    Prompt::queueAnswer(QMessageBox::No);
    MainWindow again(database);
    QVERIFY(!again.isStartedUp());
    const QStringList offered = Prompt::shownTexts().first().split('\n');
    QCOMPARE(offered.filter("(another library)").size(), 1);
    QVERIFY(offered.filter("(another library)").first().contains("January 1, 2020") ||
            offered.filter("(another library)").first().contains("2020"));
}

void TestLibraryBackup::damageTableKeepingFingerprint(const QString& table)
{
    const qint64 rootPage =
        LibraryFixture::scalar("SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'").toLongLong();
    const qint64 pageSize = LibraryFixture::scalar("PRAGMA page_size").toLongLong();
    QVERIFY(rootPage > 1);
    database.close();
    const QByteArray path = QFile::encodeName(dataDir() + "data.db");
    struct stat before;
    QCOMPARE(::stat(path.constData(), &before), 0);
    QFile library(QString::fromLocal8Bit(path));
    QVERIFY(library.open(QIODevice::ReadWrite));
    library.seek((rootPage - 1) * pageSize);
    library.write(QByteArray(16, '\xff'));
    library.close();
    const timespec times[2] = {before.st_atim, before.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
}

void TestLibraryBackup::damageTheFingerprintDoesNotShow_isFoundAndBackupsOffered_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("stateUnreadable");
    QTest::addColumn<bool>("backupDue");
    // The books are read when the window opens: the read fails.
    QTest::newRow("books read at opening") << "books" << false << false;
    // A state that cannot be read proves nothing: every page is read at opening.
    QTest::newRow("index state unreadable") << "books" << true << false;
    // A table the opening does not read: the day's backup finds it.
    QTest::newRow("found by the day's backup") << "identifiers" << false << true;
}

void TestLibraryBackup::damageTheFingerprintDoesNotShow_isFoundAndBackupsOffered()
{
    QFETCH(QString, table);
    QFETCH(bool, stateUnreadable);
    QFETCH(bool, backupDue);
    LibrarySeeder seeder(dataDir(), QDir::homePath() + "/files/");
    seeder.addBook({.title = "Saved"});
    const QString backup = takeBackup();
    if (backupDue) {
        QVERIFY(QFile::rename(backup, LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db"));
    }
    QVERIFY(QSqlQuery().exec("INSERT INTO identifiers (id, type) VALUES ('x', 'y')"));
    database.close();
    QVERIFY(database.open(dataDir()).isOpen()); // a clean close records how the file rests
    damageTableKeepingFingerprint(table);
    if (stateUnreadable) {
        QFile index(dataDir() + "search-index.db");
        QVERIFY(index.open(QIODevice::WriteOnly | QIODevice::Truncate));
        index.write(QByteArray(8192, 'x'));
        index.close();
        QCOMPARE(database.open(dataDir()).status, LibraryDatabase::Status::Damaged);
        return;
    }

    Prompt::queueAnswer(QMessageBox::Yes); // restore the backup
    MainWindow window(database);
    QVERIFY(window.isStartedUp());
    QTRY_COMPARE(QDir(dataDir()).entryList({"data.db.damaged-*"}).size(), 1);
    QVERIFY2(Prompt::shownTexts().first().contains("Restore the backup taken on"),
             qPrintable(Prompt::shownTexts().join('\n')));
    QTRY_COMPARE(LibraryFixture::scalar("SELECT title FROM books").toString(), QString("Saved"));
    QVERIFY(window.statusBar()->currentMessage().startsWith("Restored the backup taken on"));
    QTRY_COMPARE(window.findChild<QTableWidget*>("viewTable")->rowCount(), 1); // the books tab shows it
}

LIRENTA_TEST_MAIN(TestLibraryBackup)
#include "TestLibraryBackup.moc"
