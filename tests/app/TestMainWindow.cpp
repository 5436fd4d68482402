#include "Book.h"
#include "BookDrops.h"
#include "BookProperties.h"
#include "Books.h"
#include "EverythingSearch.h"
#include "ItemViews.h"
#include "LanguageComboBox.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "MainWindow.h"
#include "NoticesWindow.h"
#include "OpenedUrls.h"
#include "Prompt.h"
#include "QtModules.h"
#include "Rating.h"
#include "RichTextEditor.h"
#include "StandInServer.h"
#include "TagsAndSeries.h"
#include "TestEnvironment.h"
#include "Translations.h"
#include "ViewItem.h"
#include "WebPageProperties.h"
#include "WindowFixture.h"
#include "searchbox.h"

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
    void noteAndRating_surviveQuitAndRestart();
    void singleBook_lookedUpOnline_appearsInEveryBooksTabAndTheAuthorTree();
    void convertAction_isEnabledForOneBookWithAPdf();
    void search_keepsHiddenItemsOutOfTheSelection_andOutOfDelete_data();
    void search_keepsHiddenItemsOutOfTheSelection_andOutOfDelete();
    void deletingSeveral_deletesEachFromEveryTab();
    void failedWrites_areToldAndTheViewShowsWhatIsStored();
    void notes_followTheHighlightedItem_andNeverLeakFormats();
    void failedNoteSave_keepsTheTextUntilTheUserChooses();
    void readOnlyLibrary_switchesOffEveryWrite();
    void bookDialog_keepsOwnershipReadingAndLanguage();
    void missingFile_isMarked_andOpeningItSaysSo();
    void keyboard_reachesTheUsualActions();
    void noticesAndCredits_showWhatHappenedAndWhatIsUsed();
    void emptyLibrary_welcomes_andDropsAddBooks();
    void germanLocale_showsGermanMenus();
    void searchEverything_findsNotesAuthorsAndAddresses_perTab();
    void tagsAndSeries_areSavedShownFoundAndBranched();
    void windowState_firstRunFitsTheScreen_thenSurvivesARestart();
    void folderImports_walkTheFolderOrTheWholeTree_data();
    void folderImports_walkTheFolderOrTheWholeTree();
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

void TestMainWindow::noteAndRating_surviveQuitAndRestart()
{
    // Stars as the user sees them: the full star's picture on the first n buttons.
    const auto fullStars = [](QWidget* stars) {
        const QImage full = QIcon(":/icons/icons/16x16/001_15.png").pixmap(16).toImage();
        int count = 0;
        for (int i = 1; i <= 5; ++i) {
            auto* star = stars->findChild<QToolButton*>(QString("btnRating%1").arg(i));
            count += star->icon().pixmap(16).toImage() == full ? 1 : 0;
        }
        return count;
    };
    const auto starsOf = [this](const QString& title) {
        return table(0)->cellWidget(table(0)->findItems(title, Qt::MatchExactly).first()->row(), 4);
    };
    start();
    selectTitle(0, "Foundation");
    noteEdit()->setPlainText("remember this");
    QTest::mouseClick(starsOf("Solaris")->findChild<QToolButton*>("btnRating2"), Qt::LeftButton);
    QTest::mouseClick(starsOf("Dune")->findChild<QToolButton*>("btnRating0"), Qt::LeftButton);
    QCOMPARE(fullStars(starsOf("Solaris")), 2);
    restart();
    QCOMPARE(fullStars(starsOf("Solaris")), 2);
    QCOMPARE(fullStars(starsOf("Dune")), 0);
    QCOMPARE(fullStars(starsOf("Foundation")), 4);
    selectTitle(0, "Foundation");
    QCOMPARE(noteEdit()->toPlainText(), QString("remember this"));
}

void TestMainWindow::singleBook_lookedUpOnline_appearsInEveryBooksTabAndTheAuthorTree()
{
    StandInServer googleBooks("googlebooks-standin");
    QVERIFY(googleBooks.isRunning());
    qputenv("LIRENTA_GOOGLE_BOOKS_URL", googleBooks.address().toEncoded());
    const auto restore = qScopeGuard([] { qunsetenv("LIRENTA_GOOGLE_BOOKS_URL"); });
    start();
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(0), 0);
    const QString path = booksDir + QString::fromUtf8("Brand_New-Book; (Мастер).PDF");
    QVERIFY(!TestEnvironment::writeFile(path, "%PDF-1.4 new").isEmpty());
    bool lookedUp = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        Prompt::queueFileName(path);
        dialog->findChild<QToolButton*>("btnSelectFile")->click();
        QCOMPARE(dialog->findChild<QLineEdit*>("bookTitle")->text(), QString::fromUtf8("Brand New Book Мастер"));
        // The ISBN finds the book at the stand-in; its title, authors and cover fill the form.
        dialog->findChild<QLineEdit*>("bookISBN13")->setText("9780156027601");
        dialog->findChild<QToolButton*>("btnDlISBN")->click();
        lookedUp = QTest::qWaitFor(
            [&] { return dialog->findChild<QLineEdit*>("bookTitle")->text() == QLatin1String("Solaris"); }, 10000);
        dialog->findChild<QPushButton*>("btnSave")->click();
    });
    window->findChild<QAction*>("actionAddEbook")->trigger();
    QVERIFY(lookedUp);
    for (int index : {0, 1}) {
        QCOMPARE(table(index)->rowCount(), 5);
        QCOMPARE(table(index)->findItems("Solaris", Qt::MatchExactly).size(), 2);
    }
    const QStringList names = childTexts(branch(1));
    QVERIFY2(names.contains(QString::fromUtf8("Lem, Stanisław")), qPrintable(names.join("; ")));
    const int iid = LibraryFixture::scalar("SELECT iid FROM books ORDER BY bid DESC LIMIT 1").toInt();
    QVERIFY(QImage(dataDir + QString::number(iid) + ".jpg").width() > 0);
}

void TestMainWindow::convertAction_isEnabledForOneBookWithAPdf()
{
    start();
    auto* convert = window->findChild<QAction*>("actionConvert");
    QVERIFY(!convert->isEnabled());
    selectTitle(0, "Dune");
    QVERIFY(convert->isEnabled());
    table(0)->clearSelection(); // nothing selected: nothing to convert
    QVERIFY(!convert->isEnabled());
    selectTitle(0, "Foundation");
    QVERIFY(!convert->isEnabled());
    table(0)->selectAll();
    QVERIFY(!convert->isEnabled());
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

void TestMainWindow::deletingSeveral_deletesEachFromEveryTab()
{
    start();
    Q_EMIT tree()->itemDoubleClicked(branch(1)->child(1), 0); // Herbert, Frank
    ItemViews* author = viewAt(1);
    QCOMPARE(visibleCells(author), 2);
    ItemViews* books = viewAt(0);
    table(0)->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const char* title : {"Dune", "Dune Messiah", "Foundation"}) {
        selectTitle(0, title);
    }
    QCOMPARE(books->getSelectedViewItems().size(), 3);
    deleteSelection(books);
    QVERIFY(Prompt::shownTexts().last().contains("3 items"));
    QCOMPARE(storedTitles(), QStringList({"Solaris"}));
    QCOMPARE(visibleCells(books), 1);
    QCOMPARE(visibleCells(author), 0);
    QCOMPARE(books->getSelectedViewItems().size(), 0);

    // Authors without books leave the tree; the emptied author tab closes with a word.
    QTRY_COMPARE(tabs()->count(), 1);
    QVERIFY(window->statusBar()->currentMessage().contains("Herbert, Frank"));
    QCOMPARE(childTexts(branch(1)), QStringList({"Lem, Stanislaw"}));
}

void TestMainWindow::failedWrites_areToldAndTheViewShowsWhatIsStored()
{
    start();
    ItemViews* books = viewAt(0);
    QSqlQuery().exec("CREATE TRIGGER refuse_delete BEFORE DELETE ON items BEGIN SELECT RAISE(ABORT, 'refused'); END");
    QSqlQuery().exec("CREATE TRIGGER refuse_update BEFORE UPDATE ON items BEGIN SELECT RAISE(ABORT, 'refused'); END");

    selectTitle(0, "Solaris");
    deleteSelection(books);
    QVERIFY2(Prompt::shownTexts().last().contains("could not be deleted"), qPrintable(Prompt::shownTexts().last()));
    QVERIFY(Prompt::shownTexts().last().contains("Solaris"));
    QCOMPARE(visibleCells(books), 4);
    QCOMPARE(storedTitles().size(), 4);
    QCOMPARE(books->getSelectedViewItems().size(), 1);

    // The stars go back to the stored rating.
    const int row = table(0)->findItems("Solaris", Qt::MatchExactly).first()->row();
    auto* stars = qobject_cast<Rating*>(table(0)->cellWidget(row, 4));
    QVERIFY(stars);
    QCOMPARE(stars->getRating(), 5);
    stars->findChild<QToolButton*>("btnRating2")->click();
    QCOMPARE(stars->getRating(), 5);
    QVERIFY(Prompt::shownTexts().last().contains("rating of \"Solaris\" could not be saved"));
    QCOMPARE(LibraryFixture::scalar("SELECT rating FROM items JOIN books USING (iid) WHERE title = 'Solaris'").toInt(),
             5);

    QSqlQuery().exec("DROP TRIGGER refuse_update");
    stars->findChild<QToolButton*>("btnRating2")->click();
    QCOMPARE(stars->getRating(), 2);
    QCOMPARE(LibraryFixture::scalar("SELECT rating FROM items JOIN books USING (iid) WHERE title = 'Solaris'").toInt(),
             2);
}

void TestMainWindow::notes_followTheHighlightedItem_andNeverLeakFormats()
{
    start();
    auto* label = window->getNotes()->findChild<QLabel*>("label");
    QVERIFY(noteEdit()->isReadOnly()); // nothing selected yet, and it says what to do
    QVERIFY(noteEdit()->placeholderText().startsWith("Select a book or web page"));
    selectTitle(0, "Foundation");
    QCOMPARE(label->text(), QString("Notes on Foundation"));
    QVERIFY(!noteEdit()->isReadOnly());
    noteEdit()->setFocus();
    QTest::keyClicks(noteEdit(), "plain ");
    QTest::keyClick(noteEdit(), Qt::Key_B, Qt::ControlModifier);
    QTest::keyClicks(noteEdit(), "bold");

    // Another item: its own, empty note, typed in the plain format.
    selectTitle(0, "Solaris");
    QCOMPARE(label->text(), QString("Notes on Solaris"));
    QCOMPARE(noteEdit()->toPlainText(), QString());
    QTest::keyClicks(noteEdit(), "ocean");
    QVERIFY(noteEdit()->currentCharFormat().fontWeight() < QFont::Bold);

    // A search that hides the highlighted item moves the pane along: empty and read-only.
    window->getSearchBox()->setTerms("dune");
    QCOMPARE(label->text(), QString("Notes on book"));
    QVERIFY(noteEdit()->isReadOnly());
    QCOMPARE(noteEdit()->toPlainText(), QString());

    // Another tab: the pane shows what is highlighted there.
    Q_EMIT tree()->itemDoubleClicked(tree()->topLevelItem(0), 0);
    tabs()->setCurrentIndex(1);
    selectTitle(1, "Foundation");
    QCOMPARE(noteEdit()->toPlainText(), QString("plain bold"));
    tabs()->setCurrentIndex(0);
    QCOMPARE(label->text(), QString("Notes on book"));

    // Deleting the highlighted item empties the pane without writing its note back.
    tabs()->setCurrentIndex(1);
    const int foundation = viewAt(1)->getSelectedViewItems().first()->id;
    noteEdit()->setPlainText("typed before deleting");
    deleteSelection(viewAt(1));
    QCOMPARE(label->text(), QString("Notes on book"));
    QCOMPARE(LibraryFixture::scalar(QString("SELECT COUNT(*) FROM notes WHERE iid = %1").arg(foundation)).toInt(), 0);
    QVERIFY(LibraryFixture::scalar("SELECT note FROM notes JOIN books USING (iid) WHERE title = 'Solaris'")
                .toString()
                .contains("ocean"));
}

void TestMainWindow::failedNoteSave_keepsTheTextUntilTheUserChooses()
{
    start();
    auto* label = window->getNotes()->findChild<QLabel*>("label");
    selectTitle(0, "Foundation");
    noteEdit()->setPlainText("psychohistory");
    QSqlQuery().exec("CREATE TRIGGER refuse_note BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END");

    Prompt::queueAnswer(QMessageBox::Cancel);
    selectTitle(0, "Solaris");
    QVERIFY(Prompt::shownTexts().last().contains("The note on \"Foundation\" could not be saved."));
    QCOMPARE(label->text(), QString("Notes on Foundation"));
    QCOMPARE(noteEdit()->toPlainText(), QString("psychohistory"));

    // Quitting asks too; Cancel keeps the window and the text.
    Prompt::queueAnswer(QMessageBox::Cancel);
    QVERIFY(!window->close());
    QCOMPARE(noteEdit()->toPlainText(), QString("psychohistory"));

    // Once the library takes it again, moving on saves it.
    QSqlQuery().exec("DROP TRIGGER refuse_note");
    selectTitle(0, "Dune");
    QCOMPARE(label->text(), QString("Notes on Dune"));
    QVERIFY(LibraryFixture::scalar("SELECT note FROM notes JOIN books USING (iid) WHERE title = 'Foundation'")
                .toString()
                .contains("psychohistory"));

    // Discard lets the pane move on and drops the change.
    noteEdit()->setPlainText("dropped");
    QSqlQuery().exec("CREATE TRIGGER refuse_note BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END");
    Prompt::queueAnswer(QMessageBox::Discard);
    selectTitle(0, "Solaris");
    QCOMPARE(label->text(), QString("Notes on Solaris"));
    QVERIFY(!LibraryFixture::scalar("SELECT group_concat(note) FROM notes").toString().contains("dropped"));
}

void TestMainWindow::readOnlyLibrary_switchesOffEveryWrite()
{
    const QString database = dataDir + "data.db";
    // An immutable file and folder: even root may not write them.
    if (QProcess::execute("chattr", {"+i", database, dataDir}) != 0) {
        QSKIP("chattr +i is not available here");
    }
    const auto unlock = qScopeGuard([&] { QProcess::execute("chattr", {"-i", database, dataDir}); });
    start();
    QVERIFY(window->isReadOnly());
    QVERIFY(Prompt::shownTexts().first().contains("switched off"));
    for (const char* name :
         {"actionAdd", "actionAddEbook", "actionAdd_Mutiple", "actionAdd_Mutiple_Recusive", "actionConvert"}) {
        QVERIFY2(!window->findChild<QAction*>(name)->isEnabled(), name);
    }
    selectTitle(0, "Dune");
    QVERIFY(!window->findChild<QAction*>("actionConvert")->isEnabled());
    QVERIFY(noteEdit()->isReadOnly());
    const int row = table(0)->findItems("Dune", Qt::MatchExactly).first()->row();
    QVERIFY(!table(0)->cellWidget(row, 4)->isEnabled());
    // Delete does nothing and asks nothing.
    const int shown = Prompt::shownTexts().size();
    QVERIFY(QMetaObject::invokeMethod(viewAt(0), "deleteItem"));
    QCOMPARE(Prompt::shownTexts().size(), shown);
    QCOMPARE(visibleCells(viewAt(0)), 4);
    // The properties dialogs show, but offer no Save.
    BookProperties book(window.get(), viewAt(0)->getSelectedViewItems().first()->id);
    QVERIFY(!book.findChild<QPushButton*>("btnSave")->isEnabled());
    WebPageProperties page(window.get(), LibraryFixture::scalar("SELECT iid FROM webpages").toInt());
    QVERIFY(!page.findChild<QPushButton*>("btnSave")->isEnabled());
}

void TestMainWindow::bookDialog_keepsOwnershipReadingAndLanguage()
{
    start();
    const int iid = LibraryFixture::scalar("SELECT iid FROM books WHERE title = 'Solaris'").toInt();
    {
        BookProperties dialog(window.get(), iid);
        QCOMPARE(dialog.findChild<QDateEdit*>("field_book_read_2")->date(), QDate::currentDate());
        dialog.findChild<QGroupBox*>("groupBox")->setChecked(true);
        dialog.findChild<QLineEdit*>("lineEdit")->setText("Shelf 3, top");
        dialog.findChild<QGroupBox*>("groupBox_3")->setChecked(true);
        dialog.findChild<QDateEdit*>("field_book_read_2")->setDate(QDate(2019, 4, 2));
        dialog.findChild<QCheckBox*>("checkBox_2")->setChecked(true);
        dialog.findChild<LanguageComboBox*>()->setCurrentLanguage(QLocale::Polish);
        dialog.findChild<QPushButton*>("btnSave")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    // After a restart the dialog shows what was typed.
    restart();
    BookProperties dialog(window.get(), iid);
    QVERIFY(dialog.findChild<QGroupBox*>("groupBox")->isChecked());
    QCOMPARE(dialog.findChild<QLineEdit*>("lineEdit")->text(), QString("Shelf 3, top"));
    QVERIFY(dialog.findChild<QGroupBox*>("groupBox_3")->isChecked());
    QCOMPARE(dialog.findChild<QDateEdit*>("field_book_read_2")->date(), QDate(2019, 4, 2));
    QVERIFY(dialog.findChild<QCheckBox*>("checkBox_2")->isChecked());
    QCOMPARE(dialog.findChild<LanguageComboBox*>()->currentLanguage(), QLocale::Polish);
}

void TestMainWindow::missingFile_isMarked_andOpeningItSaysSo()
{
    const QString path = QDir::homePath() + "/books/dune.pdf";
    QVERIFY(QFile::remove(path));
    start();
    QTableWidgetItem* title = table(0)->findItems("Dune", Qt::MatchExactly).first();
    QTableWidgetItem* size = table(0)->item(title->row(), 3);
    QCOMPARE(size->toolTip(), QString("The file %1 was not found.").arg(path));
    QVERIFY(!size->icon().isNull());
    QVERIFY(table(0)->item(table(0)->findItems("Foundation", Qt::MatchExactly).first()->row(), 3)->toolTip().isEmpty());

    Q_EMIT table(0)->itemDoubleClicked(title);
    QCOMPARE(Prompt::shownTexts().last(), QString("The file %1 was not found.").arg(path));
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

void TestMainWindow::noticesAndCredits_showWhatHappenedAndWhatIsUsed()
{
    start();
    qCWarning(lcStore) << "could not write the cover";
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* notices = qobject_cast<NoticesWindow*>(QApplication::activeModalWidget());
        shown = notices ? notices->shownText() : QString();
        if (notices) {
            notices->close();
        }
    });
    window->findChild<QAction*>("actionNotices")->trigger();
    QVERIFY2(shown.contains("lirenta.store: could not write the cover"), qPrintable(shown));

    window->findChild<QAction*>("actionCredits")->trigger();
    QVERIFY(Prompt::shownTexts().last().contains("Breeze icons"));
}

void TestMainWindow::emptyLibrary_welcomes_andDropsAddBooks()
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
    const auto rowText = [this](const QString& title, int column) {
        const int row = table(0)->findItems(title, Qt::MatchExactly).first()->row();
        return table(0)->item(row, column) ? table(0)->item(row, column)->text() : QString();
    };
    QCOMPARE(rowText("Dune", 5), QString("space opera, classics"));
    QCOMPARE(rowText("Dune Messiah", 6), QString("Dune Chronicles 2"));
    QCOMPARE(rowText("Dune Messiah", 7), QString("Chilton Dune Messiah"));
    QCOMPARE(rowText("Solaris", 5), QString());

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
    QCOMPARE(tags->childCount(), 2);
    QCOMPARE(tags->child(0)->text(0), QString("classics"));
    Q_EMIT tree()->itemDoubleClicked(tags->child(1), 0); // space opera
    QCOMPARE(tabs()->tabText(tabs()->currentIndex()), QString("space opera"));
    QCOMPARE(table(tabs()->currentIndex())->rowCount(), 2);
    Q_EMIT tree()->itemDoubleClicked(branch(4)->child(0), 0); // Dune Chronicles
    QCOMPARE(table(tabs()->currentIndex())->rowCount(), 2);
    window->getSearchBox()->setTerms("messiah");
    QCOMPARE(visibleCells(viewAt(tabs()->currentIndex())), 1);
    QCOMPARE(TagsAndSeries::tagsInUse(), QStringList({"classics", "space opera"}));
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

void TestMainWindow::folderImports_walkTheFolderOrTheWholeTree_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("listed");
    QTest::newRow("Add > Multiple Books (Dir)") << "actionAdd_Mutiple" << 1;
    QTest::newRow("Add > Multiple Books (Dir+Sub-dirs)") << "actionAdd_Mutiple_Recusive" << 2;
    QTest::newRow("Library > Multiple Books (Directory)") << "actionMultiple_eBooks" << 1;
    QTest::newRow("Library > Multiple Books (Directory + Sub dir)") << "actionMultiple_eBooks_2" << 2;
}

void TestMainWindow::folderImports_walkTheFolderOrTheWholeTree()
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

LIRENTA_TEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
