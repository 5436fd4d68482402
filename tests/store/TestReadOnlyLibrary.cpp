#include "LibraryDatabase.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "QtModules.h"
#include "TestEnvironment.h"

#include <unistd.h>

// A library the user may only read opens for reading, says so, and is left byte for byte.
class TestReadOnlyLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readOnlyLibrary_opensForReading_andStaysUnchanged();

private:
    static QByteArray digest(const QString& path);
};

QByteArray TestReadOnlyLibrary::digest(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void TestReadOnlyLibrary::readOnlyLibrary_opensForReading_andStaysUnchanged()
{
    if (geteuid() != 0 || QStandardPaths::findExecutable("runuser").isEmpty()) {
        QSKIP("needs root and runuser to run the check as an unprivileged user");
    }
    // Under /tmp itself: the test's own temporary folder is closed to other users.
    QTemporaryDir place("/tmp/lirenta-readonly-XXXXXX");
    const QString dataDir = place.path() + "/data/";
    const QString home = place.path() + "/home";
    QDir().mkpath(dataDir);
    QDir().mkpath(home);
    LibrarySettings().setValue("dataDir", dataDir);
    LibraryDatabase library;
    QVERIFY(library.open(dataDir).isOpen());
    LibrarySeeder seeder(dataDir, place.path() + "/files/");
    for (const char* title : {"One", "Two", "Three"}) {
        QVERIFY(seeder.addBook({.title = title, .authors = {"Some Author"}}) > 0);
    }
    library.close();

    const QString database = dataDir + "data.db";
    const QByteArray before = digest(database);
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const auto traversable = readOnly | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    QVERIFY(QFile::setPermissions(database, readOnly));
    QVERIFY(QFile::setPermissions(dataDir, traversable));
    QVERIFY(QFile::setPermissions(place.path(), traversable | QFileDevice::WriteOwner));
    // The unprivileged user's own HOME, for its settings.
    QVERIFY(QFile::setPermissions(home, traversable | QFileDevice::WriteOwner | QFileDevice::WriteGroup |
                                            QFileDevice::WriteOther));

    QProcess probe;
    probe.start("runuser", {"-u", "nobody", "--", "env", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                            "XDG_RUNTIME_DIR=" + home, LIRENTA_TESTS_DIR "/ReadOnlyProbe", dataDir});
    QVERIFY(probe.waitForFinished(30000));
    const QString output = QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
    if (output.isEmpty()) {
        QSKIP(qPrintable("the unprivileged user could not run the probe here: " +
                         QString::fromUtf8(probe.readAllStandardError()).left(200)));
    }
    QCOMPARE(output, QString("open=1 readonly=1 books=3 saved=0"));
    QCOMPARE(digest(database), before);
    QFile::setPermissions(dataDir, traversable | QFileDevice::WriteOwner);
}

LIRENTA_TEST_MAIN(TestReadOnlyLibrary)
#include "TestReadOnlyLibrary.moc"
