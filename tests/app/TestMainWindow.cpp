#include "Book.h"
#include "Books.h"
#include "ItemViews.h"
#include "LibraryDatabase.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "OpenedUrls.h"
#include "Prompt.h"
#include "RichTextEditor.h"
#include "TestEnvironment.h"
#include "ViewItem.h"
#include "searchbox.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startup_showsEveryBookAndAuthorsByLastName();
    void treeFilter_data();
    void treeFilter();
    void treeDoubleClick_opensBooksWebPagesAndAuthorTabs();
    void twoBooksTabs_bothReceiveAddedAndDeletedBooks();
    void deletingFromAnAuthorTab_removesEverywhere();
    void tabZeroCannotClose_othersAreDeleted();
    void searchBox_followsTheCurrentViewAndRestoresItsTerms();
    void nonViewTab_disablesViewModeActions_andModeActionsToggle();
    void informationPanel_escapesTitleAndLoadsNoLocalFiles();
    void notes_areSavedOnQuit();
    void about_namesTheVersion();
    void singleBook_appearsInEveryBooksTabAndTheAuthorTree();
    void convertAction_isEnabledForOneBookWithAPdf();

private:
    MainWindow* start();
    QTabWidget* tabs() const { return window->findChild<QTabWidget*>("tabWidget"); }
    QTreeWidget* tree() const { return window->findChild<QTreeWidget*>("libraryList"); }
    ItemViews* viewAt(int index) const { return qobject_cast<ItemViews*>(tabs()->widget(index)); }
    static int visibleCells(ItemViews* view);

    std::unique_ptr<MainWindow> window;
    QString dataDir;
};

void TestMainWindow::init()
{
    LibrarySettings().clear();
    QDir(QDir::homePath()).removeRecursively();
    QDir().mkpath(QDir::homePath());
    Prompt::clearShownTexts();
    dataDir = QDir::homePath() + "/library-data/";
    QDir().mkpath(dataDir);
    LibrarySettings().setValue("dataDir", dataDir);
    QVERIFY(LibraryDatabase::open(dataDir).isOpen());
    LibrarySeeder seeder(dataDir, QDir::homePath() + "/books/");
    seeder.addBook({"Dune", {"Frank Herbert"}, "desert", {"dune.pdf"}, QColor(Qt::darkYellow), 3, "1965", "412", ""});
    seeder.addBook({"Dune Messiah", {"Frank Herbert"}, "sequel", {}, QColor(), 2, "1969", "256", ""});
    seeder.addBook({"Foundation", {"Isaac Asimov"}, "empire", {}, QColor(), 4, "1951", "255", ""});
    seeder.addBook({"Solaris", {"Stanislaw Lem"}, "ocean", {}, QColor(), 5, "1961", "204", ""});
    seeder.addWebPage("Qt", "https://qt.io/", "toolkit");
    LibraryDatabase::close();
}

void TestMainWindow::cleanup()
{
    window.reset();
    LibraryDatabase::close();
}

MainWindow* TestMainWindow::start()
{
    window = std::make_unique<MainWindow>();
    window->resize(1000, 700);
    window->show();
    return window.get();
}

// The grid as the user sees it: on screen (a search reaches a hidden grid when it is shown).
int TestMainWindow::visibleCells(ItemViews* view)
{
    const bool switched = view->getCurrentView() != 1;
    if (switched) {
        view->toggleView();
    }
    auto* list = view->findChild<QListWidget*>("viewList");
    int shown = 0;
    for (int i = 0; i < list->count(); ++i) {
        shown += list->item(i)->isHidden() ? 0 : 1;
    }
    if (switched) {
        view->toggleView();
    }
    return shown;
}

void TestMainWindow::startup_showsEveryBookAndAuthorsByLastName()
{
    start();
    QVERIFY(window->isStartedUp());
    QCOMPARE(tabs()->count(), 1);
    ItemViews* books = viewAt(0);
    QVERIFY(books);
    QCOMPARE(books->getType(), QString("Books"));
    QCOMPARE(books->findChild<QTableWidget*>("viewTable")->rowCount(), 4);
    QCOMPARE(tabs()->tabText(0), QString("Books"));

    QCOMPARE(tree()->topLevelItemCount(), 3);
    QTreeWidgetItem* authors = tree()->topLevelItem(1);
    QCOMPARE(authors->text(0), QString("Authors"));
    QStringList names;
    for (int i = 0; i < authors->childCount(); ++i) {
        names << authors->child(i)->text(0);
    }
    QCOMPARE(names, QStringList({"Asimov, Isaac", "Herbert, Frank", "Lem, Stanislaw"}));
    QVERIFY(authors->child(0)->data(0, MainWindow::AuthorIdRole).toInt() > 0);
    // The web pages tab opens only on demand.
    QCOMPARE(window->findChildren<ItemViews*>().size(), 1);
}

void TestMainWindow::treeFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("two words match either") << "lem ASIMOV" << QStringList({"Asimov, Isaac", "Lem, Stanislaw"});
    QTest::newRow("two blanks match everything")
        << "lem  asimov" << QStringList({"Asimov, Isaac", "Herbert, Frank", "Lem, Stanislaw"});
    QTest::newRow("invalid expression hides every author") << "(" << QStringList();
    QTest::newRow("surrounding blanks are ignored") << "  herb " << QStringList({"Herbert, Frank"});
}

void TestMainWindow::treeFilter()
{
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    start();
    window->findChild<QLineEdit*>("lineEdit")->setText(text);
    QTreeWidgetItem* authors = tree()->topLevelItem(1);
    QStringList visible;
    for (int i = 0; i < authors->childCount(); ++i) {
        if (!authors->child(i)->isHidden()) {
            visible << authors->child(i)->text(0);
        }
    }
    QCOMPARE(visible, shown);
    QVERIFY(!tree()->topLevelItem(0)->isHidden());
    QVERIFY(authors->isExpanded());

    window->findChild<QLineEdit*>("lineEdit")->clear();
    QVERIFY(!authors->isExpanded());
}

void TestMainWindow::treeDoubleClick_opensBooksWebPagesAndAuthorTabs()
{
    start();
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(2), 0);
    QCOMPARE(tabs()->count(), 2);
    QCOMPARE(viewAt(1)->getType(), QString("WebPages"));
    QCOMPARE(tabs()->currentIndex(), 1);
    QCOMPARE(viewAt(1)->findChild<QTableWidget*>("viewTable")->rowCount(), 1);

    QTreeWidgetItem* herbert = tree()->topLevelItem(1)->child(1);
    Q_EMIT tree()->itemDoubleClicked(herbert, 0);
    QCOMPARE(tabs()->count(), 3);
    QCOMPARE(tabs()->tabText(2), QString("Herbert, Frank"));
    QCOMPARE(viewAt(2)->getType(), QString("BooksAuthor"));
    QCOMPARE(viewAt(2)->findChild<QTableWidget*>("viewTable")->rowCount(), 2);
    QCOMPARE(tabs()->currentIndex(), 1);

    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(1), 0);
    QCOMPARE(tabs()->count(), 3);
}

void TestMainWindow::twoBooksTabs_bothReceiveAddedAndDeletedBooks()
{
    start();
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(0), 0);
    QCOMPARE(tabs()->count(), 2);
    ItemViews* first = viewAt(0);
    ItemViews* second = viewAt(1);

    LibrarySeeder seeder(dataDir, QDir::homePath() + "/books/");
    const int iid = seeder.addBook({"Hyperion", {"Dan Simmons"}, "pilgrims", {}, QColor(), 0, "", "", ""});
    // As the batch import hands it over: the window takes the book and each view keeps a copy.
    window->bookAddedSlot(new Book(nullptr, iid));
    for (ItemViews* view : {first, second}) {
        QCOMPARE(view->findChild<QTableWidget*>("viewTable")->rowCount(), 5);
        QVERIFY(view->getBooks()->getItem(iid));
    }

    QSignalSpy deletions(window.get(), &MainWindow::deleteItemFromViews);
    window->itemDeleted(iid);
    QCOMPARE(deletions.size(), 1);
    QCOMPARE(visibleCells(first), 4);
    QCOMPARE(visibleCells(second), 4);
    QSqlQuery count("SELECT COUNT(*) FROM books");
    QVERIFY(count.next());
    QCOMPARE(count.value(0).toInt(), 4);
}

void TestMainWindow::deletingFromAnAuthorTab_removesEverywhere()
{
    start();
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(1)->child(1), 0);
    ItemViews* author = viewAt(1);
    auto* table = author->findChild<QTableWidget*>("viewTable");
    table->selectRow(0);
    const int iid = author->getSelectedViewItems().first()->id;
    Prompt::queueAnswer(QMessageBox::Yes);
    QTimer::singleShot(0, [] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            for (QAction* action : menu->actions()) {
                if (action->text() == "Delete") {
                    action->trigger();
                }
            }
            menu->close();
        }
    });
    author->menu(QPoint());
    QCOMPARE(visibleCells(author), 1);
    QCOMPARE(visibleCells(viewAt(0)), 3);
    QSqlQuery query(QString("SELECT COUNT(*) FROM items WHERE iid = %1").arg(iid));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 0);
}

void TestMainWindow::tabZeroCannotClose_othersAreDeleted()
{
    start();
    Q_EMIT tabs()->tabCloseRequested(0);
    QCOMPARE(tabs()->count(), 1);
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(2), 0);
    QPointer<QWidget> page = tabs()->widget(1);
    Q_EMIT tabs()->tabCloseRequested(1);
    QCOMPARE(tabs()->count(), 1);
    QTRY_VERIFY(page.isNull());
}

void TestMainWindow::searchBox_followsTheCurrentViewAndRestoresItsTerms()
{
    start();
    searchbox* box = window->getSearchBox();
    ItemViews* books = viewAt(0);
    box->setTerms("dune");
    QCOMPARE(books->getSearchTerms(), QString("dune"));
    QCOMPARE(visibleCells(books), 2);

    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(2), 0);
    ItemViews* pages = viewAt(1);
    QCOMPARE(box->getTerms(), QString());
    QCOMPARE(books->getSearchTerms(), QString("dune"));
    QCOMPARE(visibleCells(books), 2);
    box->setTerms("zzz");
    QCOMPARE(visibleCells(pages), 0);
    QCOMPARE(books->getSearchTerms(), QString("dune"));

    tabs()->setCurrentIndex(0);
    QCOMPARE(box->getTerms(), QString("dune"));
    QCOMPARE(pages->getSearchTerms(), QString("zzz"));
    QCOMPARE(visibleCells(pages), 0);
}

void TestMainWindow::nonViewTab_disablesViewModeActions_andModeActionsToggle()
{
    start();
    auto* list = window->findChild<QAction*>("actionList");
    auto* icon = window->findChild<QAction*>("actionView");
    ItemViews* books = viewAt(0);
    QCOMPARE(books->getCurrentView(), 0);
    QVERIFY(list->isChecked());
    QVERIFY(!icon->isChecked());

    icon->trigger();
    QCOMPARE(books->getCurrentView(), 1);
    QVERIFY(icon->isChecked());
    QVERIFY(!list->isChecked());
    icon->trigger(); // already on: stays on, nothing changes
    QVERIFY(icon->isChecked());
    QCOMPARE(books->getCurrentView(), 1);
    list->trigger();
    QCOMPARE(books->getCurrentView(), 0);
    QVERIFY(list->isChecked());

    auto* other = new QWidget;
    tabs()->addTab(other, "Reader");
    tabs()->setCurrentWidget(other);
    QVERIFY(!list->isEnabled());
    QVERIFY(!icon->isEnabled());
    tabs()->setCurrentIndex(0);
    QVERIFY(list->isEnabled());
    QVERIFY(icon->isEnabled());
}

void TestMainWindow::informationPanel_escapesTitleAndLoadsNoLocalFiles()
{
    start();
    const QString secret = QDir::homePath() + "/secret.png";
    QImage(8, 8, QImage::Format_RGB32).save(secret);
    ViewItem item;
    item.title = "Fish & <Chips>";
    item.pageCount = "12";
    item.coverFile = ":/icons/images/book.png";
    item.description = QString("<b>Bold</b> <img src='%1'> <a href='file:///etc/passwd'>local</a> "
                               "<a href='https://example.org/'>web</a>")
                           .arg(QUrl::fromLocalFile(secret).toString());
    window->renderInformationPanel(&item);
    auto* panel = window->findChild<QTextBrowser*>("informationPanel");
    QVERIFY(panel->toPlainText().startsWith("Fish & <Chips>"));
    QVERIFY(panel->toHtml().contains("font-weight:700") || panel->toHtml().contains("font-weight:600"));
    QVERIFY(panel->loadResource(QTextDocument::ImageResource, QUrl::fromLocalFile(secret)).isNull());
    QVERIFY(!panel->loadResource(QTextDocument::ImageResource, QUrl("qrc:/icons/images/book.png")).isNull());

    OpenedUrls opened;
    QDesktopServices::setUrlHandler("https", &opened, "open");
    QDesktopServices::setUrlHandler("file", &opened, "open");
    Q_EMIT panel->anchorClicked(QUrl("file:///etc/passwd"));
    Q_EMIT panel->anchorClicked(QUrl("https://example.org/"));
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(opened.urls, QList<QUrl>({QUrl("https://example.org/")}));
    QVERIFY(panel->toPlainText().startsWith("Fish & <Chips>"));
}

void TestMainWindow::notes_areSavedOnQuit()
{
    start();
    ItemViews* books = viewAt(0);
    books->findChild<QTableWidget*>("viewTable")->selectRow(0);
    const int iid = books->getSelectedViewItems().first()->id;
    window->getNotes()->findChild<QTextEdit*>("textEdit")->setPlainText("remember this");
    window->findChild<QAction*>("actionQuit")->trigger();
    QSqlQuery query(QString("SELECT note FROM notes WHERE iid = %1").arg(iid));
    QVERIFY(query.next());
    QVERIFY(query.value(0).toString().contains("remember this"));
}

void TestMainWindow::about_namesTheVersion()
{
    start();
    window->findChild<QAction*>("actionAbout")->trigger();
    QVERIFY(Prompt::shownTexts().last().contains("Version 0.4 Alpha"));
}

void TestMainWindow::singleBook_appearsInEveryBooksTabAndTheAuthorTree()
{
    start();
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(0), 0);
    const QString path = QDir::homePath() + "/books/Brand_New-Book.pdf";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("%PDF new");
    file.close();
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        Prompt::queueFileName(path);
        dialog->findChild<QToolButton*>("btnSelectFile")->click();
        dialog->findChild<QToolButton*>("btnBookAdd")->click();
        auto* authors = dialog->findChild<QListWidget*>("bookAuthors");
        authors->item(0)->setText("Zora Neale Hurston");
        dialog->findChild<QPushButton*>("btnSave")->click();
    });
    window->findChild<QAction*>("actionAddEbook")->trigger();
    for (int index : {0, 1}) {
        auto* table = viewAt(index)->findChild<QTableWidget*>("viewTable");
        QCOMPARE(table->rowCount(), 5);
        QVERIFY(!table->findItems("Brand New Book", Qt::MatchExactly).isEmpty());
    }
    QTreeWidgetItem* authors = tree()->topLevelItem(1);
    QStringList names;
    for (int i = 0; i < authors->childCount(); ++i) {
        names << authors->child(i)->text(0);
    }
    QVERIFY2(names.contains("Hurston, Zora Neale"), qPrintable(names.join("; ")));
}

void TestMainWindow::convertAction_isEnabledForOneBookWithAPdf()
{
    start();
    auto* convert = window->findChild<QAction*>("actionConvert");
    QVERIFY(!convert->isEnabled());
    auto* table = viewAt(0)->findChild<QTableWidget*>("viewTable");
    table->selectRow(table->findItems("Dune", Qt::MatchExactly).first()->row());
    QVERIFY(convert->isEnabled());
    table->selectRow(table->findItems("Foundation", Qt::MatchExactly).first()->row());
    QVERIFY(!convert->isEnabled());
    table->selectAll();
    QVERIFY(!convert->isEnabled());
}

LIRENTA_TEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
