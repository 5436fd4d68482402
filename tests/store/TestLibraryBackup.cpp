#include "LibraryBackup.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

class TestLibraryBackup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void take_keepsAVerifiedCopy_andOnlyTheNewestFew();
    void takeIfDue_atMostOnceADay_andOnlyAfterChanges();
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

void TestLibraryBackup::takeIfDue_atMostOnceADay_andOnlyAfterChanges()
{
    QVERIFY(LibraryBackup::takeIfDue(dataDir()));
    QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')");
    QVERIFY2(!LibraryBackup::takeIfDue(dataDir()), "one a day at most");

    // A day later, with changes since: due.
    const QString old = LibraryBackup::list(dataDir()).first();
    const QString older = LibraryBackup::folder(dataDir()) + "data-20200101-000000-000-00.db";
    QVERIFY(QFile::rename(old, older));
    QVERIFY(LibraryBackup::takeIfDue(dataDir()));
    QCOMPARE(LibraryBackup::list(dataDir()).size(), 2);
}

void TestLibraryBackup::damagedLibrary_offersTheNewestGoodBackup()
{
    QSqlQuery().exec("INSERT INTO items (type) VALUES ('Book')");
    QVERIFY(!LibraryBackup::take(dataDir()).isEmpty());
    // A newer backup that is itself damaged is passed over.
    QFile broken(LibraryBackup::folder(dataDir()) + "data-29990101-000000-000-00.db");
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(4096, 'x'));
    broken.close();
    LibraryDatabase::close();

    QFile library(dataDir() + "data.db");
    QVERIFY(library.open(QIODevice::ReadWrite));
    library.seek(0);
    library.write(QByteArray(4096, '\0'));
    library.close();

    Prompt::queueAnswer(QMessageBox::Yes);
    MainWindow window;
    QVERIFY(window.isStartedUp());
    QVERIFY(Prompt::shownTexts().first().contains("Restore the backup taken on"));
    QCOMPARE(itemCount(), 1);
    QCOMPARE(QDir(dataDir()).entryList({"data.db.damaged-*"}).size(), 1);
}

LIRENTA_TEST_MAIN(TestLibraryBackup)
#include "TestLibraryBackup.moc"
