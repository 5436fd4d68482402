#include "Book.h"
#include "BookDrops.h"
#include "Books.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "RichTextEditor.h"
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
    // Refused, and nothing opens: a program, a file that is gone, a mixed drop.
    QVERIFY(!drop({QUrl::fromLocalFile(folder + "notes.exe")}));
    QVERIFY(!drop({QUrl::fromLocalFile(folder + "gone.pdf")}));
    QVERIFY(!drop({QUrl::fromLocalFile(folder + "one.pdf"), QUrl::fromLocalFile(folder + "notes.exe")}));
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
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog) {
            rows = dialog->findChild<QTableWidget*>("tableWidget")->rowCount();
            dialog->close();
        }
    });
    window->findChild<QAction*>(action)->trigger();
    QCOMPARE(rows, listed);
    QVERIFY(!window->findChild<QAction*>(action)->text().contains("Mutiple"));
}

LIRENTA_TEST_MAIN(TestAddingBooks)
#include "TestAddingBooks.moc"
