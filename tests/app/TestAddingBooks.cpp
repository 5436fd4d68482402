#include "Book.h"
#include "BookDrops.h"
#include "Books.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "RichTextEditor.h"
#include "TestEnvironment.h"
#include "ViewItem.h"
#include "WindowFixture.h"
#include "searchbox.h"

// Books coming into the library through the window: the welcome, drops and folder imports.
class TestAddingBooks : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void emptyLibrary_welcomes_andDropsAddBooks();
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
