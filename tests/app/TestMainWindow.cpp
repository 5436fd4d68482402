#include "Book.h"
#include "BookProperties.h"
#include "Books.h"
#include "EverythingSearch.h"
#include "ItemViews.h"
#include "LibraryDatabase.h"
#include "MainWindow.h"
#include "OpenedUrls.h"
#include "Prompt.h"
#include "QtModules.h"
#include "RichTextEditor.h"
#include "TagsAndSeries.h"
#include "TestEnvironment.h"
#include "Translations.h"
#include "ViewItem.h"
#include "WindowFixture.h"
#include "searchbox.h"

// Finding one's way in the window: the tree, tabs, searches, the panel, keys and the window's place.
class TestMainWindow : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startup_showsEveryBookAndAuthorsByLastName();
    void treeFilter_data();
    void treeFilter();
    void treeDoubleClick_opensBooksWebPagesAndAuthorTabs();
    void searchBox_followsTheCurrentViewAndRestoresItsTerms();
    void nonViewTab_disablesViewModeActions_andModeActionsToggle();
    void informationPanel_escapesTitleAndLoadsNoLocalFiles();
    void search_keepsHiddenItemsOutOfTheSelection_andOutOfDelete_data();
    void search_keepsHiddenItemsOutOfTheSelection_andOutOfDelete();
    void keyboard_reachesTheUsualActions();
    void germanLocale_showsGermanMenus();
    void searchEverything_findsNotesAuthorsAndAddresses_perTab();
    void tagsAndSeries_areSavedShownFoundAndBranched();
    void windowState_firstRunFitsTheScreen_thenSurvivesARestart();
};

void TestMainWindow::init()
{
    seedLibrary();
}

void TestMainWindow::cleanup()
{
    closeWindow();
}

void TestMainWindow::startup_showsEveryBookAndAuthorsByLastName()
{
    // Covers a dialog or a crash left half-made are cleared away; stored covers stay.
    for (const char* name : {"coverfile-tmp-1f2e.jpg", "pdf-thumb-tmp-7.jpg", "42.jpg"}) {
        QFile(dataDir + name).open(QIODevice::WriteOnly);
    }
    start();
    QCOMPARE(QDir(dataDir).entryList({"*.jpg"}).filter(QRegularExpression("tmp")), QStringList());
    QVERIFY(QFile::exists(dataDir + "42.jpg"));
    QCOMPARE(tabs()->count(), 1);
    QCOMPARE(table(0)->rowCount(), 4);
    QCOMPARE(tree()->topLevelItemCount(), 5); // Books, Authors, Web Pages, Tags, Series
    QCOMPARE(childTexts(branch(1)), QStringList({"Asimov, Isaac", "Herbert, Frank", "Lem, Stanislaw"}));
    // The web pages tab opens only on demand.
    QCOMPARE(window->findChildren<ItemViews*>().size(), 1);
}

void TestMainWindow::treeFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("two words match either") << "lem ASIMOV" << QStringList({"Asimov, Isaac", "Lem, Stanislaw"});
    QTest::newRow("invalid expression hides every author") << "(" << QStringList();
}

void TestMainWindow::treeFilter()
{
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    start();
    window->findChild<QLineEdit*>("lineEdit")->setText(text);
    QTreeWidgetItem* authors = tree()->topLevelItem(1);
    QCOMPARE(childTexts(authors, true), shown);
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
    QCOMPARE(viewAt(1)->getKind(), CollectionKind::WebPages);
    QCOMPARE(tabs()->currentIndex(), 1);
    QCOMPARE(table(1)->rowCount(), 1);

    QTreeWidgetItem* herbert = branch(1)->child(1);
    Q_EMIT tree()->itemDoubleClicked(herbert, 0);
    QCOMPARE(tabs()->count(), 3);
    QCOMPARE(tabs()->tabText(2), QString("Herbert, Frank"));
    QCOMPARE(viewAt(2)->getKind(), CollectionKind::AuthorBooks);
    QCOMPARE(table(2)->rowCount(), 2);
    QCOMPARE(tabs()->currentIndex(), 2); // a tab the user opened comes to the front

    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(1), 0);
    QCOMPARE(tabs()->count(), 3);
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
    QVERIFY(list->isChecked());

    icon->trigger();
    QVERIFY(!list->isChecked());
    icon->trigger(); // already on: stays on, nothing changes
    QVERIFY(icon->isChecked());
    QCOMPARE(books->getCurrentView(), 1);

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

void TestMainWindow::search_keepsHiddenItemsOutOfTheSelection_andOutOfDelete_data()
{
    QTest::addColumn<bool>("grid");
    QTest::newRow("table") << false;
    QTest::newRow("cover grid") << true;
}

void TestMainWindow::search_keepsHiddenItemsOutOfTheSelection_andOutOfDelete()
{
    QFETCH(bool, grid);
    start();
    ItemViews* books = viewAt(0);
    if (grid) {
        window->findChild<QAction*>("actionView")->trigger();
    }
    QAbstractItemView* onScreen =
        grid ? static_cast<QAbstractItemView*>(books->findChild<QListWidget*>("viewList")) : table(0);
    // A selection made before the search keeps only what the search shows.
    onScreen->selectAll();
    QCOMPARE(books->getSelectedViewItems().size(), 4);
    window->getSearchBox()->setTerms("messiah");
    QCOMPARE(books->getSelectedViewItems().size(), 1);
    onScreen->clearSelection();
    QCOMPARE(books->getSelectedViewItems().size(), 0);
    window->getSearchBox()->setTerms("");
    QCOMPARE(books->getSelectedViewItems().size(), 0); // the hidden ones came back unselected
    window->getSearchBox()->setTerms("messiah");

    // Ctrl+A reaches only what is shown.
    onScreen->setFocus();
    QTest::keyClick(onScreen, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(selectedTitles(books), QStringList({"Dune Messiah"}));
    deleteSelection(books);
    QCOMPARE(storedTitles(), QStringList({"Dune", "Foundation", "Solaris"}));

    // A shift-click range across hidden rows leaves them out too.
    window->getSearchBox()->setTerms("o");
    QCOMPARE(visibleCells(books), 2); // Foundation, Solaris
    onScreen->selectAll();
    QCOMPARE(selectedTitles(books), QStringList({"Foundation", "Solaris"}));
    window->getSearchBox()->setTerms("");
    QCOMPARE(visibleCells(books), 3);
}

void TestMainWindow::keyboard_reachesTheUsualActions()
{
    start();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    ItemViews* books = viewAt(0);

    // Find puts the cursor in the search box; Escape there clears the search.
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    QWidget* field = QApplication::focusWidget();
    QVERIFY(field);
    QCOMPARE(field->objectName(), QString("searchBox"));
    QTest::keyClicks(field, "dune");
    QCOMPARE(books->getSearchTerms(), QString("dune"));
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(books->getSearchTerms(), QString());

    // Delete in the list deletes the selection, after the usual question.
    table(0)->setFocus();
    selectTitle(0, "Foundation");
    Prompt::queueAnswer(QMessageBox::Yes);
    QTest::keyClick(table(0), Qt::Key_Delete);
    QVERIFY2(Prompt::shownTexts().last().contains("\u201CFoundation\u201D"), qPrintable(Prompt::shownTexts().last()));
    QCOMPARE(storedTitles(), QStringList({"Dune", "Dune Messiah", "Solaris"}));
    // Typed in the notes, Delete is the editor's own.
    selectTitle(0, "Solaris");
    noteEdit()->setFocus();
    QTest::keyClicks(noteEdit(), "ab");
    QTest::keyClick(noteEdit(), Qt::Key_Left);
    QTest::keyClick(noteEdit(), Qt::Key_Delete);
    QCOMPARE(noteEdit()->toPlainText(), QString("a"));
    QCOMPARE(storedTitles().size(), 3);

    // Return on the selection opens its properties, whose Delete deletes the book; Return in
    // the search box opens nothing.
    QString opened;
    const auto closeDialog = [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        opened = dialog ? QString::fromLatin1(dialog->metaObject()->className()) : QString();
        if (dialog) {
            Prompt::queueAnswer(QMessageBox::Yes);
            dialog->findChild<QPushButton*>("btnDelete")->click();
        }
    };
    table(0)->setFocus();
    QTimer::singleShot(0, closeDialog);
    QTest::keyClick(table(0), Qt::Key_Return);
    QCOMPARE(opened, QString("BookProperties"));
    QCOMPARE(storedTitles(), QStringList({"Dune", "Dune Messiah"}));
    opened.clear();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(opened, QString());

    // Icon and detailed view.
    QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(books->getCurrentView(), 1);
    QTest::keyClick(window.get(), Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(books->getCurrentView(), 0);

    // Ctrl+W closes the tab on screen, never the first.
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(2), 0);
    QCOMPARE(tabs()->count(), 2);
    QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(tabs()->count(), 1);
    QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(tabs()->count(), 1);

    // Ctrl+Q quits, from inside the notes editor too.
    noteEdit()->setFocus();
    QTest::keyClick(noteEdit(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!window->isVisible());
}

void TestMainWindow::germanLocale_showsGermanMenus()
{
    QVERIFY(Translations::install(QLocale(QLocale::German, QLocale::Germany)));
    start();
    QCOMPARE(window->findChild<QMenu*>("menuEdit")->title(), QString("&Bearbeiten"));
    QCOMPARE(window->findChild<QAction*>("actionSelectAll")->text(), QString("Alles auswählen"));
    window.reset();
    Translations::uninstall();
    QVERIFY(!Translations::install(QLocale(QLocale::English, QLocale::UnitedStates)));
    start();
    QCOMPARE(window->findChild<QMenu*>("menuEdit")->title(), QString("&Edit"));
}

void TestMainWindow::searchEverything_findsNotesAuthorsAndAddresses_perTab()
{
    start();
    selectTitle(0, "Solaris");
    noteEdit()->setHtml("<p>Fear of the <b>deep</b> sea: thalassophobia &amp; more</p>");
    selectTitle(0, "Foundation"); // the note is saved on the way

    // The usual scope knows nothing of notes or authors.
    window->getSearchBox()->setTerms("thalassophobia");
    QCOMPARE(shownTitles(0), QStringList());
    window->getSearchBox()->setTerms("herbert");
    QCOMPARE(shownTitles(0), QStringList());
    window->getSearchBox()->setTerms("e");
    const QStringList usual = shownTitles(0);

    window->findChild<QAction*>("actionSearchEverything")->trigger();
    QCOMPARE(shownTitles(0), QStringList({"Dune", "Dune Messiah", "Foundation", "Solaris"}));
    window->getSearchBox()->setTerms("herbert");
    QCOMPARE(shownTitles(0), QStringList({"Dune", "Dune Messiah"}));
    window->getSearchBox()->setTerms("deep sea: THALASSO");
    QCOMPARE(shownTitles(0), QStringList({"Solaris"}));
    window->getSearchBox()->setTerms("dune.pdf");
    QCOMPARE(shownTitles(0), QStringList({"Dune"}));
    window->getSearchBox()->setTerms("span"); // the note's mark-up is not its text
    QCOMPARE(shownTitles(0), QStringList());

    // A changed note is found by its new words only, as it stands on screen.
    selectTitle(0, "Dune");
    window->getSearchBox()->setTerms("");
    selectTitle(0, "Solaris");
    noteEdit()->setPlainText("calm waters");
    window->getSearchBox()->setTerms("thalassophobia");
    QCOMPARE(shownTitles(0), QStringList());
    window->getSearchBox()->setTerms("calm water");
    QCOMPARE(shownTitles(0), QStringList({"Solaris"}));

    // Each tab keeps its own scope; web pages are found by their address; back to the usual
    // scope, the usual results.
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(2), 0);
    QVERIFY(window->findChild<QAction*>("actionSearchTitles")->isChecked());
    window->getSearchBox()->setTerms("qt.io");
    QCOMPARE(shownTitles(1), QStringList());
    window->findChild<QAction*>("actionSearchEverything")->trigger();
    QCOMPARE(shownTitles(1), QStringList({"Qt"}));
    tabs()->setCurrentIndex(0);
    QVERIFY(window->findChild<QAction*>("actionSearchEverything")->isChecked());
    window->getSearchBox()->setTerms("e");
    window->findChild<QAction*>("actionSearchTitles")->trigger();
    QCOMPARE(shownTitles(0), usual);

    // An author's tab searches among that author's books.
    Q_EMIT tree()->itemDoubleClicked(branch(1)->child(1), 0); // Herbert, Frank
    window->getSearchBox()->setTerms("messiah");
    QCOMPARE(shownTitles(tabs()->currentIndex()), QStringList({"Dune Messiah"}));
    window->findChild<QAction*>("actionSearchEverything")->trigger();
    window->getSearchBox()->setTerms("e");
    QCOMPARE(shownTitles(tabs()->currentIndex()), QStringList({"Dune", "Dune Messiah"}));

    QCOMPARE(EverythingSearch::noteText("<html><head><style>p { margin: 0 }</style></head><body><p>a &amp; "
                                        "b</p><p>&lt;c&gt;&#233;</p></body></html>"),
             QString("a & b <c>\u00e9"));
}

void TestMainWindow::tagsAndSeries_areSavedShownFoundAndBranched()
{
    start();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    // Tags and a series, typed in the book dialog (Return on the selected book opens it).
    const auto edit = [this](const QString& title, const QString& tags, const QString& series, double number) {
        selectTitle(0, title);
        table(0)->setFocus();
        QTimer::singleShot(0, [=] {
            QWidget* dialog = QApplication::activeModalWidget();
            dialog->findChild<QLineEdit*>("bookPublisher")->setText("Chilton " + title);
            dialog->findChild<QLineEdit*>("bookTags")->setText(tags);
            dialog->findChild<QLineEdit*>("bookSeries")->setText(series);
            dialog->findChild<QDoubleSpinBox*>("bookSeriesNumber")->setValue(number);
            dialog->findChild<QPushButton*>("btnSave")->click();
        });
        QTest::keyClick(table(0), Qt::Key_Return);
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    };
    edit("Dune", "space opera,  classics, , Classics", "Dune Chronicles", 1);
    edit("Dune Messiah", "space opera", "Dune Chronicles", 2);
    edit("Solaris", "Books", "Web Pages", 0); // named like the tree's own entries
    const auto rowText = [this](const QString& title, int column) {
        const int row = table(0)->findItems(title, Qt::MatchExactly).first()->row();
        return table(0)->item(row, column) ? table(0)->item(row, column)->text() : QString();
    };
    QCOMPARE(rowText("Dune", 5), QString("space opera, classics"));
    QCOMPARE(rowText("Dune Messiah", 6), QString("Dune Chronicles 2"));
    QCOMPARE(rowText("Dune Messiah", 7), QString("Chilton Dune Messiah"));
    QCOMPARE(rowText("Foundation", 5), QString());

    // Found in the Everything scope, not in the usual one.
    window->getSearchBox()->setTerms("chronicles");
    QCOMPARE(visibleCells(viewAt(0)), 0);
    window->findChild<QAction*>("actionSearchEverything")->trigger();
    QCOMPARE(visibleCells(viewAt(0)), 2);
    window->getSearchBox()->setTerms("classics");
    QCOMPARE(visibleCells(viewAt(0)), 1);
    window->getSearchBox()->setTerms("");

    // After a restart: still shown, and the tree's branches open tabs of their books.
    restart();
    QCOMPARE(rowText("Dune Messiah", 5), QString("space opera"));
    QTreeWidgetItem* tags = branch(3);
    QCOMPARE(tags->text(0), QString("Tags"));
    QCOMPARE(childTexts(tags), QStringList({"Books", "classics", "space opera"}));
    // A tag named "Books" and a series named "Web Pages" open their own tabs, and only those.
    Q_EMIT tree()->itemDoubleClicked(tags->child(0), 0);
    Q_EMIT tree()->itemDoubleClicked(branch(4)->child(1), 0);
    QCOMPARE(tabs()->count(), 3);
    QCOMPARE(viewAt(1)->getKind(), CollectionKind::TaggedBooks);
    QCOMPARE(viewAt(2)->getKind(), CollectionKind::SeriesBooks);
    QCOMPARE(shownTitles(2), QStringList({"Solaris"}));
    Q_EMIT tree()->itemDoubleClicked(tags->child(2), 0); // space opera
    QCOMPARE(tabs()->tabText(tabs()->currentIndex()), QString("space opera"));
    QCOMPARE(table(tabs()->currentIndex())->rowCount(), 2);
    Q_EMIT tree()->itemDoubleClicked(branch(4)->child(0), 0); // Dune Chronicles
    QCOMPARE(table(tabs()->currentIndex())->rowCount(), 2);
    window->getSearchBox()->setTerms("messiah");
    QCOMPARE(visibleCells(viewAt(tabs()->currentIndex())), 1);
    QCOMPARE(TagsAndSeries::tagsInUse(), QStringList({"Books", "classics", "space opera"}));
}

void TestMainWindow::windowState_firstRunFitsTheScreen_thenSurvivesARestart()
{
    library = std::make_unique<LibraryDatabase>();
    window = std::make_unique<MainWindow>(*library);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // About two thirds of the screen, never below the window's own minimum.
    QCOMPARE(window->size(), (screen.size() * 2 / 3).expandedTo(window->minimumSize()));
    window->show();
    window->resize(900, 640);
    table(0)->setColumnWidth(1, 222);
    window->findChild<QAction*>("actionView")->trigger();
    QCOMPARE(viewAt(0)->getCurrentView(), 1);
    window->findChild<QAction*>("actionQuit")->trigger();
    closeWindow();
    library = std::make_unique<LibraryDatabase>();
    window = std::make_unique<MainWindow>(*library);
    window->show();
    QCOMPARE(window->size(), QSize(900, 640));
    QCOMPARE(viewAt(0)->getCurrentView(), 1);
    QVERIFY(window->findChild<QAction*>("actionView")->isChecked());
    QCOMPARE(table(0)->columnWidth(1), 222);
}

LIRENTA_TEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
