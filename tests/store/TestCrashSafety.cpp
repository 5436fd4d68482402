#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTest>

#include <memory>

// A process killed (SIGKILL) in the middle of an import loses at most the book in progress.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void killedImport_leavesOnlyCompleteBooks();

private:
    static int count(const QString& statement);
    std::unique_ptr<LibraryFixture> library;
};

void TestCrashSafety::init()
{
    library = std::make_unique<LibraryFixture>();
}

void TestCrashSafety::cleanup()
{
    library.reset();
}

int TestCrashSafety::count(const QString& statement)
{
    QSqlQuery query(statement);
    return query.next() ? query.value(0).toInt() : -1;
}

void TestCrashSafety::killedImport_leavesOnlyCompleteBooks()
{
    LibraryDatabase::close();
    QSet<int> committed;
    QRandomGenerator random(20261206);
    for (int round = 0; round < 12; ++round) {
        QProcess importer;
        importer.start(QStringLiteral(LIRENTA_TESTS_DIR "/CrashImporter"),
                       {library->dataDir(), library->filesDir(), "100000"});
        QVERIFY(importer.waitForStarted(10000));
        QTest::qWait(int(random.bounded(60, 400)));
        importer.kill();
        QVERIFY(importer.waitForFinished(10000));
        for (const QByteArray& line : importer.readAllStandardOutput().split('\n')) {
            if (line.startsWith("committed ")) {
                committed.insert(line.mid(10).toInt());
            }
        }
    }
    qInfo("%lld books reported committed over 12 killed runs", qint64(committed.size()));
    QVERIFY(!committed.isEmpty());

    QVERIFY(LibraryDatabase::open(library->dataDir()).isOpen());
    QSqlQuery check("PRAGMA integrity_check");
    QVERIFY(check.next());
    QCOMPARE(check.value(0).toString(), QString("ok"));
    // Every book is complete: item row, books row, both author links, its file; nothing dangles.
    QCOMPARE(count("SELECT COUNT(*) FROM books WHERE iid NOT IN (SELECT iid FROM items)"), 0);
    QCOMPARE(count("SELECT COUNT(*) FROM items WHERE iid NOT IN (SELECT iid FROM books)"), 0);
    QCOMPARE(
        count("SELECT COUNT(*) FROM books WHERE (SELECT COUNT(*) FROM items_authors ia WHERE ia.iid = books.iid) <> 2"),
        0);
    QCOMPARE(count("SELECT COUNT(*) FROM books WHERE (SELECT COUNT(*) FROM files f WHERE f.iid = books.iid) <> 1"), 0);
    QCOMPARE(count("SELECT COUNT(*) FROM items_authors WHERE iid NOT IN (SELECT iid FROM items)"), 0);
    QCOMPARE(count("SELECT COUNT(*) FROM files WHERE iid NOT IN (SELECT iid FROM items)"), 0);
    QSqlQuery covers("SELECT iid, coverFile FROM items");
    QSet<int> stored;
    while (covers.next()) {
        stored.insert(covers.value(0).toInt());
        const QFileInfo cover(covers.value(1).toString());
        QVERIFY2(cover.exists() && cover.size() > 0, qPrintable(cover.filePath()));
    }
    for (int iid : std::as_const(committed)) {
        QVERIFY2(stored.contains(iid), qPrintable(QString::number(iid)));
    }
}

LIRENTA_TEST_MAIN(TestCrashSafety)
#include "TestCrashSafety.moc"
