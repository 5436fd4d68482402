#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "QtModules.h"
#include "TestEnvironment.h"

// A process killed (SIGKILL) in the middle of an import loses at most the book in progress.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void killedImport_leavesOnlyCompleteBooks();
    void killedChanges_leaveOldOrNewNeverAMix_data();
    void killedChanges_leaveOldOrNewNeverAMix();

private:
    static int count(const QString& statement);
    QSet<int> runAndKill(const QString& mode, int rounds, int count);
    void verifyComplete();
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

QSet<int> TestCrashSafety::runAndKill(const QString& mode, int rounds, int count)
{
    library->library().close();
    QSet<int> committed;
    QRandomGenerator random(20261206);
    for (int round = 0; round < rounds; ++round) {
        QProcess importer;
        importer.start(QStringLiteral(LIRENTA_TESTS_DIR "/CrashImporter"),
                       {library->dataDir(), library->filesDir(), QString::number(count), mode});
        if (!importer.waitForStarted(10000)) {
            return {};
        }
        QTest::qWait(int(random.bounded(60, 400)));
        importer.kill();
        importer.waitForFinished(10000);
        for (const QByteArray& line : importer.readAllStandardOutput().split('\n')) {
            if (line.startsWith("committed ")) {
                committed.insert(line.mid(10).toInt());
            }
        }
    }
    library->library().open(library->dataDir());
    return committed;
}

void TestCrashSafety::killedImport_leavesOnlyCompleteBooks()
{
    const QSet<int> committed = runAndKill("import", 12, 100000);
    qInfo("%lld books reported committed over 12 killed runs", qint64(committed.size()));
    QVERIFY(!committed.isEmpty());
    verifyComplete();
    QSqlQuery rows("SELECT iid FROM items");
    QSet<int> stored;
    while (rows.next()) {
        stored.insert(rows.value(0).toInt());
    }
    for (int iid : committed) {
        QVERIFY2(stored.contains(iid), qPrintable(QString::number(iid)));
    }
}

void TestCrashSafety::killedChanges_leaveOldOrNewNeverAMix_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("edit title and authors") << "edit";
    QTest::newRow("replace covers") << "cover";
    QTest::newRow("delete books") << "delete";
}

void TestCrashSafety::killedChanges_leaveOldOrNewNeverAMix()
{
    QFETCH(QString, mode);
    // A library of finished books first (the importer runs to its end).
    library->library().close();
    QProcess seed;
    seed.start(QStringLiteral(LIRENTA_TESTS_DIR "/CrashImporter"), {library->dataDir(), library->filesDir(), "150"});
    QVERIFY(seed.waitForFinished(60000));
    QVERIFY(library->library().open(library->dataDir()).isOpen());
    QCOMPARE(count("SELECT COUNT(*) FROM books"), 150);

    const QSet<int> committed = runAndKill(mode, 6, 50);
    QVERIFY(!committed.isEmpty());
    verifyComplete();
    if (mode == "edit") {
        QCOMPARE(
            count("SELECT COUNT(*) FROM books WHERE title NOT LIKE 'Crash book %' AND title NOT LIKE 'Edited book %'"),
            0);
        // Every edited title comes with the edited authors, and every old one with the old.
        QCOMPARE(count("SELECT COUNT(*) FROM books b WHERE title LIKE 'Edited%' AND (SELECT COUNT(*) FROM "
                       "items_authors ia JOIN authors a ON a.aid = ia.aid WHERE ia.iid = b.iid AND a.name LIKE "
                       "'%Editor%') <> 2"),
                 0);
    } else if (mode == "delete") {
        QVERIFY(count("SELECT COUNT(*) FROM books") < 150);
        for (int iid : committed) {
            QCOMPARE(count(QString("SELECT COUNT(*) FROM items WHERE iid = %1").arg(iid)), 0);
        }
    }
}

void TestCrashSafety::verifyComplete()
{
    QVERIFY(QSqlDatabase::database().isOpen());
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
    while (covers.next()) {
        const QFileInfo cover(covers.value(1).toString());
        QVERIFY2(cover.exists() && cover.size() > 0, qPrintable(cover.filePath()));
    }
}

LIRENTA_TEST_MAIN(TestCrashSafety)
#include "TestCrashSafety.moc"
