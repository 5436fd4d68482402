#include "Book.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySettings.h"
#include "QtModules.h"
#include "TestEnvironment.h"

#include <unistd.h>

// A library on a full disk: saves fail cleanly, earlier books stay, and saving works again
// once space is freed. Needs root to mount a small tmpfs; skipped (with the reason) otherwise.
class TestDiskFull : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void fullDisk_failsCleanly_andRecovers();

private:
    LibraryDatabase database;
    QTemporaryDir mountPoint;
    bool mounted = false;
};

void TestDiskFull::initTestCase()
{
    if (geteuid() != 0) {
        QSKIP("needs root to mount a small tmpfs");
    }
    const int status = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", mountPoint.path()});
    if (status != 0) {
        QSKIP("mounting a tmpfs was not permitted here");
    }
    mounted = true;
}

void TestDiskFull::cleanupTestCase()
{
    database.close();
    if (mounted) {
        QProcess::execute("umount", {mountPoint.path()});
    }
}

void TestDiskFull::fullDisk_failsCleanly_andRecovers()
{
    const QString dataDir = mountPoint.path() + "/data/";
    QDir().mkpath(dataDir);
    LibrarySettings().setValue("dataDir", dataDir);
    QVERIFY(database.open(dataDir).isOpen());
    // Something else on the same disk, which the user can remove later.
    QFile filler(mountPoint.path() + "/filler.bin");
    QVERIFY(filler.open(QIODevice::WriteOnly));
    filler.write(QByteArray(300 * 1024, 'f'));
    filler.close();

    const auto save = [](int n) {
        Book book(nullptr, 0);
        book.setTitle(QString("Book %1").arg(n));
        book.setDescription(QString(20000, QChar('a' + n % 26)));
        book.addAuthor(QString("Author %1").arg(n));
        return book.insertBook();
    };
    int saved = 0;
    while (saved < 500 && save(saved)) {
        ++saved;
    }
    QVERIFY2(saved > 0 && saved < 500, "the disk must fill up part-way");
    qInfo("%d books saved before the disk was full", saved);

    // Everything saved before is intact and complete.
    QCOMPARE(LibraryFixture::scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(LibraryFixture::scalar("SELECT COUNT(*) FROM books").toInt(), saved);
    QCOMPARE(LibraryFixture::scalar("SELECT COUNT(*) FROM items").toInt(), saved);

    // Once space is freed, saving works again.
    QVERIFY(QFile::remove(filler.fileName()));
    QVERIFY(save(1000));
    QCOMPARE(LibraryFixture::scalar("SELECT COUNT(*) FROM books").toInt(), saved + 1);
}

LIRENTA_TEST_MAIN(TestDiskFull)
#include "TestDiskFull.moc"
