#include "LibraryBackup.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "TestEnvironment.h"

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

private:
    QString dataDir() const { return QDir::homePath() + "/lib/"; }
    static int itemCount();
};

void TestLibraryBackup::init()
{
    LibrarySettings().clear();
    QDir(QDir::homePath()).removeRecursively();
    QDir().mkpath(dataDir());
    LibrarySettings().setValue("dataDir", dataDir());
    QVERIFY(LibraryDatabase::open(dataDir()).isOpen());
    Prompt::clearShownTexts();
}

void TestLibraryBackup::cleanup()
{
    LibraryDatabase::close();
}

// A write-ahead log left beside the library belongs to the old file; replayed into the
// restored backup it would write old pages over it.
void TestLibraryBackup::restore_neverReplaysTheOldLibrarysLog()
{
    const QString library = dataDir() + "data.db";
    const QString backup = LibraryBackup::take(dataDir());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')"));
    }
    QVERIFY(QFile::copy(library + "-wal", dataDir() + "old-wal"));
    LibraryDatabase::close();
    QVERIFY(QFile::copy(dataDir() + "old-wal", library + "-wal"));

    QVERIFY(LibraryBackup::restore(backup, dataDir()));
    QVERIFY(!QFile::exists(library + "-wal"));
    QVERIFY(LibraryDatabase::open(dataDir()).isOpen());
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
    const QString backup = LibraryBackup::take(dataDir());
    QVERIFY(!backup.isEmpty());
    QVERIFY(LibraryBackup::isSound(backup));
    QVERIFY(!QFile::exists(backup + ".part"));
    for (int i = 0; i < 7; ++i) {
        QVERIFY(!LibraryBackup::take(dataDir()).isEmpty());
    }
    QCOMPARE(LibraryBackup::list(dataDir()).size(), LibraryBackup::kept);
    QVERIFY(!QFile::exists(backup));
}

void TestLibraryBackup::takeIfDueInBackground_copiesWhileTheLibraryIsWritten()
{
    LibraryBackup::takeIfDueInBackground(dataDir());
    QVERIFY(QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')"));
    LibraryBackup::waitForBackground();
    const QStringList taken = LibraryBackup::list(dataDir());
    QCOMPARE(taken.size(), 1);
    QVERIFY(LibraryBackup::isSound(taken.first()));
    LibraryBackup::takeIfDueInBackground(dataDir()); // not due again today
    LibraryBackup::waitForBackground();
    QCOMPARE(LibraryBackup::list(dataDir()), taken);
}

void TestLibraryBackup::takeIfDue_oneADay_refreshedAfterChanges()
{
    QVERIFY(LibraryBackup::takeIfDue(dataDir()));
    QVERIFY2(!LibraryBackup::takeIfDue(dataDir()), "one a day at start-up");
    QVERIFY2(!LibraryBackup::takeAtQuit(dataDir()), "nothing changed in this session");

    // A change later the same day: quitting takes today's backup again, so it holds the change.
    QTest::qWait(20); // backup names count milliseconds
    QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')");
    QSqlQuery().exec("INSERT INTO books (title, iid) VALUES ('Added today', 1)");
    QVERIFY(LibraryBackup::takeAtQuit(dataDir()));
    QCOMPARE(LibraryBackup::list(dataDir()).size(), 1);
    LibraryBackup::Contents contents;
    QVERIFY(LibraryBackup::isSound(LibraryBackup::list(dataDir()).first(), &contents));
    QCOMPARE(contents.books, 1);

    // A backup of another day stays beside today's; at start-up a day-old one with changes
    // since is followed by a new one.
    const QString old = LibraryBackup::list(dataDir()).first();
    const QString older = LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db";
    QVERIFY(QFile::rename(old, older));
    QVERIFY(LibraryBackup::takeIfDue(dataDir()));
    QCOMPARE(LibraryBackup::list(dataDir()).size(), 2);
}

void TestLibraryBackup::damagedLibrary_offersTheNewestGoodBackup()
{
    QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')");
    QSqlQuery().exec("INSERT INTO books (title, iid) VALUES ('Riverrun', 1)");
    const QString good = LibraryBackup::take(dataDir());
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
    LibraryDatabase::close();

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
    MainWindow window;
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
    seeder.addBook({"Kept", {}, "", {}, QColor(), 0, "", "", ""});
    const QString withOne = LibraryBackup::take(dataDir());
    QVERIFY(QFile::rename(withOne, LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db"));
    QSqlQuery().exec("DELETE FROM books");
    QVERIFY(!LibraryBackup::take(dataDir()).isEmpty()); // the newest holds no book
    LibraryDatabase::close();
    QFile library(dataDir() + "data.db");
    QVERIFY(library.open(QIODevice::WriteOnly | QIODevice::Truncate));
    library.write(QByteArray(4096, 'x'));
    library.close();

    Prompt::queueChoice(1); // the older one, with the book
    MainWindow window;
    QVERIFY(window.isStartedUp());
    const QString offer = Prompt::shownTexts().first();
    QVERIFY2(offer.contains("with 0 books and 0 web pages") && offer.contains("with 1 book and 0 web pages"),
             qPrintable(offer));
    QCOMPARE(LibraryFixture::scalar("SELECT title FROM books").toString(), QString("Kept"));
}

LIRENTA_TEST_MAIN(TestLibraryBackup)
#include "TestLibraryBackup.moc"
