#include "CloudApi.h"
#include "FileSyncManager.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "Login.h"
#include "MainWindow.h"
#include "NoticeLog.h"
#include "Prompt.h"
#include "QtModules.h"
#include "StandInServer.h"
#include "TestEnvironment.h"
#include "UnusualNames.h"
#include "UpdateManager.h"
#include "WindowFixture.h"

namespace {
const char password[] = "p&ss=w#rd+1";
} // namespace

class TestCloud : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void login_withSpecialCharacters_storesTheToken();
    void refusedLogin_removesTheStoredToken();
    void sync_failedUpload_isReportedAndOthersArrive();
    void service_keepsEachUsersFilesApart();
    void sync_serviceGone_saysSo_andTheNextSyncUploads();
    void sync_garbledCheckReply_haltsTheUpload();
    void sync_largeFile_isStreamedFromDisk();
    void sync_unusualNames_arriveExactly_data();
    void sync_unusualNames_arriveExactly();
    void updateCheck_showsVersionsAsText_data();
    void updateCheck_showsVersionsAsText();
    void updateNotice_showsOncePerVersion_skippedOrRemindedLater();
    void mainWindow_syncTwice_sendsRecordsAndMissingFilesOnly();
    void mainWindow_rejectedToken_bringsBackTheLogin();

private:
    QString login();
    // Types alice's login into the next login dialog that comes up, counting it.
    static void answerLogin(int& logins);
    QJsonArray serverList(const QString& what);
    // Where the service keeps a user's copy of the file with this MD5.
    QString storedCopy(const QString& md5, const QString& user = "alice") const
    {
        return serverData->path() + "/files/" +
               QCryptographicHash::hash(user.toUtf8(), QCryptographicHash::Sha256).toHex().left(32) + "/" + md5;
    }
    int countRequests(const QString& prefix);
    static QStringList shownLines(const FileSyncManager& sync)
    {
        return WindowFixture::listTexts(sync.findChild<QListWidget*>("fileUploadList"));
    }
    std::unique_ptr<QTemporaryDir> serverData;
    std::unique_ptr<StandInServer> server;
    std::unique_ptr<LibraryFixture> library;
};

void TestCloud::initTestCase()
{
    serverData = std::make_unique<QTemporaryDir>();
    QCOMPARE(QProcess::execute(LIRENTA_SERVICES_DIR "/cloud-standin",
                               {"--data", serverData->path(), "--add-user", "alice", password}),
             0);
    server =
        std::make_unique<StandInServer>("cloud-standin", QStringList{"--data", serverData->path(), "--test-routes"});
    QVERIFY(server->isRunning());
}

void TestCloud::init()
{
    library = std::make_unique<LibraryFixture>();
    LibrarySettings settings;
    settings.remove("cloudToken");
    settings.setValue("baseUrl", server->address().toString());
    settings.setValue("guid", "{test-guid}");
}

void TestCloud::cleanup()
{
    library.reset();
}

QJsonArray TestCloud::serverList(const QString& what)
{
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(server->address().resolved(QUrl("/standin/" + what))));
    QSignalSpy done(reply, &QNetworkReply::finished);
    done.wait(10000);
    const QJsonArray list = QJsonDocument::fromJson(reply->readAll()).array();
    delete reply;
    return list;
}

int TestCloud::countRequests(const QString& prefix)
{
    return int(server->requests().filter(prefix).size());
}

QString TestCloud::login()
{
    Login dialog;
    dialog.findChild<QLineEdit*>("loginText")->setText("alice");
    dialog.findChild<QLineEdit*>("passwordText")->setText(password);
    dialog.findChild<QPushButton*>("btnLogin")->click();
    (void)QTest::qWaitFor([&] { return dialog.result() == QDialog::Accepted; }, 10000);
    return dialog.getToken();
}

void TestCloud::answerLogin(int& logins)
{
    Prompt::queueDialogAnswer([&logins](QDialog* dialog) {
        ++logins;
        dialog->findChild<QLineEdit*>("loginText")->setText("alice");
        dialog->findChild<QLineEdit*>("passwordText")->setText(password);
        dialog->findChild<QPushButton*>("btnLogin")->click();
    });
}

void TestCloud::login_withSpecialCharacters_storesTheToken()
{
    const QString token = login();
    QCOMPARE(token.size(), 64);
    LibrarySettings settings;
    QCOMPARE(settings.value("cloudToken").toString(), token);
    QCOMPARE(QFile::permissions(settings.fileName()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
    QFile file(settings.fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("p&ss"));
    // Nor does the service's request log keep it.
    const QString log = server->requests().join('\n');
    QVERIFY(log.contains("/upload/token/"));
    QVERIFY(!log.contains("p%26ss") && !log.contains("p&ss"));
}

void TestCloud::refusedLogin_removesTheStoredToken()
{
    login();
    LibrarySettings().setValue("cloudToken", QString(64, 'a'));
    Login dialog;
    QTRY_VERIFY(!LibrarySettings().contains("cloudToken"));
    dialog.findChild<QLineEdit*>("loginText")->setText("alice");
    dialog.findChild<QLineEdit*>("passwordText")->setText("wrong");
    dialog.findChild<QPushButton*>("btnLogin")->click();
    QTRY_COMPARE(dialog.findChild<QTextBrowser*>("textBrowser")->toPlainText(), QString("Login was not accepted."));
    QVERIFY(!LibrarySettings().contains("cloudToken"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestCloud::sync_failedUpload_isReportedAndOthersArrive()
{
    login();
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    seeder.addBook({.title = "Fails", .fileNames = {"fails.pdf"}});
    seeder.addBook({.title = "Arrives", .fileNames = {"arrives.pdf"}});
    QFile failing(library->filesDir() + "fails.pdf");
    QVERIFY(failing.open(QIODevice::ReadOnly));
    const QString failingMd5 = QCryptographicHash::hash(failing.readAll(), QCryptographicHash::Md5).toHex();
    serverList("fail-upload?md5=" + failingMd5);

    FileSyncManager sync;
    QSignalSpy finished(&sync, &FileSyncManager::finished);
    QVERIFY(finished.wait(20000));
    const QStringList outcomes = shownLines(sync);
    QVERIFY2(outcomes.contains("fails.pdf: failed: The server answered with an error (HTTP 500)."),
             qPrintable(outcomes.join("; ")));
    QVERIFY(outcomes.contains("arrives.pdf: uploaded"));
    QTRY_COMPARE(sync.pendingRecordUploads(), 0);
}

// Whether a file is stored already is answered per user: one user learns nothing of another's
// files, and an MD5 that is not one never reaches a path.
void TestCloud::service_keepsEachUsersFilesApart()
{
    QCOMPARE(QProcess::execute(LIRENTA_SERVICES_DIR "/cloud-standin",
                               {"--data", serverData->path(), "--add-user", "bob", "bobs secret"}),
             0);
    login();
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    seeder.addBook({.title = "Alice's own", .fileNames = {"own.pdf"}});
    FileSyncManager sync;
    QSignalSpy finished(&sync, &FileSyncManager::finished);
    QVERIFY(finished.wait(20000));
    QFile file(library->filesDir() + "own.pdf");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString md5 = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex();
    QVERIFY(QFile::exists(storedCopy(md5)));

    QNetworkAccessManager manager;
    const auto answer = [&](const QString& pathAndQuery) {
        QNetworkReply* reply = manager.get(QNetworkRequest(server->address().resolved(QUrl(pathAndQuery))));
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(10000);
        const QByteArray body = reply->readAll();
        delete reply;
        return QJsonDocument::fromJson(body).object();
    };
    const QString bobsToken =
        answer("/upload/token/?guid=g&username=bob&password=bobs%20secret").value("token").toString();
    QCOMPARE(bobsToken.size(), 64);
    const QString aliceToken = LibrarySettings().cloudToken();
    QCOMPARE(answer("/upload/check/?cloudToken=" + aliceToken + "&md5=" + md5).value("exists").toString(),
             QString("true"));
    QCOMPARE(answer("/upload/check/?cloudToken=" + bobsToken + "&md5=" + md5).value("exists").toString(),
             QString("false"));
    QCOMPARE(answer("/upload/check/?cloudToken=" + bobsToken + "&md5=..%2F..%2Fcloud.db").value("exists").toString(),
             QString("false"));
}

void TestCloud::sync_serviceGone_saysSo_andTheNextSyncUploads()
{
    login();
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    seeder.addBook({.title = "Patient", .fileNames = {"patient.pdf"}});
    server.reset(); // the service goes away

    auto* sync = new FileSyncManager;
    QTRY_VERIFY_WITH_TIMEOUT(!sync->isRunning(), 20000);
    const QStringList lines = shownLines(*sync);
    QVERIFY2(lines.join('\n').contains("could not be reached"), qPrintable(lines.join('\n')));
    QVERIFY2(lines.last().contains("files uploaded: 0") && lines.last().contains("(stopped early)"),
             qPrintable(lines.last()));

    // Back again (on another port): the same window's next run uploads the file.
    server =
        std::make_unique<StandInServer>("cloud-standin", QStringList{"--data", serverData->path(), "--test-routes"});
    QVERIFY(server->isRunning());
    LibrarySettings().setValue("baseUrl", server->address().toString());
    sync->startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!sync->isRunning(), 20000);
    QCOMPARE(shownLines(*sync).last(), QString("Records sent: 1 (every record goes each time), files already there: 0, "
                                               "files uploaded: 1, files failed: 0"));
    QCOMPARE(countRequests("POST /upload/file/"), 1);
    delete sync;
}

void TestCloud::sync_garbledCheckReply_haltsTheUpload()
{
    login();
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    seeder.addBook({.title = "First", .fileNames = {"first.pdf"}});
    seeder.addBook({.title = "Second", .fileNames = {"second.pdf"}});
    serverList("garble-checks?on=1");
    const int checks = countRequests("/upload/check/");
    const int uploads = countRequests("POST /upload/file/");
    {
        FileSyncManager sync;
        QTRY_VERIFY_WITH_TIMEOUT(!sync.isRunning(), 20000);
        const QStringList lines = shownLines(sync);
        QVERIFY2(lines.join('\n').contains("The service did not answer as expected; the upload stopped."),
                 qPrintable(lines.join('\n')));
        QVERIFY2(lines.last().contains("(stopped early)"), qPrintable(lines.last()));
    }
    serverList("garble-checks?on=0");
    // The first unreadable answer ends the run: no second question, no upload.
    QCOMPARE(countRequests("/upload/check/") - checks, 1);
    QCOMPARE(countRequests("POST /upload/file/"), uploads);
}

void TestCloud::sync_largeFile_isStreamedFromDisk()
{
    login();
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    seeder.addBook({.title = "Large", .fileNames = {"large.pdf"}});
    QFile large(library->filesDir() + "large.pdf");
    QVERIFY(large.open(QIODevice::WriteOnly));
    QByteArray block(1024 * 1024, 'L');
    QCryptographicHash hash(QCryptographicHash::Md5);
    for (int i = 0; i < 200; ++i) {
        block[0] = char(i);
        large.write(block);
        hash.addData(block);
    }
    large.close();
    const QString md5 = hash.result().toHex();

    const auto peakKiB = [] {
        QFile status("/proc/self/status");
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                return line.mid(6).trimmed().split(' ').first().toLongLong();
            }
        }
        return qint64(-1);
    };
    const qint64 before = peakKiB();
    FileSyncManager sync;
    QSignalSpy finished(&sync, &FileSyncManager::finished);
    QVERIFY(finished.wait(60000));
    const qint64 growth = peakKiB() - before;
    qInfo("peak memory grew by %lld KiB while uploading a 200 MiB file", growth);
    QVERIFY2(growth < 64 * 1024, "the upload must not hold the file in memory");
    QFile copy(storedCopy(md5));
    QCOMPARE(copy.size(), qint64(200) * 1024 * 1024);
}

void TestCloud::sync_unusualNames_arriveExactly_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& stem : UnusualNames::stems(251)) { // 255 bytes with ".pdf"
        QTest::newRow(qPrintable(stem.left(24))) << stem;
    }
}

// The service records the file under the path the library holds, character for character,
// and the bytes under their MD5.
void TestCloud::sync_unusualNames_arriveExactly()
{
    QFETCH(QString, name);
    login();
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    seeder.addBook({.title = "Unusual", .fileNames = {name + ".pdf"}});
    const QString path = library->filesDir() + name + ".pdf";
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString md5 = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex();

    FileSyncManager sync;
    QSignalSpy finished(&sync, &FileSyncManager::finished);
    QVERIFY(finished.wait(20000));
    QString received;
    for (const QJsonValue& entry : serverList("names")) {
        if (entry.toObject().value("md5").toString() == md5) {
            received = entry.toObject().value("name").toString();
        }
    }
    QCOMPARE(received, path);
    QFile copy(storedCopy(md5));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(QString(QCryptographicHash::hash(copy.readAll(), QCryptographicHash::Md5).toHex()), md5);
}

void TestCloud::updateCheck_showsVersionsAsText_data()
{
    QTest::addColumn<QString>("latest");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("notice");
    QTest::newRow("newer version") << "0.5" << true << "Lirenta 0.5 is available; this is 0.4 Alpha.";
    QTest::newRow("mark-up stays text") << "<b>1.0</b>" << true << "Lirenta <b>1.0</b> is available";
    QTest::newRow("empty body") << "" << false << "Lirenta 0.4 Alpha is the newest version.";
    QTest::newRow("HTTP error") << "404" << false << "The update check failed";
    QTest::newRow("reply over its cap") << QString(5000, '9') << false
                                        << "The update check failed: The reply was larger than 4 kB";
}

void TestCloud::updateCheck_showsVersionsAsText()
{
    QFETCH(QString, latest);
    QFETCH(bool, shown);
    QFETCH(QString, notice);
    NoticeLog::clear();
    QTemporaryDir data;
    QStringList arguments = {"--data", data.path()};
    if (!latest.isEmpty() && latest != "404") {
        arguments << "--latest-version" << latest;
    }
    StandInServer updates("cloud-standin", arguments);
    QVERIFY(updates.isRunning());
    qputenv("LIRENTA_UPDATE_URL", updates.address().resolved(QUrl(latest == "404" ? "/missing/" : "/")).toEncoded());
    QString text;
    UpdateManager* manager = nullptr;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<UpdateManager*>(QApplication::activeModalWidget())) {
            text = dialog->shownText();
            dialog->reject();
        }
    });
    closer.start(20);
    manager = new UpdateManager;
    QSignalSpy checked(manager, &UpdateManager::checked);
    QVERIFY(checked.wait(10000) || checked.size() == 1);
    QCOMPARE(checked.first().first().toBool(), shown);
    if (shown) {
        QVERIFY2(text.contains("You are currently running version: 0.4 Alpha"), qPrintable(text));
        QVERIFY2(text.contains("The latest version is: " + latest), qPrintable(text));
    }
    // The answer is kept for the Notices window either way.
    QVERIFY(!NoticeLog::notices().isEmpty());
    QVERIFY2(NoticeLog::notices().last().text.startsWith(notice), qPrintable(NoticeLog::notices().last().text));
    delete manager;
    qputenv("LIRENTA_UPDATE_URL", "http://127.0.0.1:9/");
}

// Each check as at a start of the program: the notice shows, and is answered with `button`.
void TestCloud::updateNotice_showsOncePerVersion_skippedOrRemindedLater()
{
    QTemporaryDir data;
    const auto check = [&](const QString& latest, const QString& button) {
        StandInServer updates("cloud-standin", {"--data", data.path(), "--latest-version", latest});
        qputenv("LIRENTA_UPDATE_URL", updates.address().resolved(QUrl("/")).toEncoded());
        bool shown = false;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<UpdateManager*>(QApplication::activeModalWidget())) {
                shown = true;
                for (QPushButton* choice : dialog->findChildren<QPushButton*>()) {
                    if (choice->text() == button) {
                        choice->click();
                    }
                }
            }
        });
        answer.start(20);
        std::unique_ptr<UpdateManager> manager = std::make_unique<UpdateManager>();
        QSignalSpy checked(manager.get(), &UpdateManager::checked);
        checked.wait(10000);
        qputenv("LIRENTA_UPDATE_URL", "http://127.0.0.1:9/");
        return shown;
    };
    QVERIFY(check("2.0", "Skip This Version"));
    QVERIFY(!check("2.0", "Skip This Version"));
    QVERIFY2(NoticeLog::notices().last().text.startsWith("Lirenta 2.0 is available"),
             qPrintable(NoticeLog::notices().last().text));
    // A newer one shows; put off, it stays away until a week has passed.
    QVERIFY(check("2.1", "Remind Me Later"));
    QVERIFY(!check("2.1", "Remind Me Later"));
    LibrarySettings().setValue("updates/remindAfter", QDateTime::currentDateTimeUtc().addSecs(-1));
    QVERIFY(check("2.1", "Remind Me Later"));
    LibrarySettings().remove("updates");
}

void TestCloud::mainWindow_syncTwice_sendsRecordsAndMissingFilesOnly()
{
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    const QString longTitle = QString("A Title Of Exactly Sixty Characters For The List Test..").leftJustified(60, '!');
    const int first = seeder.addBook(
        {"First \"quoted\" book", {"Ann One"}, "He said \"hi\".", {"first.pdf"}, QColor(Qt::red), 1, "", "12", ""});
    seeder.addBook({.title = longTitle, .fileNames = {"second.epub", "second.pdf"}});
    seeder.addBook({.title = "Gone File", .fileNames = {"gone.pdf"}});
    QFile::remove(library->filesDir() + "gone.pdf"); // gone from disk since it was added
    library->library().close();                      // the window opens the same library
    qputenv("LIRENTA_CLOUD_URL", server->address().toEncoded());
    const int recordsBefore = serverList("records").size();
    MainWindow window(library->library());
    QVERIFY(window.isStartedUp());
    int logins = 0;
    answerLogin(logins);
    window.findChild<QAction*>("actionSync")->trigger();
    QCOMPARE(logins, 1);
    FileSyncManager* sync = window.getSyncManager();
    QVERIFY(sync);
    window.findChild<QAction*>("actionSync")->trigger();
    QCOMPARE(window.getSyncManager(), sync);
    QTRY_VERIFY_WITH_TIMEOUT(!sync->isRunning(), 20000);
    QTRY_COMPARE(sync->pendingRecordUploads(), 0);

    // Each record is a JSON object of strings, with its authors and files as arrays of objects,
    // and the cover's bytes in base64 when the book has a cover of its own.
    const QJsonArray records = serverList("records");
    QCOMPARE(records.size() - recordsBefore, 3);
    QMap<QString, QJsonObject> sent;
    for (int i = recordsBefore; i < records.size(); ++i) {
        const QJsonObject record = QJsonDocument::fromJson(records.at(i).toString().toUtf8()).object();
        sent.insert(record.value("title").toString(), record);
    }
    const QJsonObject record = sent.value("First \"quoted\" book");
    QStringList keys = {"bid",       "title",     "pageCount", "datePublished", "description",
                        "type",      "coverFile", "iid",       "created",       "updated",
                        "publisher", "isbn10",    "isbn13",    "authors",       "files"};
    keys.sort();
    QCOMPARE(record.keys(), keys);
    for (const QString& key : record.keys()) {
        QVERIFY2(record.value(key).isString() == (key != "authors" && key != "files"), qPrintable(key));
    }
    QCOMPARE(record.value("iid").toString(), QString::number(first));
    QCOMPARE(record.value("pageCount").toString(), QString("12"));
    QCOMPARE(record.value("description").toString(), QString("He said hi.")); // quotes dropped here only
    QFile cover(library->dataDir() + QString::number(first) + ".jpg");
    QVERIFY(cover.open(QIODevice::ReadOnly));
    QCOMPARE(QByteArray::fromBase64(record.value("coverFile").toString().toLatin1()), cover.readAll());
    const QJsonObject author = record.value("authors").toArray().first().toObject();
    QCOMPARE(author.keys(), QStringList({"firstName", "lastName", "name"}));
    QCOMPARE(author.value("lastName").toString(), QString("One"));
    const QJsonObject file = record.value("files").toArray().first().toObject();
    QCOMPARE(file.keys(), QStringList({"created", "fileExtension", "fileMd5", "fileName", "filePath", "fileSize",
                                       "fileType", "firstBytes", "iid", "updated"}));
    QCOMPARE(file.value("fileSize").toString(), QString::number(QFileInfo(library->filesDir() + "first.pdf").size()));
    QCOMPARE(file.value("iid").toString(), QString::number(first));
    QVERIFY(!sent.value(longTitle).contains("coverFile"));
    QCOMPARE(sent.value(longTitle).value("files").toArray().size(), 2);
    for (const char* name : {"first.pdf", "second.epub", "second.pdf"}) {
        QFile file(library->filesDir() + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QFile copy(storedCopy(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()));
        QVERIFY2(copy.open(QIODevice::ReadOnly), qPrintable(copy.fileName() + " " + shownLines(*sync).join("; ")));
        QCOMPARE(copy.readAll(), bytes);
    }
    QCOMPARE(
        sync->findChild<QListWidget*>("uploadList")->findItems(longTitle.left(50) + "...", Qt::MatchExactly).size(), 1);
    const QStringList outcomes = shownLines(*sync);
    QVERIFY2(outcomes.contains("gone.pdf: skipped, the file is missing"), qPrintable(outcomes.join("; ")));
    QVERIFY(outcomes.contains("first.pdf: uploaded"));

    // A book added since: the next Sync, in the same window and without a login, sends its file
    // and no other.
    seeder.addBook({.title = "Added Later", .fileNames = {"later.pdf"}});
    const int files = countRequests("POST /upload/file/");
    window.findChild<QAction*>("actionSync")->trigger();
    QCOMPARE(window.getSyncManager(), sync);
    QTRY_VERIFY_WITH_TIMEOUT(!sync->isRunning(), 20000);
    QCOMPARE(countRequests("POST /upload/file/"), files + 1);
    QVERIFY2(shownLines(*sync).last().contains("files already there: 3, files uploaded: 1,"),
             qPrintable(shownLines(*sync).last()));
    QCOMPARE(logins, 1);
    qunsetenv("LIRENTA_CLOUD_URL");
    library->library().close();
}

void TestCloud::mainWindow_rejectedToken_bringsBackTheLogin()
{
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    seeder.addBook({.title = "Kept Safe", .fileNames = {"safe.pdf"}});
    library->library().close(); // the window opens the same library
    // A token of the right shape that the service does not know (revoked, say).
    LibrarySettings().setValue("cloudToken", QString(64, 'a'));
    qputenv("LIRENTA_CLOUD_URL", server->address().toEncoded());
    MainWindow window(library->library());
    QVERIFY(window.isStartedUp());
    int logins = 0;
    answerLogin(logins);
    const int uploads = countRequests("POST /upload/file/");
    window.findChild<QAction*>("actionSync")->trigger();
    QCOMPARE(logins, 0); // the stored token looked fine
    QTRY_COMPARE_WITH_TIMEOUT(logins, 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(countRequests("POST /upload/file/"), uploads + 1, 20000);
    const QString stored = LibrarySettings().value("cloudToken").toString();
    QVERIFY(CloudApi::isValidToken(stored));
    QVERIFY(stored != QString(64, 'a'));
    qunsetenv("LIRENTA_CLOUD_URL");
    library->library().close();
}

LIRENTA_TEST_MAIN(TestCloud)
#include "TestCloud.moc"
