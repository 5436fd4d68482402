#include "Book.h"
#include "BookDrops.h"
#include "Books.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "MultiSelect.h"
#include "PdfFiles.h"
#include "Prompt.h"
#include "QtModules.h"
#include "RichTextEditor.h"
#include "StandInServer.h"
#include "TestEnvironment.h"
#include "ViewItem.h"
#include "WindowFixture.h"
#include "ZipWriter.h"
#include "searchbox.h"

// Books coming into the library through the window: the welcome, drops and folder imports.
class TestAddingBooks : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void emptyLibrary_welcomes_andDropsAddBooks();
    void singleBook_isFilledFromWhatTheFileSays_whatWasTypedStays();
    void mixedFolder_isLookedUpWithoutAQuestion_andEveryRowEndsWithItsStatus();
    void folderImports_walkTheFolderOrTheWholeTree_data();
    void folderImports_walkTheFolderOrTheWholeTree();
};

void TestAddingBooks::init()
{
    seedLibrary();
}

void TestAddingBooks::cleanup()
{
    closeWindow();
}

void TestAddingBooks::emptyLibrary_welcomes_andDropsAddBooks()
{
    LibrarySettings().setValue("dataDir", QDir::homePath() + "/empty-library/");
    start();
    auto* welcome = window->findChild<QWidget*>("WelcomePanel");
    QVERIFY(welcome && welcome->isVisible());

    const auto drop = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &dropped);
        return dropped.isAccepted();
    };
    const QString folder = QDir::homePath() + "/dropped/";
    QDir().mkpath(folder + "inner");
    for (const char* name : {"one.pdf", "inner/two.pdf", "notes.exe"}) {
        QVERIFY(!TestEnvironment::writeFile(folder + name, QByteArray("%PDF-1.4 ") + name).isEmpty());
    }
    // Refused, and nothing opens: a program, a file that is gone.
    QVERIFY(!drop({QUrl::fromLocalFile(folder + "notes.exe")}));
    QVERIFY(!drop({QUrl::fromLocalFile(folder + "gone.pdf")}));
    QMimeData address;
    address.setUrls({QUrl("https://example.org/page")});
    QCOMPARE(BookDrops::kindOf(&address), BookDrops::Kind::WebAddress);

    // A folder: the batch import lists what is in it and below.
    QStringList listed;
    QTimer importDriver;
    connect(&importDriver, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (auto* rows = dialog ? dialog->findChild<QTableWidget*>("tableWidget") : nullptr) {
            for (int row = 0; row < rows->rowCount(); ++row) {
                listed << rows->item(row, 1)->text();
            }
            dialog->close();
        }
    });
    importDriver.start(20);
    QVERIFY(drop({QUrl::fromLocalFile(folder)}));
    QTRY_COMPARE(listed.size(), 2);
    // A mixed drop: the book and the program are both listed, the program as no book.
    listed.clear();
    QVERIFY(drop({QUrl::fromLocalFile(folder + "one.pdf"), QUrl::fromLocalFile(folder + "notes.exe")}));
    QTRY_COMPARE(listed, QStringList({"one", "notes"}));
    importDriver.stop();

    // One file: the book dialog with that file chosen; saving it ends the welcome.
    QString chosenTitle;
    QTimer bookDriver;
    connect(&bookDriver, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (auto* title = dialog ? dialog->findChild<QLineEdit*>("bookTitle") : nullptr) {
            chosenTitle = title->text();
            dialog->findChild<QPushButton*>("btnSave")->click();
        }
    });
    bookDriver.start(20);
    QVERIFY(drop({QUrl::fromLocalFile(folder + "one.pdf")}));
    QTRY_COMPARE(chosenTitle, QString("one"));
    QTRY_VERIFY(!welcome->isVisible());
    QCOMPARE(table(0)->rowCount(), 1);
}

// The book dialog fills what the user left empty from the file's own metadata; a title typed
// before the file was chosen stays, and an editor is no author.
void TestAddingBooks::singleBook_isFilledFromWhatTheFileSays_whatWasTypedStays()
{
    start();
    const QString epub = QDir::homePath() + "/books/anything-goes.epub";
    QDir().mkpath(QDir::homePath() + "/books");
    const QByteArray package =
        "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\"><metadata "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>The Dispossessed</dc:title>"
        "<dc:creator id=\"a\">Ursula K. Le Guin</dc:creator>"
        "<meta refines=\"#a\" property=\"file-as\">Le Guin, Ursula K.</meta>"
        "<dc:creator id=\"e\">Ed Itor</dc:creator><meta refines=\"#e\" property=\"role\">edt</meta>"
        "<dc:identifier>urn:isbn:9780060512750</dc:identifier><dc:publisher>Harper</dc:publisher>"
        "<dc:subject>Utopias</dc:subject><meta property=\"belongs-to-collection\" id=\"s\">Hainish Cycle</meta>"
        "<meta refines=\"#s\" property=\"group-position\">5</meta></metadata><manifest/><spine/></package>";
    QVERIFY(ZipWriter::writeEpub(epub, {{"content.opf", package}}));
    Prompt::queueFileName(epub);
    QStringList seen;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->findChild<QLineEdit*>("bookTitle") || dialog->property("driven").toBool()) {
            return;
        }
        dialog->setProperty("driven", true);
        dialog->findChild<QLineEdit*>("bookTitle")->setText("My Own Title");
        dialog->findChild<QToolButton*>("btnSelectFile")->click();
        for (const char* name : {"bookTitle", "bookISBN13", "bookPublisher", "bookTags", "bookSeries"}) {
            seen << dialog->findChild<QLineEdit*>(name)->text();
        }
        seen << WindowFixture::listTexts(dialog->findChild<QListWidget*>("bookAuthors"));
        dialog->findChild<QPushButton*>("btnSave")->click();
    });
    driver.start(20);
    window->findChild<QAction*>("actionAddEbook")->trigger();
    QCOMPARE(seen,
             QStringList({"My Own Title", "9780060512750", "Harper", "Utopias", "Hainish Cycle", "Ursula K. Le Guin"}));
    QCOMPARE(LibraryFixture::scalar("SELECT number FROM lirenta_series WHERE name = 'Hainish Cycle'").toInt(), 5);
    QCOMPARE(LibraryFixture::scalar("SELECT lastName FROM authors WHERE name = 'Ursula K. Le Guin'").toString(),
             QString("Le Guin"));
    QCOMPARE(shownTitles(0).contains("My Own Title"), true);
}

// A folder of PDFs, EPUBs and other files, looked up as a whole: the file's ISBN or its own
// title and author find the book online, a title the service does not know is said so in its
// row, and nothing stops the run to ask.
void TestAddingBooks::mixedFolder_isLookedUpWithoutAQuestion_andEveryRowEndsWithItsStatus()
{
    StandInServer googleBooks("googlebooks-standin");
    qputenv("LIRENTA_GOOGLE_BOOKS_URL", googleBooks.address().toEncoded());
    const auto unset = qScopeGuard([] { qunsetenv("LIRENTA_GOOGLE_BOOKS_URL"); });
    start();
    const QString folder = QDir::homePath() + "/mixed/";
    QDir().mkpath(folder + "sub");
    QVERIFY(
        PdfFiles::writeWithInfo(folder + "scan_0042.pdf", {{"Title", "(Hyperion)"}, {"Author", "(Dan Simmons)"}}, 3));
    QVERIFY(ZipWriter::writeEpub(
        folder + "sub/book.epub",
        {{"content.opf", "<package xmlns=\"http://www.idpf.org/2007/opf\"><metadata "
                         "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:identifier>urn:isbn:9780156027601"
                         "</dc:identifier></metadata></package>"}}));
    QVERIFY(PdfFiles::writeWithInfo(folder + "unheard.pdf", {{"Title", "(Qqzx Vvwy Unheard)"}}, 1));
    QVERIFY(!TestEnvironment::writeFile(folder + "fake.pdf", "only text").isEmpty());
    QVERIFY(!TestEnvironment::writeFile(folder + "cover.jpg", "not a book").isEmpty());
    Prompt::queueFileName(folder);
    QMap<QString, QString> statusOf;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<MultiSelect*>(QApplication::activeModalWidget());
        if (!dialog || dialog->property("driven").toBool()) {
            return;
        }
        dialog->setProperty("driven", true);
        dialog->findChild<QPushButton*>("pushButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isBusy(), 20000);
        auto* rows = dialog->findChild<QTableWidget*>("tableWidget");
        for (int row = 0; row < rows->rowCount(); ++row) {
            statusOf.insert(QFileInfo(rows->item(row, 1)->toolTip()).fileName(), rows->item(row, 5)->text());
        }
        dialog->findChild<QPushButton*>("btnClose")->click();
    });
    driver.start(20);
    window->findChild<QAction*>("actionAdd_Mutiple_Recusive")->trigger();
    QCOMPARE(statusOf, (QMap<QString, QString>{{"book.epub", "Imported"},
                                               {"fake.pdf", "Not a PDF file"},
                                               {"scan_0042.pdf", "Imported"},
                                               {"unheard.pdf", "Not found online"}}));
    QCOMPARE(Prompt::shownTexts(), QStringList({"Select Directory"}));
    QTRY_VERIFY(shownTitles(0).contains("Hyperion") && shownTitles(0).contains("Solaris"));
}

void TestAddingBooks::folderImports_walkTheFolderOrTheWholeTree_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("listed");
    QTest::newRow("Add > Multiple Books (Dir)") << "actionAdd_Mutiple" << 1;
    QTest::newRow("Add > Multiple Books (Dir+Sub-dirs)") << "actionAdd_Mutiple_Recusive" << 2;
    QTest::newRow("Library > Multiple Books (Directory)") << "actionMultiple_eBooks" << 1;
    QTest::newRow("Library > Multiple Books (Directory + Sub dir)") << "actionMultiple_eBooks_2" << 2;
}

void TestAddingBooks::folderImports_walkTheFolderOrTheWholeTree()
{
    QFETCH(QString, action);
    QFETCH(int, listed);
    start();
    const QString folder = QDir::homePath() + "/to-import";
    for (const QString& name : {QString("/top.pdf"), QString("/deeper/below.pdf")}) {
        QVERIFY(!TestEnvironment::writeFile(folder + name, "%PDF-1.4 " + name.toUtf8()).isEmpty());
    }
    Prompt::queueFileName(folder);
    int rows = -1;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<MultiSelect*>(QApplication::activeModalWidget())) {
            rows = dialog->findChild<QTableWidget*>("tableWidget")->rowCount();
            dialog->close();
        }
    });
    driver.start(20);
    window->findChild<QAction*>(action)->trigger();
    QCOMPARE(rows, listed);
    QVERIFY(!window->findChild<QAction*>(action)->text().contains("Mutiple"));
}

LIRENTA_TEST_MAIN(TestAddingBooks)
#include "TestAddingBooks.moc"
