#include "FailingReads.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "TestEnvironment.h"
#include "Version.h"

#include <csignal>

class TestMainWindowStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void damagedDatabase_isKeptAside_data();
    void damagedDatabase_isKeptAside();
    void uncreatableDatabase_showsPathAndErrorAndDoesNotStart();
    void lockedDatabase_isInUse_notDamaged();
    void terminationSignal_endsLikeQuit_data();
    void terminationSignal_endsLikeQuit();
    void secondStartOnOneLibrary_showsTheFirst_andStaleSocketsAreTakenOver();
    void startsAtOnce_leaveExactlyOneOwner();
    void signalDuringAStartUpQuestion_endsCleanly_data();
    void signalDuringAStartUpQuestion_endsCleanly();
    void unreadableDisk_isSaidSo_notInUseNorDamaged();
    void commandLine_answersVersionAndHelp();

private:
    LibraryDatabase database;
    // The real program on a HOME of its own.
    static void startProgram(QProcess& program, const QString& home);
    static QString dataDirOf(const QString& home) { return home + "/.local/share/Quemark/Lirenta/Lirenta/"; }
};

void TestMainWindowStartup::init()
{
    LibrarySettings().clear();
    QDir(QDir::homePath()).removeRecursively();
    QDir().mkpath(QDir::homePath());
    Prompt::clearShownTexts();
}

void TestMainWindowStartup::cleanup()
{
    database.close();
}

void TestMainWindowStartup::damagedDatabase_isKeptAside_data()
{
    QTest::addColumn<bool>("startNew");
    QTest::newRow("user starts a new library") << true;
    QTest::newRow("user quits") << false;
}

void TestMainWindowStartup::damagedDatabase_isKeptAside()
{
    QFETCH(bool, startNew);
    const QString dataDir = QDir::homePath() + "/lib-data/";
    LibrarySettings().setValue("dataDir", dataDir);
    QVERIFY(
        !TestEnvironment::writeFile(dataDir + "data.db", QByteArray("not a database at all").repeated(100)).isEmpty());

    Prompt::queueAnswer(startNew ? QMessageBox::Yes : QMessageBox::No);
    MainWindow window(database);
    QCOMPARE(window.isStartedUp(), startNew);
    QCOMPARE(Prompt::shownTexts().size(), 1);
    const QString text = Prompt::shownTexts().first();
    QVERIFY2(text.contains(dataDir + "data.db") && text.contains(".damaged-"), qPrintable(text));

    const QStringList kept = QDir(dataDir).entryList({"data.db.damaged-*"});
    QCOMPARE(kept.size(), 1);
    QFile old(dataDir + kept.first());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QVERIFY(old.readAll().startsWith("not a database at all"));
    QCOMPARE(QFile::exists(dataDir + "data.db"), startNew);
    QCOMPARE(QSqlQuery().exec("SELECT COUNT(*) FROM books"), startNew);
}

void TestMainWindowStartup::uncreatableDatabase_showsPathAndErrorAndDoesNotStart()
{
    QVERIFY(!TestEnvironment::writeFile(QDir::homePath() + "/blocker").isEmpty());
    const QString dataDir = QDir::homePath() + "/blocker/data/";
    LibrarySettings().setValue("dataDir", dataDir);

    MainWindow window(database);
    QVERIFY(!window.isStartedUp());
    QCOMPARE(Prompt::shownTexts().size(), 1);
    QVERIFY(Prompt::shownTexts().first().contains(dataDir + "data.db"));
    QVERIFY(Prompt::shownTexts().first().contains("could not be created"));
}

void TestMainWindowStartup::lockedDatabase_isInUse_notDamaged()
{
    const QString dataDir = QDir::homePath() + "/locked/";
    QDir().mkpath(dataDir);
    LibrarySettings().setValue("dataDir", dataDir);
    QVERIFY(database.open(dataDir).isOpen());
    database.close();
    {
        // Another program holds the library's lock throughout the start.
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(dataDir + "data.db");
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
        {
            LibraryDatabase impatient(LibraryTuning{.busyTimeoutMs = 200});
            MainWindow window(impatient);
            QVERIFY(!window.isStartedUp());
        }
        lock.exec("ROLLBACK");
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
    QCOMPARE(Prompt::shownTexts().size(), 1);
    QVERIFY2(Prompt::shownTexts().first().contains("in use by another program"),
             qPrintable(Prompt::shownTexts().first()));
    QVERIFY(QFile::exists(dataDir + "data.db"));
    QCOMPARE(QDir(dataDir).entryList({"data.db.damaged-*"}).size(), 0);

    // Once the other program lets go, the library opens as it was.
    MainWindow window(database);
    QVERIFY(window.isStartedUp());
}

void TestMainWindowStartup::startProgram(QProcess& program, const QString& home)
{
    QDir().mkpath(home);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/.config");
    environment.insert("XDG_DATA_HOME", home + "/.local/share");
    environment.insert("XDG_CACHE_HOME", home + "/.cache");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LIRENTA_UPDATE_URL", "http://127.0.0.1:9/");
    program.setProcessEnvironment(environment);
    program.start(LIRENTA_BINARY, {});
    QVERIFY(program.waitForStarted());
}

void TestMainWindowStartup::secondStartOnOneLibrary_showsTheFirst_andStaleSocketsAreTakenOver()
{
    const QString home = QDir::homePath() + "/single";
    // What a crashed run leaves behind: something at the socket's name that nobody answers.
    QVERIFY(!TestEnvironment::writeFile(dataDirOf(home) + "lirenta.socket").isEmpty());

    QProcess first;
    startProgram(first, home);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dataDirOf(home) + "data.db-wal"), 20000);
    QProcess second;
    startProgram(second, home);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    // Another HOME, another library: it runs on its own.
    QProcess other;
    startProgram(other, QDir::homePath() + "/elsewhere");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dataDirOf(QDir::homePath() + "/elsewhere") + "data.db-wal"), 20000);
    QCOMPARE(other.state(), QProcess::Running);
    for (QProcess* program : {&first, &other}) {
        program->terminate();
        QVERIFY(program->waitForFinished(10000));
        QCOMPARE(program->exitCode(), 0);
    }
}

void TestMainWindowStartup::commandLine_answersVersionAndHelp()
{
    QProcess program;
    program.start(LIRENTA_BINARY, {"--version"});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(), QString("Lirenta " LIRENTA_VERSION_LABEL));
    program.start(LIRENTA_BINARY, {"--help"});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(program.readAllStandardOutput().contains("--version"));
}

void TestMainWindowStartup::terminationSignal_endsLikeQuit_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

// The real program, on its own HOME: a signal ends it as Quit does, with the library at rest.
void TestMainWindowStartup::terminationSignal_endsLikeQuit()
{
    QFETCH(int, signalNumber);
    const QString home = QDir::homePath() + "/signalled";
    QProcess program;
    startProgram(program, home);
    const QString data = dataDirOf(home);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(data + "data.db-wal"), 20000);
    ::kill(program.processId(), signalNumber);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile::exists(data + "data.db"));
    QVERIFY(!QFile::exists(data + "data.db-wal"));
}

// Several starts within milliseconds on one library: the lock goes to one of them, and the
// others hand over and end, round after round.
void TestMainWindowStartup::startsAtOnce_leaveExactlyOneOwner()
{
    const QString home = QDir::homePath() + "/together";
    for (int round = 0; round < 4; ++round) {
        std::vector<std::unique_ptr<QProcess>> programs;
        for (int i = 0; i < 3; ++i) {
            programs.push_back(std::make_unique<QProcess>());
        }
        for (const auto& program : programs) {
            startProgram(*program, home);
        }
        const auto ended = [&programs] {
            return std::count_if(programs.begin(), programs.end(),
                                 [](const auto& program) { return program->state() == QProcess::NotRunning; });
        };
        QTRY_COMPARE_WITH_TIMEOUT(ended(), 2, 15000); // with two owners, only one would end
        for (const auto& program : programs) {
            if (program->state() == QProcess::NotRunning) {
                QCOMPARE(program->exitCode(), 0);
            }
        }
        for (const auto& program : programs) {
            if (program->state() == QProcess::Running) {
                QVERIFY(QFile::exists(dataDirOf(home) + "lirenta.lock"));
                program->terminate();
                QVERIFY(program->waitForFinished(10000));
                QCOMPARE(program->exitCode(), 0);
            }
        }
    }
}

void TestMainWindowStartup::signalDuringAStartUpQuestion_endsCleanly_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("withBackups");
    QTest::newRow("SIGTERM, damaged library") << int(SIGTERM) << false;
    QTest::newRow("SIGINT, choosing a backup") << int(SIGINT) << true;
    QTest::newRow("SIGHUP, damaged library") << int(SIGHUP) << false;
}

// A damaged library's question, or its list of backups, is open when the signal comes: the
// program ends at once, as it does later, leaving the damaged file aside and nothing new.
void TestMainWindowStartup::signalDuringAStartUpQuestion_endsCleanly()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, withBackups);
    const QString home = QDir::homePath() + "/asked";
    const QString data = dataDirOf(home);
    QVERIFY(!TestEnvironment::writeFile(data + "data.db", QByteArray("no database").repeated(500)).isEmpty());
    if (withBackups) {
        QDir().mkpath(data + "backups");
        for (const char* name : {"data-20200101-000000-000-00.db", "data-20200102-000000-000-00.db"}) {
            QDir().mkpath(home + "/made");
            {
                LibraryDatabase made;
                QVERIFY(made.open(home + "/made/").isOpen());
            }
            QVERIFY(QFile::copy(home + "/made/data.db", data + "backups/" + name));
            QDir(home + "/made").removeRecursively();
        }
    }
    QProcess program;
    startProgram(program, home);
    // The file is moved aside just before the question comes up.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(data).entryList({"data.db.damaged-*"}).isEmpty(), 20000);
    ::kill(program.processId(), signalNumber);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(!QFile::exists(data + "data.db"), "no new library was made");
    QCOMPARE(QDir(data).entryList({"data.db.damaged-*"}).size(), 1);
}

// A disk that does not give the file's pages: SQLite's I/O error is no lock by another program
// and no damage. The file stays where it is, and the user is told it could not be read.
void TestMainWindowStartup::unreadableDisk_isSaidSo_notInUseNorDamaged()
{
    const QString dataDir = QDir::homePath() + "/failing-disk/";
    QDir().mkpath(dataDir);
    LibrarySettings().setValue("dataDir", dataDir);
    QVERIFY(database.open(dataDir).isOpen());
    database.close();
    {
        FailingReads failing(dataDir + "data.db");
        MainWindow window(database);
        QVERIFY(!window.isStartedUp());
    }
    QCOMPARE(Prompt::shownTexts().size(), 1);
    QVERIFY2(Prompt::shownTexts().first().contains("could not be read") &&
                 !Prompt::shownTexts().first().contains("in use"),
             qPrintable(Prompt::shownTexts().first()));
    QVERIFY(QFile::exists(dataDir + "data.db"));
    QCOMPARE(QDir(dataDir).entryList({"data.db.damaged-*"}).size(), 0);
    MainWindow window(database);
    QVERIFY(window.isStartedUp());
}

LIRENTA_TEST_MAIN(TestMainWindowStartup)
#include "TestMainWindowStartup.moc"
