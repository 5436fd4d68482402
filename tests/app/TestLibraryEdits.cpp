#include "Book.h"
#include "BookProperties.h"
#include "ItemViews.h"
#include "LanguageComboBox.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "Logging.h"
#include "MainWindow.h"
#include "NoticesWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "Rating.h"
#include "RichTextEditor.h"
#include "StandInServer.h"
#include "TestEnvironment.h"
#include "ViewItem.h"
#include "WebPageProperties.h"
#include "WindowFixture.h"
#include "searchbox.h"

// Edits through the window: notes, ratings, deletions, the book dialog, failed writes and a
// read-only library.
class TestLibraryEdits : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void noteAndRating_surviveQuitAndRestart();
    void singleBook_lookedUpOnline_appearsInEveryBooksTabAndTheAuthorTree();
    void convertAction_isEnabledForOneBookWithAPdf();
    void deletingSeveral_deletesEachFromEveryTab();
    void failedWrites_areToldAndTheViewShowsWhatIsStored();
    void notes_followTheHighlightedItem_andNeverLeakFormats();
    void failedNoteSave_keepsTheTextUntilTheUserChooses();
    void readOnlyLibrary_switchesOffEveryWrite();
    void bookDialog_keepsOwnershipReadingAndLanguage();
    void missingFile_isMarked_andOpeningItSaysSo();
    void noticesAndCredits_showWhatHappenedAndWhatIsUsed();
};

void TestLibraryEdits::init()
{
    seedLibrary();
}

void TestLibraryEdits::cleanup()
{
    closeWindow();
}

void TestLibraryEdits::noteAndRating_surviveQuitAndRestart()
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

void TestLibraryEdits::singleBook_lookedUpOnline_appearsInEveryBooksTabAndTheAuthorTree()
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

void TestLibraryEdits::convertAction_isEnabledForOneBookWithAPdf()
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

void TestLibraryEdits::deletingSeveral_deletesEachFromEveryTab()
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

void TestLibraryEdits::failedWrites_areToldAndTheViewShowsWhatIsStored()
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

void TestLibraryEdits::notes_followTheHighlightedItem_andNeverLeakFormats()
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

void TestLibraryEdits::failedNoteSave_keepsTheTextUntilTheUserChooses()
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

void TestLibraryEdits::readOnlyLibrary_switchesOffEveryWrite()
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

void TestLibraryEdits::bookDialog_keepsOwnershipReadingAndLanguage()
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

void TestLibraryEdits::missingFile_isMarked_andOpeningItSaysSo()
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

void TestLibraryEdits::noticesAndCredits_showWhatHappenedAndWhatIsUsed()
{
    start();
    qCWarning(lcStore) << "could not write the cover";
    qCWarning(lcStore) << "no HTML copy of" << QString("/books/Say \"Hi\".xhtml") << "kept";
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* notices = qobject_cast<NoticesWindow*>(QApplication::activeModalWidget());
        shown = notices ? notices->shownText() : QString();
        if (notices) {
            notices->close();
        }
    });
    window->findChild<QAction*>("actionNotices")->trigger();
    // Sentences: no category, no quotes or escapes, a file by its name.
    QVERIFY2(shown.contains("Could not write the cover.\n"), qPrintable(shown));
    QVERIFY2(shown.contains("No HTML copy of Say \"Hi\".xhtml kept."), qPrintable(shown));
    QVERIFY(!shown.contains("lirenta."));

    window->findChild<QAction*>("actionCredits")->trigger();
    QVERIFY(Prompt::shownTexts().last().contains("Breeze icons"));
}

LIRENTA_TEST_MAIN(TestLibraryEdits)
#include "TestLibraryEdits.moc"
