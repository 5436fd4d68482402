#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibraryFixture.h"
#include "QtModules.h"
#include "SqliteRows.h"
#include "TestEnvironment.h"

namespace {
// Peak resident memory of this process so far, in KiB.
qint64 peakMemoryKiB()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}
} // namespace

class TestItemFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void hugeSparseFile_hasA64BitSizeAndItsMd5();
    void quickDuplicate_data();
    void quickDuplicate();
    void loadFromRow_rereadsTheDisk_andKeepsADigestThatFits();

private:
    void checkMd5WithFlatMemory(const QString& path, const char* what);
    std::unique_ptr<LibraryFixture> library;
};

void TestItemFile::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
}

void TestItemFile::cleanup()
{
    library.reset();
}

// Compares the file's MD5 with md5sum's and prints how far peak memory grew meanwhile.
void TestItemFile::checkMd5WithFlatMemory(const QString& path, const char* what)
{
    QProcess md5sum;
    md5sum.start("md5sum", {path});
    QVERIFY(md5sum.waitForFinished(300000));
    const QString expected = QString::fromLatin1(md5sum.readAllStandardOutput().left(32));
    QCOMPARE(expected.size(), 32);

    const qint64 peakBefore = peakMemoryKiB();
    ItemFile file(nullptr, path);
    QCOMPARE(file.getFileMd5(), expected);
    const qint64 growth = peakMemoryKiB() - peakBefore;
    qInfo("peak memory grew by %lld KiB while hashing %s (process peak %lld MiB)", growth, what,
          peakMemoryKiB() / 1024);
    QVERIFY2(growth < 64 * 1024, "hashing must not read the file into memory");
}

void TestItemFile::hugeSparseFile_hasA64BitSizeAndItsMd5()
{
    const QString path = library->filesDir() + "huge.pdf";
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("%PDF-1.7");
        QVERIFY(out.resize(qint64(3) * 1024 * 1024 * 1024));
    }
    ItemFile file(nullptr, path);
    QCOMPARE(file.getFileSize(), qint64(3) * 1024 * 1024 * 1024);
    QCOMPARE(file.toVariant().value("fileSize").toString(), QString("3221225472"));
    file.setId(1);
    QVERIFY(file.saveFile());
    ItemFile loaded(nullptr, file.getFid());
    QCOMPARE(LibraryFixture::scalar("SELECT fileSize FROM files").toLongLong(), qint64(3221225472));
    ItemFiles files(nullptr, 1);
    files.addFile(path);
    QCOMPARE(files.render(), QString("3221.23"));
    checkMd5WithFlatMemory(path, "a 3 GiB sparse file");
}

void TestItemFile::quickDuplicate_data()
{
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QByteArray>("storedContent");
    QTest::addColumn<QString>("candidateName");
    QTest::addColumn<QByteArray>("candidateContent");
    QTest::addColumn<bool>("duplicate");

    const QByteArray head = QByteArray("%PDF-1.5 common head ").leftJustified(50, '.');
    QTest::newRow("same path") << "same.pdf" << QByteArray("one") << "same.pdf" << QByteArray("one") << true;
    QTest::newRow("path differs only in case")
        << "Case.pdf" << QByteArray("aaa") << "case.PDF" << QByteArray("bbbb") << true;
    QTest::newRow("same first bytes and size, other path") << "a/one.pdf" << head + "tail-1"
                                                           << "b/two.pdf" << head + "tail-2" << true;
    QTest::newRow("same first bytes, other size") << "a/one.pdf" << head + "tail-1"
                                                  << "b/two.pdf" << head + "tail-22" << false;
    QTest::newRow("underscore is not a wildcard")
        << "a_b.pdf" << QByteArray("first") << "axb.pdf" << QByteArray("second!") << false;
}

void TestItemFile::quickDuplicate()
{
    QFETCH(QString, storedName);
    QFETCH(QByteArray, storedContent);
    QFETCH(QString, candidateName);
    QFETCH(QByteArray, candidateContent);
    QFETCH(bool, duplicate);

    ItemFile stored(nullptr, library->writeFile(storedName, storedContent));
    stored.setId(1);
    QVERIFY(stored.saveFile());

    // The candidate is a file of its own unless it is the stored file itself.
    const QString candidatePath = library->filesDir() + candidateName;
    if (candidateName.compare(storedName, Qt::CaseSensitive) != 0) {
        library->writeFile(candidateName, candidateContent);
    }
    ItemFile candidate(nullptr, candidatePath);
    QCOMPARE(candidate.hasDuplicateQuick(), duplicate);
}

void TestItemFile::loadFromRow_rereadsTheDisk_andKeepsADigestThatFits()
{
    const QString path = library->writeFile("book.pdf", "short");
    ItemFile file(nullptr, path);
    file.setId(3);
    QVERIFY(file.saveFile());
    library->writeFile("book.pdf", "a longer content now");

    ItemFile loaded(nullptr, file.getFid());
    QCOMPARE(loaded.getFilePath(), path);
    QCOMPARE(loaded.getId(), 3);
    QVERIFY(loaded.getCreated() > 0);
    const QString changed = QCryptographicHash::hash("a longer content now", QCryptographicHash::Md5).toHex();
    QCOMPARE(loaded.getFileSize(), qint64(20));
    QCOMPARE(loaded.toVariant().value("fileMd5").toString(), changed);

    // Saving a loaded file keeps a digest that describes the file: the new one here ...
    ItemFile again(nullptr, file.getFid());
    QVERIFY(again.saveFile());
    QCOMPARE(again.getFid(), file.getFid());
    QCOMPARE(LibraryFixture::rowCount("files"), 1);
    QCOMPARE(LibraryFixture::scalar("SELECT fileMd5 FROM files").toString(), changed);
    // ... and the stored one when nothing changed, also for rows loaded in bulk.
    SqliteRows row(QSqlDatabase::database(), QString("SELECT * FROM files WHERE fid = %1").arg(file.getFid()));
    QVERIFY(row.next());
    std::unique_ptr<ItemFile> bulk(ItemFile::fromStoredRow(row));
    QVERIFY(bulk->saveFile());
    QCOMPARE(LibraryFixture::scalar("SELECT fileMd5 FROM files").toString(), changed);
}

LIRENTA_TEST_MAIN(TestItemFile)
#include "TestItemFile.moc"
