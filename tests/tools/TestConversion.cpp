#include "Book.h"
#include "ConfigApps.h"
#include "ConversionWizard.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "Prompt.h"
#include "QtModules.h"
#include "Reader.h"
#include "TestEnvironment.h"

#include <signal.h>

class TestConversion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void configApps_defaultLocation_storedWithoutDialog();
    void configApps_browse_data();
    void configApps_browse();
    void wizard_failingConverter_showsFailureAndAttachesNothing();
    void wizard_closedWhileConverting_stopsTheConverter();
    void wizard_againAddsNoSecondRow_andNeverOverwritesAnotherEpub();
    void wizard_refusesWhatItCannotConvert_data();
    void wizard_refusesWhatItCannotConvert();
    void realEbookConvert_makesAnEpubTheReaderOpens();

private:
    QString makeExecutable(const QString& path, const QByteArray& script);
    // Runs the wizard on the records, presses Next on the first page and waits for the end.
    void runWizard(ConversionWizard& wizard, const QList<Item*>& items, int timeoutMs = 20000);
    QString writePdf(const QString& name);

    std::unique_ptr<LibraryFixture> library;
    QByteArray originalPath;
    bool backSeenEnabled = false;
};

void TestConversion::init()
{
    library = std::make_unique<LibraryFixture>();
    Prompt::clearShownTexts();
    originalPath = qgetenv("PATH");
    LibrarySettings settings;
    for (const char* key : {"calibreDirPath", "calibreConvertorExe", "calibreExePath", "calibreConvertorPath",
                            "sigilDirPath", "sigilExePath"}) {
        settings.remove(key);
    }
    ConfigApps::setDefaultRoot(library->filesDir() + "opt");
    QDir().mkpath(library->filesDir() + "opt");
}

void TestConversion::cleanup()
{
    qputenv("PATH", originalPath);
    library.reset();
}

QString TestConversion::makeExecutable(const QString& path, const QByteArray& script)
{
    TestEnvironment::writeFile(path, script);
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

QString TestConversion::writePdf(const QString& name)
{
    const QString path = library->filesDir() + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QPdfWriter writer(path);
    writer.setTitle("Nineteen Pages");
    QPainter painter(&writer);
    QFont font = painter.font();
    font.setPointSize(14);
    painter.setFont(font);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) {
            writer.newPage();
        }
        painter.drawText(QRect(300, 300, 8000, 8000), Qt::TextWordWrap,
                         QString("Chapter %1\n\nIt was a bright cold day in April, and the clocks were striking "
                                 "thirteen. This is page %1 of the book.")
                             .arg(page));
    }
    return path;
}

void TestConversion::runWizard(ConversionWizard& wizard, const QList<Item*>& items, int timeoutMs)
{
    backSeenEnabled = false;
    QTimer driver;
    int step = 0;
    connect(&driver, &QTimer::timeout, [&] {
        if (!wizard.isVisible()) {
            return;
        }
        if (wizard.currentId() == 0 && step == 0) {
            step = 1;
            static_cast<QWizard&>(wizard).next();
        } else if (wizard.currentId() == 1) {
            QAbstractButton* back = wizard.button(QWizard::BackButton);
            backSeenEnabled = backSeenEnabled || (back->isVisible() && back->isEnabled());
            if (wizard.button(QWizard::CommitButton)->isEnabled() &&
                wizard.button(QWizard::CommitButton)->isVisible()) {
                static_cast<QWizard&>(wizard).next();
            } else if (wizard.button(QWizard::NextButton)->isEnabled() &&
                       wizard.button(QWizard::NextButton)->isVisible()) {
                static_cast<QWizard&>(wizard).next();
            }
        } else if (wizard.currentId() == 2) {
            QAbstractButton* back = wizard.button(QWizard::BackButton);
            backSeenEnabled = backSeenEnabled || (back->isVisible() && back->isEnabled());
            wizard.accept();
        } else if (step == 1 && wizard.currentId() == 0) {
            wizard.reject();
        }
    });
    driver.start(20);
    QTimer::singleShot(timeoutMs, &wizard, &QWizard::reject);
    wizard.convert(items);
}

void TestConversion::configApps_defaultLocation_storedWithoutDialog()
{
    qputenv("PATH", "/nonexistent");
    const QString root = ConfigApps::defaultRoot();
    makeExecutable(root + "/calibre/calibre", "#!/bin/sh\n");
    makeExecutable(root + "/calibre/ebook-convert", "#!/bin/sh\n");
    ConfigApps page;
    LibrarySettings settings;
    QCOMPARE(settings.value("calibreDirPath").toString(), root + "/calibre");
    QCOMPARE(settings.value("calibreConvertorExe").toString(), QString("ebook-convert"));
    QCOMPARE(settings.value("calibreExePath").toString(), root + "/calibre/calibre");
    QCOMPARE(settings.value("calibreConvertorPath").toString(), root + "/calibre/ebook-convert");
    QVERIFY(Prompt::shownTexts().isEmpty());
}

void TestConversion::configApps_browse_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("found");
    QTest::newRow("ebook-convert without calibre") << "convert-only" << false;
    QTest::newRow("chooser cancelled") << "cancel" << false;
    QTest::newRow("calibre in the chosen folder") << "good" << true;
}

void TestConversion::configApps_browse()
{
    QFETCH(QString, layout);
    QFETCH(bool, found);
    qputenv("PATH", "/nonexistent");
    const QString chosen = library->filesDir() + "chosen";
    QDir().mkpath(chosen);
    if (layout == "convert-only") {
        makeExecutable(chosen + "/ebook-convert", "#!/bin/sh\n");
    } else if (layout == "good") {
        makeExecutable(chosen + "/calibre", "#!/bin/sh\n");
    }
    ConfigApps page;
    Prompt::queueFileName(layout == "cancel" ? QString() : chosen);
    page.findChild<QPushButton*>("btnBrowse")->click();
    QCOMPARE(LibrarySettings().value("calibreDirPath").toString(), found ? chosen : QString());
    if (layout == "cancel") {
        QCOMPARE(Prompt::shownTexts().last(), QString("Select Calibre's program directory...")); // no scolding
    } else if (!found) {
        QCOMPARE(Prompt::shownTexts().last(),
                 QString("Sorry, Calibre was not found at this location, click Browse and try again..."));
    }
}

void TestConversion::wizard_againAddsNoSecondRow_andNeverOverwritesAnotherEpub()
{
    const QString converter = makeExecutable(library->filesDir() + "conv/ebook-convert",
                                             "#!/bin/sh\necho \"converting $1\"\ncp \"$1\" \"$2\"\n");
    LibrarySettings().setValue("calibreConvertorPath", converter);
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    const int iid = seeder.addBook({.title = "Twice", .fileNames = {"my.pdfs/TWICE.PDF", "other.pdf"}});
    const int second = seeder.addBook({.title = "Second", .fileNames = {"second.pdf"}});
    const QString epub = library->filesDir() + "my.pdfs/TWICE.epub";
    for (int round = 0; round < 2; ++round) {
        Book book(nullptr, iid);
        Book other(nullptr, second);
        ConversionWizard wizard;
        QSignalSpy changed(&wizard, &ConversionWizard::itemChanged);
        runWizard(wizard, {&book, &other}); // the first item only
        QVERIFY(wizard.succeeded());
        QVERIFY(!backSeenEnabled);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(wizard.getOutputPath(), epub);
        QVERIFY(wizard.findChild<QPlainTextEdit*>("plainTextEdit")->toPlainText().contains("converting"));
    }
    QCOMPARE(Book(nullptr, iid).getFiles()->count(), 3);
    QCOMPARE(Book(nullptr, iid).getFiles()->getFilePaths().last(), epub);
    QCOMPARE(Book(nullptr, second).getFiles()->count(), 1);
    QCOMPARE(LibraryFixture::scalar(QString("SELECT COUNT(*) FROM files WHERE filePath = '%1'").arg(epub)).toInt(), 1);

    // An EPUB that is not the book's own stays as it is; the new one takes a free name, and the user is told.
    const int other = seeder.addBook({.title = "Other", .fileNames = {"mine.pdf"}});
    const QString foreign = library->writeFile("mine.epub", "someone's own epub");
    Book book(nullptr, other);
    ConversionWizard wizard;
    runWizard(wizard, {&book});
    QVERIFY(wizard.succeeded());
    QCOMPARE(wizard.getOutputPath(), library->filesDir() + "mine (2).epub");
    QVERIFY(wizard.findChild<QLabel*>("problemLabel")->text().contains("mine (2).epub"));
    QFile kept(foreign);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("someone's own epub"));
    QCOMPARE(Book(nullptr, other).getFiles()->getFilePaths().last(), library->filesDir() + "mine (2).epub");
}

void TestConversion::wizard_closedWhileConverting_stopsTheConverter()
{
    const QString pidFile = library->filesDir() + "converter.pid";
    const QString converter =
        makeExecutable(library->filesDir() + "conv/ebook-convert",
                       QString("#!/bin/sh\necho $$ > '%1'\nexec sleep 60\n").arg(pidFile).toUtf8());
    LibrarySettings().setValue("calibreConvertorPath", converter);
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    Book book(nullptr, seeder.addBook({.title = "Slow", .fileNames = {"slow.pdf"}}));
    ConversionWizard wizard;
    QSignalSpy changed(&wizard, &ConversionWizard::itemChanged);
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
        if (wizard.isVisible() && wizard.currentId() == 0) {
            static_cast<QWizard&>(wizard).next();
        } else if (wizard.isVisible() && QFile::exists(pidFile)) {
            wizard.reject(); // the user closes the window while the converter runs
        }
    });
    driver.start(20);
    QTimer::singleShot(20000, &wizard, &QWizard::reject);
    wizard.convert({&book});

    QFile started(pidFile);
    QVERIFY(started.open(QIODevice::ReadOnly));
    const int pid = started.readAll().trimmed().toInt();
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid, 0), -1);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(book.getFiles()->count(), 1);
}

void TestConversion::wizard_failingConverter_showsFailureAndAttachesNothing()
{
    const QString converter =
        makeExecutable(library->filesDir() + "conv/ebook-convert", "#!/bin/sh\necho 'bad input' >&2\nexit 3\n");
    LibrarySettings().setValue("calibreConvertorPath", converter);
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    const int iid = seeder.addBook({.title = "Fails", .fileNames = {"fails.pdf"}});
    Book book(nullptr, iid);
    ConversionWizard wizard;
    QSignalSpy changed(&wizard, &ConversionWizard::itemChanged);
    runWizard(wizard, {&book});
    QVERIFY(!wizard.succeeded());
    QCOMPARE(changed.size(), 0);
    QCOMPARE(wizard.page(2)->title(), QString("Conversion Failed"));
    QVERIFY(wizard.page(2)->subTitle().contains("exit status 3"));
    QVERIFY(wizard.page(2)->subTitle().contains("bad input"));
    QCOMPARE(Book(nullptr, iid).getFiles()->count(), 1);

    // A converter that cannot be started at all says so too.
    makeExecutable(converter, "#!/no/such/interpreter\n");
    ConversionWizard again;
    runWizard(again, {&book});
    QVERIFY(!again.succeeded());
    QVERIFY2(again.page(2)->subTitle().contains("could not be started"), qPrintable(again.page(2)->subTitle()));
    QCOMPARE(Book(nullptr, iid).getFiles()->count(), 1);
}

void TestConversion::wizard_refusesWhatItCannotConvert_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no PDF") << "only.epub"
                            << "is not a PDF file";
    // 255 bytes: the file system's limit, so its ".epub" sibling cannot exist.
    QTest::newRow("longest PDF name") << QString(251, 'n') + ".pdf"
                                      << "longer than the file system allows";
}

void TestConversion::wizard_refusesWhatItCannotConvert()
{
    QFETCH(QString, fileName);
    QFETCH(QString, problem);
    const QString converter = makeExecutable(library->filesDir() + "conv/ebook-convert", "#!/bin/sh\nexit 0\n");
    LibrarySettings().setValue("calibreConvertorPath", converter);
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    const int iid = seeder.addBook({.title = "Cannot Convert", .fileNames = {fileName}});
    QVERIFY(QFile::exists(library->filesDir() + fileName));
    Book book(nullptr, iid);
    ConversionWizard wizard;
    QString shown;
    bool commitEnabled = true;
    QTimer::singleShot(200, &wizard, [&] {
        commitEnabled = wizard.button(QWizard::CommitButton)->isEnabled();
        shown = wizard.findChild<QLabel*>("problemLabel")->text();
        wizard.reject();
    });
    wizard.convert({&book});
    QVERIFY(!commitEnabled);
    QVERIFY2(shown.contains(problem), qPrintable(shown));
    QCOMPARE(Book(nullptr, iid).getFiles()->getFilePaths(), QStringList{library->filesDir() + fileName});
}

void TestConversion::realEbookConvert_makesAnEpubTheReaderOpens()
{
    const QString converter = QStandardPaths::findExecutable("ebook-convert");
    if (converter.isEmpty()) {
        QSKIP("Calibre's ebook-convert is not installed (scripts/setup.sh installs it)");
    }
    LibrarySettings().remove("calibreConvertorPath");
    const QString pdf = writePdf("real/Real Book.pdf");
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    const int iid = seeder.addBook({.title = "Real Book"});
    Book book(nullptr, iid);
    book.addFile(pdf);
    QVERIFY(book.insertBook());
    ConversionWizard wizard;
    runWizard(wizard, {&book}, 240000);
    QVERIFY2(wizard.succeeded(),
             qPrintable(wizard.findChild<QPlainTextEdit*>("plainTextEdit")->toPlainText().right(2000)));
    const QString epub = library->filesDir() + "real/Real Book.epub";
    QVERIFY(QFile::exists(epub));
    Reader reader(nullptr, epub);
    QVERIFY2(reader.getProblem().isEmpty(), qPrintable(reader.getProblem()));
    QVERIFY(!reader.getChapters().isEmpty());
    QVERIFY(QFile::exists(reader.currentUrl().toLocalFile()));
}

LIRENTA_TEST_MAIN(TestConversion)
#include "TestConversion.moc"
