#include "Book.h"
#include "Books.h"
#include "ItemCells.h"
#include "ItemViews.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "OpenedUrls.h"
#include "Prompt.h"
#include "QtModules.h"
#include "Rating.h"
#include "TestEnvironment.h"
#include "ViewItem.h"
#include "WebPage.h"
#include "WebPages.h"
#include "WindowFixture.h"

class TestItemViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void rendering_fillsCellsAndRoles();
    void rendering_sortsByTitleLikeTheViewsOwnSort_data();
    void rendering_sortsByTitleLikeTheViewsOwnSort();
    void toolTip_cutsDescriptionAndEscapesPlainText();
    void covers_arriveAsScaledIcons();
    void ratingStars_appearForRowsScrolledIntoView();
    void searchHidingThousandsOfRows_leavesTheTableLaidOut();
    void webPageView_hasItsOwnColumns();
    void deleteConfirmation_declinedDeletesNothing();
    void bookMenu_singleOffersFilesAndOpensOnlyTheChosenOne();

private:
    ItemViews* makeView(const QString& type, int id = -1, const ViewTuning& tuning = ViewTuning());
    QTableWidget* table(ItemViews* view) const { return view->findChild<QTableWidget*>("viewTable"); }
    QListWidget* grid(ItemViews* view) const { return view->findChild<QListWidget*>("viewList"); }
    QTableWidgetItem* titleCell(ItemViews* view, const QString& title) const;
    QListWidgetItem* gridCell(ItemViews* view, int iid) const;

    std::unique_ptr<LibraryFixture> library;
    std::unique_ptr<LibrarySeeder> seeder;
    QList<ItemViews*> views;
};

void TestItemViews::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
    seeder = std::make_unique<LibrarySeeder>(library->dataDir(), library->filesDir());
    Prompt::clearShownTexts();
}

void TestItemViews::cleanup()
{
    qDeleteAll(views);
    views.clear();
    seeder.reset();
    library.reset();
}

ItemViews* TestItemViews::makeView(const QString& type, int id, const ViewTuning& tuning)
{
    auto* view = new ItemViews(nullptr, collectionNamed(type), id, &library->library(), tuning);
    views << view;
    view->renderItems();
    if (type == "WebPages") {
        view->setWebPageHeaders();
    }
    view->resize(900, 600);
    view->show();
    return view;
}

QTableWidgetItem* TestItemViews::titleCell(ItemViews* view, const QString& title) const
{
    const QList<QTableWidgetItem*> found = table(view)->findItems(title, Qt::MatchExactly);
    for (QTableWidgetItem* cell : found) {
        if (cell->column() == 0) {
            return cell;
        }
    }
    return nullptr;
}

QListWidgetItem* TestItemViews::gridCell(ItemViews* view, int iid) const
{
    QListWidget* list = grid(view);
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(ItemViews::IdRole).toInt() == iid) {
            return list->item(i);
        }
    }
    return nullptr;
}

void TestItemViews::rendering_fillsCellsAndRoles()
{
    LibrarySeeder::BookEntry entry;
    entry.title = "Solaris";
    entry.authors = {"Stanislaw Lem"};
    entry.fileNames = {"solaris.pdf"};
    entry.datePublished = "1961";
    entry.publisher = "MON";
    entry.rating = 4;
    const int iid = seeder->addBook(entry);
    const int long21 = seeder->addBook({.title = "ABCDEFGHIJKLMNOPQRSTU"});

    ItemViews* view = makeView("Books");
    QTableWidget* t = table(view);
    QCOMPARE(t->rowCount(), 2);
    QTableWidgetItem* title = titleCell(view, "Solaris");
    QVERIFY(title);
    const int row = title->row();
    QCOMPARE(t->item(row, 1)->text(), QString("Stanislaw Lem"));
    QCOMPARE(t->item(row, 2)->text(), QString("1961"));
    QCOMPARE(t->item(row, 3)->text(), QString("0.00"));
    QCOMPARE(t->item(row, 7)->text(), QString("MON"));
    QCOMPARE(t->item(row, 8)->text(), QString("1961"));
    QCOMPARE(title->data(ItemViews::IdRole).toInt(), iid);
    auto* stars = qobject_cast<Rating*>(t->cellWidget(row, 4));
    QVERIFY(stars);
    QCOMPARE(stars->getRating(), 4);

    QListWidgetItem* cell = gridCell(view, iid);
    QVERIFY(cell);
    QCOMPARE(cell->text(), QString("Solaris"));
    QCOMPARE(cell->data(ItemViews::FilePathRole).toString(), library->filesDir() + "solaris.pdf");
    // The grid shortens long titles and shows no tool tip without a description; the table does neither.
    QCOMPARE(gridCell(view, long21)->text(), QString("ABCDEFGHIJKLMNOPQRST..."));
    QVERIFY(titleCell(view, "ABCDEFGHIJKLMNOPQRSTU"));
    QCOMPARE(gridCell(view, long21)->toolTip(), QString());
    QCOMPARE(titleCell(view, "Solaris")->toolTip(), QString());
}

void TestItemViews::rendering_sortsByTitleLikeTheViewsOwnSort_data()
{
    QTest::addColumn<bool>("gridLater");
    QTest::addColumn<bool>("cellsInTwoThreads");
    QTest::newRow("grid made with the table") << false << false;
    // As for a large library: the table's cells made in two threads, the grid made from their
    // places when it is first shown.
    QTest::newRow("cells made in two threads") << false << true;
    // As for a large library opened as a table: a search, a book added and one deleted before
    // the grid is first shown all reach it.
    QTest::newRow("grid made when first shown") << true << false;
}

void TestItemViews::rendering_sortsByTitleLikeTheViewsOwnSort()
{
    QFETCH(bool, gridLater);
    QFETCH(bool, cellsInTwoThreads);
    // Reading order: letter case aside, accents by the language's rules, numbers by value;
    // equal titles keep library order.
    const QStringList titles = {"cherry", "Book 10", "Same", "apple", "Eve", "Same", "Banana", "Book 2", "Émile"};
    QList<int> ids;
    for (const QString& title : titles) {
        ids << seeder->addBook({.title = title, .authors = {"Zoe Author"}});
    }
    ItemViews* view = makeView("Books", -1,
                               {.gridDeferredFrom = gridLater || cellsInTwoThreads ? 1 : 5000,
                                .cellsInTwoFrom = cellsInTwoThreads ? 2 : 5000});
    QCOMPARE(grid(view)->count(), gridLater || cellsInTwoThreads ? 0 : titles.size());
    if (gridLater) {
        view->search("a");
        view->search("e");
        const int added = seeder->addBook({.title = "Zebra", .authors = {"Zoe Author"}});
        view->addBook(std::make_unique<Book>(nullptr, added).get());
        view->deleteItemFromView(ids[4]); // Eve
        view->toggleView();
        QCOMPARE(WindowFixture::listTexts(grid(view), true),
                 QStringList({"apple", "cherry", "Émile", "Same", "Same", "Zebra"}));
        return;
    }
    QTableWidget* t = table(view);
    const auto tableOrder = [t] {
        QList<int> order;
        for (int row = 0; row < t->rowCount(); ++row) {
            order << t->item(row, 0)->data(ItemViews::IdRole).toInt();
        }
        return order;
    };
    const QList<int> expected = {ids[3], ids[6], ids[7], ids[1], ids[0], ids[8], ids[4], ids[2], ids[5]};
    QCOMPARE(tableOrder(), expected);
    t->sortItems(0, Qt::AscendingOrder);
    QCOMPARE(tableOrder(), expected);
    view->toggleView();
    QCOMPARE(WindowFixture::listTexts(grid(view)),
             QStringList({"apple", "Banana", "Book 2", "Book 10", "cherry", "Émile", "Eve", "Same", "Same"}));

    // A book added later takes its place among them, in the table and in the grid.
    Book added(nullptr, seeder->addBook({.title = "Book 3", .authors = {"Zoe Author"}}));
    view->addBook(&added);
    QCOMPARE(t->item(3, 0)->text(), QString("Book 3"));
    QCOMPARE(grid(view)->item(3)->text(), QString("Book 3"));
    QCOMPARE(t->item(4, 0)->text(), QString("Book 10"));

    // Clicking the header still sorts, the other way too.
    t->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    QCOMPARE(t->item(0, 0)->text(), QString("Same"));
    QCOMPARE(t->item(t->rowCount() - 1, 0)->text(), QString("apple"));
}

void TestItemViews::toolTip_cutsDescriptionAndEscapesPlainText()
{
    const QString description = "<b>Bold</b> " + QString(400, 'd');
    const int iid = seeder->addBook(
        {.title = "Fish & <Chips>", .description = description, .datePublished = "2001", .pageCount = "120"});
    ItemViews* view = makeView("Books");
    const QString tip = gridCell(view, iid)->toolTip();
    QVERIFY2(tip.startsWith("<h4>Fish &amp; &lt;Chips&gt;</h4><p>2001, 120 pages</p><p><b>Bold</b> "), qPrintable(tip));
    QVERIFY(tip.endsWith(QString(387, 'd') + "...</p>"));
    QCOMPARE(titleCell(view, "Fish & <Chips>")->toolTip(), tip);
    // Shown over the table in the views' own colours, light blue, like the grid's.
    QTableWidget* t = table(view);
    const QPoint at = t->visualItemRect(titleCell(view, "Fish & <Chips>")).center();
    QHelpEvent hover(QEvent::ToolTip, at, t->viewport()->mapToGlobal(at));
    QApplication::sendEvent(t->viewport(), &hover);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), tip);
    const auto tipColour = [] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String("qtooltip_label") && top->isVisible()) {
                return QColor(top->grab().toImage().pixel(3, 3));
            }
        }
        return QColor();
    };
    QCOMPARE(tipColour(), QColor("#EDF8FF"));

    // Images named by a description are not loaded into tool tips.
    const int withImage = seeder->addBook(
        {"Pictured", {}, "before <IMG SRC='file:///etc/secret.png'> after", {}, QColor(), 0, "", "", ""});
    ItemViews* second = makeView("Books");
    QVERIFY(gridCell(second, withImage)->toolTip().contains("before  after"));
}

void TestItemViews::covers_arriveAsScaledIcons()
{
    // Several covers at once: each cell ends up with its own, none is lost on the way.
    const QList<QColor> colors = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta, Qt::cyan};
    QList<int> ids;
    for (const QColor& color : colors) {
        ids << seeder->addBook({.title = color.name(), .coverColor = color});
    }
    const int without = seeder->addBook({.title = "None"});
    ItemViews* view = makeView("Books");
    const auto shown = [&](int iid) {
        const QImage image = gridCell(view, iid)->icon().pixmap(QSize(85, 128)).toImage();
        return QColor(image.pixel(image.width() / 2, image.height() / 8));
    };
    const auto near = [](const QColor& a, const QColor& b) {
        return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
    };
    for (int i = 0; i < ids.size(); ++i) {
        QTRY_VERIFY2(near(shown(ids.at(i)), colors.at(i)), qPrintable(colors.at(i).name()));
        const QList<QSize> sizes = gridCell(view, ids.at(i))->icon().availableSizes();
        QCOMPARE(sizes.size(), 1);
        QCOMPARE(sizes.first().height(), 128);
    }
    // No cover of its own: the placeholder book, at once.
    QCOMPARE(gridCell(view, without)->icon().pixmap(QSize(128, 128)).toImage(),
             QIcon(":/icons/images/book.png").pixmap(QSize(128, 128)).toImage());
}

void TestItemViews::ratingStars_appearForRowsScrolledIntoView()
{
    QVERIFY(LibraryFixture::addNumberedBooks("Book", 200, 3));
    ItemViews* view = makeView("Books");
    QTableWidget* t = table(view);
    QVERIFY(t->cellWidget(0, 4));
    QVERIFY2(!t->cellWidget(199, 4), "rows far below the window get their stars later");

    t->scrollToBottom();
    auto* stars = qobject_cast<Rating*>(t->cellWidget(199, 4));
    QVERIFY(stars);
    QCOMPARE(stars->getRating(), 200 % 6);
    QTest::mouseClick(stars->findChild<QToolButton*>("btnRating1"), Qt::LeftButton);
    QCOMPARE(LibraryFixture::scalar("SELECT rating FROM items WHERE iid = 200").toInt(), 1);
}

// A search that hides thousands of rows does it in one pass over the table; the table must
// then scroll over just the rows it shows, each with its stars in place. The same holds for a
// table brought in step after searches made on the grid.
void TestItemViews::searchHidingThousandsOfRows_leavesTheTableLaidOut()
{
    QVERIFY(LibraryFixture::addNumberedBooks("Book", 2100, 4));
    ItemViews* view = makeView("Books");
    QTableWidget* t = table(view);
    const auto checkLayout = [&](const QString& prefix, int count) {
        QCoreApplication::processEvents();
        QCOMPARE(t->verticalScrollBar()->maximum(), 0);
        int shown = 0;
        for (int row = 0; row < t->rowCount(); ++row) {
            if (t->isRowHidden(row)) {
                continue;
            }
            ++shown;
            QVERIFY(t->item(row, 0)->text().startsWith(prefix));
            QWidget* stars = t->cellWidget(row, 4);
            QVERIFY2(stars, qPrintable(t->item(row, 0)->text()));
            QCOMPARE(stars->geometry(), t->visualRect(t->model()->index(row, 4)));
        }
        QCOMPARE(shown, count);
    };
    QVERIFY(t->verticalScrollBar()->maximum() > 0);
    view->search("Book 019");
    checkLayout("Book 019", 10);
    // Again, with every row that comes back already holding its stars.
    view->search("");
    QCoreApplication::processEvents();
    QVERIFY(t->verticalScrollBar()->maximum() > 0);
    view->search("Book 019");
    checkLayout("Book 019", 10);

    view->search("");
    view->toggleView();
    view->search("Book 020");
    view->toggleView();
    checkLayout("Book 020", 10);
}

void TestItemViews::webPageView_hasItsOwnColumns()
{
    // The table shows a description's first hundred characters on one line.
    const int iid = seeder->addWebPage("Qt", "https://qt.io/", "A toolkit & <more>\n" + QString(100, 'x'));
    ItemViews* view = makeView("WebPages");
    QTableWidget* t = table(view);
    QCOMPARE(t->columnCount(), 4);
    QCOMPARE(t->horizontalHeaderItem(1)->text(), QString("Url"));
    QCOMPARE(t->item(0, 1)->text(), QString("https://qt.io/"));
    QCOMPARE(t->item(0, 3)->text(), "A toolkit & <more> " + QString(81, 'x') + "...");
    // Created reads as a date and time, not as the stored number of seconds.
    QCOMPARE(t->item(0, 2)->data(Qt::DisplayRole).toDateTime().date(), QDate::currentDate());
    QCOMPARE(t->item(0, 0)->data(ItemViews::UrlRole).toString(), QString("https://qt.io/"));
    QVERIFY(t->item(0, 0)->toolTip().contains("A toolkit &amp; &lt;more&gt;"));
    QCOMPARE(gridCell(view, iid)->data(ItemViews::UrlRole).toString(), QString("https://qt.io/"));
}

void TestItemViews::deleteConfirmation_declinedDeletesNothing()
{
    seeder->addBook({.title = "A"});
    seeder->addBook({.title = "B"});
    ItemViews* view = makeView("Books");
    table(view)->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table(view)->selectAll();
    QSignalSpy deleted(view, &ItemViews::itemDeleted);

    // Several selected: the menu offers only Delete.
    Prompt::queueAnswer(QMessageBox::No);
    QCOMPARE(WindowFixture::runMenu(view, {"Delete"}), QStringList({"Delete"}));
    QCOMPARE(deleted.size(), 0);
    QVERIFY(Prompt::shownTexts().last().contains("No files will be deleted!"));
    QCOMPARE(LibraryFixture::rowCount("books"), 2);
}

void TestItemViews::bookMenu_singleOffersFilesAndOpensOnlyTheChosenOne()
{
    seeder->addBook({.title = "Three Files", .fileNames = {"a.pdf", "b.epub", "c.txt"}});
    ItemViews* view = makeView("Books");
    table(view)->selectRow(0);
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    const QStringList seen = WindowFixture::runMenu(view, {"Open", "b.epub"});
    QCOMPARE(seen, QStringList({"Open", "Open with System Viewer", "Properties", "Convert", "Delete", "Open/a.pdf",
                                "Open/b.epub", "Open/c.txt"}));
    QCOMPARE(opened.urls.size(), 1);
    QCOMPARE(opened.urls.first().toLocalFile(), library->filesDir() + "b.epub");
    // The desktop's program, whatever opens PDFs by default, for the book's first file.
    WindowFixture::runMenu(view, {"Open with System Viewer"});
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(opened.urls.size(), 2);
    QCOMPARE(opened.urls.last().toLocalFile(), library->filesDir() + "a.pdf");

    QSignalSpy convert(view, &ItemViews::convertItems);
    WindowFixture::runMenu(view, {"Convert"});
    QCOMPARE(convert.size(), 1);
    QCOMPARE(convert.first().first().value<QList<Item*>>().size(), 1);
}

LIRENTA_TEST_MAIN(TestItemViews)
#include "TestItemViews.moc"
