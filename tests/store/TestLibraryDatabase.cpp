#include "DataDirectories.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySettings.h"
#include "QtModules.h"
#include "ServiceEndpoints.h"
#include "TestEnvironment.h"

class TestLibraryDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void laterRuns_keepGuidAndPathsButRewriteBaseUrl();
    void newDatabase_hasTheTablesWithColumnsInOrder();
    void openLibrary_logsCommits_andRestsInRollbackMode();
    void notADatabase_isMovedAsideUntouched_data();
    void notADatabase_isMovedAsideUntouched();
    void foreignDatabase_isMovedAsideAndReplacedOnNextOpen();

private:
    LibraryDatabase database;
    QString dataDir() const { return QDir::homePath() + "/data/"; }
    QStringList columnsOf(const QString& table) const;
};

void TestLibraryDatabase::init()
{
    LibrarySettings().clear();
    QDir(QDir::homePath()).removeRecursively();
    QDir().mkpath(QDir::homePath());
    qunsetenv("LIRENTA_CLOUD_URL");
}

void TestLibraryDatabase::cleanup()
{
    database.close();
}

QStringList TestLibraryDatabase::columnsOf(const QString& table) const
{
    QStringList names;
    QSqlQuery query("PRAGMA table_info(" + table + ")");
    while (query.next()) {
        names << query.value(1).toString();
    }
    return names;
}

void TestLibraryDatabase::laterRuns_keepGuidAndPathsButRewriteBaseUrl()
{
    const DataDirectories::Paths first = DataDirectories::setDataDir();
    LibrarySettings settings;
    const QString guid = settings.value("guid").toString();
    settings.setValue("baseUrl", "http://edited.by.hand/");
    settings.sync();
    QDir(first.dataDir).removeRecursively();
    QDir(first.libraryDir).removeRecursively();

    const DataDirectories::Paths second = DataDirectories::setDataDir();
    QCOMPARE(second.dataDir, first.dataDir);
    QCOMPARE(second.libraryDir, first.libraryDir);
    QVERIFY2(QDir(second.dataDir).exists(), "a missing data directory is made again");
    QVERIFY2(QDir(second.libraryDir).exists(), "a missing library directory is made again");
    LibrarySettings after;
    QCOMPARE(after.value("guid").toString(), guid);
    QCOMPARE(after.value("baseUrl").toString(), ServiceEndpoints::cloudBase());
}

void TestLibraryDatabase::newDatabase_hasTheTablesWithColumnsInOrder()
{
    QDir().mkpath(dataDir());
    QVERIFY(database.open(dataDir()).isOpen());

    QCOMPARE(columnsOf("items"), QStringList({"iid", "type", "coverFile", "created", "updated", "rating"}));
    QCOMPARE(columnsOf("books"), QStringList({"bid", "title", "pageCount", "datePublished", "description", "iid",
                                              "publisher", "isbn10", "isbn13"}));
    QCOMPARE(columnsOf("files"), QStringList({"fid", "fileName", "filePath", "fileType", "fileExtension", "fileMd5",
                                              "fileSize", "firstBytes", "iid", "created", "updated"}));
    QCOMPARE(columnsOf("authors"), QStringList({"aid", "name", "firstName", "lastName"}));
    QCOMPARE(columnsOf("items_authors"), QStringList({"iid", "aid"}));
    QCOMPARE(columnsOf("webpages"), QStringList({"wid", "iid", "url", "created", "title", "description"}));
    QCOMPARE(columnsOf("notes"), QStringList({"iid", "note"}));
    QCOMPARE(columnsOf("identifiers"), QStringList({"id", "type"}));
}

// Open, commits go to a write-ahead log; closed, the file is a plain rollback-journal
// database again (header bytes 18 and 19 are 1), with nothing left beside it.
void TestLibraryDatabase::openLibrary_logsCommits_andRestsInRollbackMode()
{
    QDir().mkpath(dataDir());
    QVERIFY(database.open(dataDir()).isOpen());
    {
        QSqlQuery query;
        QVERIFY(query.exec("PRAGMA journal_mode") && query.next());
        QCOMPARE(query.value(0).toString(), QString("wal"));
        QVERIFY(query.exec("INSERT INTO items (type) VALUES ('Book')"));
        QVERIFY(QFile::exists(dataDir() + "data.db-wal"));
    }
    database.close();

    const QString path = dataDir() + "data.db";
    QVERIFY(!QFile::exists(path + "-wal"));
    QVERIFY(!QFile::exists(path + "-shm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(20);
    QCOMPARE(int(header.at(18)), 1);
    QCOMPARE(int(header.at(19)), 1);
    file.close();

    QCOMPARE(database.open(dataDir()).status, LibraryDatabase::Status::Opened);
    QCOMPARE(LibraryFixture::scalar("SELECT COUNT(*) FROM items").toInt(), 1);
}

void TestLibraryDatabase::notADatabase_isMovedAsideUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("text file") << QByteArray("these are my notes, not a database\n").repeated(200);
    QByteArray header("SQLite format 3");
    header.append('\0');
    QTest::newRow("header then garbage") << header + QByteArray(8192, '\x5a');
}

void TestLibraryDatabase::notADatabase_isMovedAsideUntouched()
{
    QFETCH(QByteArray, content);
    const QString path = TestEnvironment::writeFile(dataDir() + "data.db", content);
    QVERIFY(!path.isEmpty());

    const LibraryDatabase::Outcome outcome = database.open(dataDir());
    QCOMPARE(outcome.status, LibraryDatabase::Status::Damaged);
    QVERIFY(!outcome.isOpen());
    QVERIFY(!outcome.error.isEmpty());
    QVERIFY(outcome.movedTo.startsWith(path + ".damaged-"));
    QVERIFY(!QFile::exists(path));
    QFile kept(outcome.movedTo);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), content);
}

void TestLibraryDatabase::foreignDatabase_isMovedAsideAndReplacedOnNextOpen()
{
    // A foreign SQLite file with some of our tables is not a library and is left alone.
    QDir().mkpath(dataDir());
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(dataDir() + "data.db");
        QVERIFY(other.open());
        QSqlQuery(other).exec("CREATE TABLE items (x)");
        QSqlQuery(other).exec("CREATE TABLE recipes (name TEXT)");
        other.close();
    }
    QSqlDatabase::removeDatabase("other");

    const LibraryDatabase::Outcome outcome = database.open(dataDir());
    QCOMPARE(outcome.status, LibraryDatabase::Status::Damaged);
    QVERIFY(outcome.error.contains("not a Lirenta library"));
    QVERIFY(QFile::exists(outcome.movedTo));

    // Now the path is free and the next open makes a proper library.
    QCOMPARE(database.open(dataDir()).status, LibraryDatabase::Status::Created);
    QCOMPARE(columnsOf("items").size(), 6);
}

LIRENTA_TEST_MAIN(TestLibraryDatabase)
#include "TestLibraryDatabase.moc"
