#include "Authors.h"
#include "Book.h"
#include "BookProperties.h"
#include "Books.h"
#include "DataDownloader.h"
#include "ItemFiles.h"
#include "ItemViews.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "OpenedUrls.h"
#include "Prompt.h"
#include "QtModules.h"
#include "StandInServer.h"
#include "TestEnvironment.h"
#include "ViewItem.h"

class TestBookProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void emptyTitle_isRefusedAndDialogStaysOpen();
    void fileThatIsNoBook_isRefusedWithItsReason_data();
    void fileThatIsNoBook_isRefusedWithItsReason();
    void editMode_hidesNewBookButtons_andViewOpensTheFile();
    void addedFile_setsLastSelectDir_andRemovedFileLeavesTheRecordOnSave();
    void chosenCover_becomesTheCoverOnSave_userFileKept();
    void failedLookUp_leavesTheFormAlone();
    void sameContentTwice_isNoticed_andCancelAddsNothing();
    void droppedImage_becomesTheCover_otherDropsAreRefused();

private:
    template <typename T> T* child(QWidget& dialog, const char* name) { return dialog.findChild<T*>(name); }
    std::unique_ptr<StandInServer> server;
    std::unique_ptr<LibraryFixture> library;
    std::unique_ptr<LibrarySeeder> seeder;
};

void TestBookProperties::initTestCase()
{
    server = std::make_unique<StandInServer>("googlebooks-standin");
    QVERIFY(server->isRunning());
    qputenv("LIRENTA_GOOGLE_BOOKS_URL", server->address().toEncoded());
}

void TestBookProperties::init()
{
    library = std::make_unique<LibraryFixture>();
    seeder = std::make_unique<LibrarySeeder>(library->dataDir(), library->filesDir());
    Prompt::clearShownTexts();
}

void TestBookProperties::cleanup()
{
    seeder.reset();
    library.reset();
}

void TestBookProperties::fileThatIsNoBook_isRefusedWithItsReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text named .pdf") << "notes.pdf" << QByteArray("just text") << "is named as a PDF but is not one";
    QTest::newRow("empty") << "empty.epub" << QByteArray() << "is empty";
}

void TestBookProperties::fileThatIsNoBook_isRefusedWithItsReason()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString path = library->writeFile(name, content);
    BookProperties dialog(nullptr, -1);
    Prompt::queueFileName(path);
    child<QToolButton>(dialog, "btnSelectFile")->click();
    QVERIFY2(Prompt::shownTexts().last().contains(reason), qPrintable(Prompt::shownTexts().last()));
    QCOMPARE(dialog.getBook()->getFiles()->count(), 0);
    QCOMPARE(child<QLineEdit>(dialog, "bookTitle")->text(), QString());
}

void TestBookProperties::emptyTitle_isRefusedAndDialogStaysOpen()
{
    BookProperties dialog(nullptr, -1);
    child<QPushButton>(dialog, "btnSave")->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(Prompt::shownTexts().last(), QString("You must enter a book title."));
    QCOMPARE(LibraryFixture::rowCount("items"), 0);
}

void TestBookProperties::editMode_hidesNewBookButtons_andViewOpensTheFile()
{
    const int iid = seeder->addBook({.title = "With File",
                                     .authors = {"A B"},
                                     .description = "<b>desc</b>",
                                     .fileNames = {"with #1 file.pdf"},
                                     .rating = 4});
    BookProperties dialog(nullptr, iid);
    QVERIFY(child<QToolButton>(dialog, "btnSelectFile")->isHidden());
    QVERIFY(child<QToolButton>(dialog, "btnReset")->isHidden());
    QVERIFY(child<QToolButton>(dialog, "btnOpenFile")->isEnabled());
    QCOMPARE(child<QTableWidget>(dialog, "fileTable")->rowCount(), 1);

    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    child<QToolButton>(dialog, "btnOpenFile")->click();
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(opened.urls.size(), 1);
    QCOMPARE(opened.urls.first().toLocalFile(), library->filesDir() + "with #1 file.pdf");

    BookProperties empty(nullptr, seeder->addBook({.title = "No File"}));
    QVERIFY(!child<QToolButton>(empty, "btnOpenFile")->isEnabled());
}

void TestBookProperties::addedFile_setsLastSelectDir_andRemovedFileLeavesTheRecordOnSave()
{
    const int iid = seeder->addBook({.title = "Two Files", .fileNames = {"first.pdf", "second.epub"}});
    BookProperties dialog(nullptr, iid);
    const QString third = library->writeFile("sub/third.mobi", "mobi");
    Prompt::queueFileName(third);
    child<QToolButton>(dialog, "btnAddFile")->click();
    QCOMPARE(LibrarySettings().value("lastSelectDir").toString(), QFileInfo(third).absolutePath());
    auto* table = child<QTableWidget>(dialog, "fileTable");
    QCOMPARE(table->rowCount(), 3);

    table->selectRow(0);
    child<QToolButton>(dialog, "btnRemoveFile")->click();
    QCOMPARE(table->rowCount(), 2);
    child<QPushButton>(dialog, "btnSave")->click();

    Book stored(nullptr, iid);
    QCOMPARE(stored.getFiles()->getFilePaths(), QStringList({library->filesDir() + "second.epub", third}));
    QCOMPARE(LibraryFixture::rowCount("files"), 2);
    QVERIFY(QFile::exists(library->filesDir() + "first.pdf"));
}

void TestBookProperties::chosenCover_becomesTheCoverOnSave_userFileKept()
{
    const int iid = seeder->addBook({.title = "Coverless"});
    const QString picture = library->filesDir() + "my picture.png";
    QImage image(60, 90, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(picture));

    BookProperties dialog(nullptr, iid);
    Prompt::queueFileName(library->writeFile("not-an-image.png", "plain text"));
    child<QToolButton>(dialog, "btnBookCover")->click();
    QVERIFY(Prompt::shownTexts().last().contains("not an image"));
    Prompt::queueFileName(picture);
    child<QToolButton>(dialog, "btnBookCover")->click();
    QVERIFY(!child<QToolButton>(dialog, "btnBookCover")->icon().isNull());
    child<QPushButton>(dialog, "btnSave")->click();

    Book stored(nullptr, iid);
    QCOMPARE(stored.getCoverFile(), library->dataDir() + QString::number(iid) + ".jpg");
    const QImage cover(stored.getCoverFile());
    QCOMPARE(cover.size(), QSize(60, 90));
    QVERIFY(QColor(cover.pixel(30, 45)).red() > 200);
    QVERIFY(QFile::exists(picture));
}

void TestBookProperties::failedLookUp_leavesTheFormAlone()
{
    BookProperties dialog(nullptr, -1);
    child<QLineEdit>(dialog, "bookTitle")->setText("My own title");
    child<QLineEdit>(dialog, "bookPublisher")->setText("My publisher");
    // A download that fails after a volume was chosen.
    const QString failing = server->address().toString() + "/status-500";
    auto* downloader = dialog.findChild<DataDownloader*>();
    QVERIFY(downloader);
    QSignalSpy failed(downloader, &DataDownloader::downloadFailed);
    downloader->googleInfoDownload(failing);
    QVERIFY(failed.wait());
    QCOMPARE(child<QLineEdit>(dialog, "bookTitle")->text(), QString("My own title"));
    QCOMPARE(child<QLineEdit>(dialog, "bookPublisher")->text(), QString("My publisher"));
    QVERIFY(Prompt::shownTexts().last().contains("HTTP 500"));

    child<QLineEdit>(dialog, "bookTitle")->clear();
    child<QToolButton>(dialog, "btnDlTitle")->click();
    QVERIFY(Prompt::shownTexts().last().contains("Please try altering the title."));
    child<QToolButton>(dialog, "btnDlISBN")->click();
    QVERIFY(Prompt::shownTexts().last().contains("Please enter alter the ISBN"));
}

void TestBookProperties::sameContentTwice_isNoticed_andCancelAddsNothing()
{
    seeder->addBook({.title = "The Dispossessed", .fileNames = {"dispossessed.pdf"}});
    QFile stored(library->filesDir() + "dispossessed.pdf");
    QVERIFY(stored.open(QIODevice::ReadOnly));
    const QString copy = library->writeFile("renamed/anarres.pdf", stored.readAll());

    BookProperties dialog(nullptr, -1);
    Prompt::queueAnswer(QMessageBox::Cancel);
    QVERIFY(!dialog.chooseFile(copy));
    QVERIFY2(Prompt::shownTexts().last().contains("\u201CThe Dispossessed\u201D"),
             qPrintable(Prompt::shownTexts().last()));
    QCOMPARE(child<QTableWidget>(dialog, "fileTable")->rowCount(), 0);
    QCOMPARE(child<QLineEdit>(dialog, "bookTitle")->text(), QString());

    Prompt::queueAnswer(QMessageBox::Yes); // Add Anyway
    QVERIFY(dialog.chooseFile(copy));
    QCOMPARE(child<QLineEdit>(dialog, "bookTitle")->text(), QString("anarres"));

    // Other content is taken without a question.
    const int asked = Prompt::shownTexts().size();
    BookProperties other(nullptr, -1);
    QVERIFY(other.chooseFile(library->writeFile("new.pdf", "%PDF-1.4 something else")));
    QCOMPARE(Prompt::shownTexts().size(), asked);
}

void TestBookProperties::droppedImage_becomesTheCover_otherDropsAreRefused()
{
    BookProperties dialog(nullptr, -1);
    auto* button = child<QToolButton>(dialog, "btnBookCover");
    const auto drop = [&](const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &dropped);
        return dropped.isAccepted();
    };
    QVERIFY(!drop(library->writeFile("notes.txt", "not a picture")));
    QVERIFY(dialog.getBook()->getCoverFile().startsWith(":"));
    QImage picture(30, 40, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    QDir().mkpath(library->filesDir());
    QVERIFY(picture.save(library->filesDir() + "cover.png"));
    QVERIFY(drop(library->filesDir() + "cover.png"));
    QVERIFY(dialog.getBook()->getCoverFile().contains("coverfile-tmp-"));
    QVERIFY(QFile::exists(library->filesDir() + "cover.png")); // the user's file stays
}

LIRENTA_TEST_MAIN(TestBookProperties)
#include "TestBookProperties.moc"
