#include "ContentIndexer.h"
#include "InformationPanel.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "OpenedUrls.h"
#include "PdfFiles.h"
#include "PdfPageView.h"
#include "PdfReader.h"
#include "Prompt.h"
#include "QtModules.h"
#include "RichTextEditor.h"
#include "TestEnvironment.h"

#include <QPdfBookmarkModel>
#include <QPdfDocument>

namespace {
// Thirty pages, "needle" on pages 3 and 17 (counted from 1), an outline of three entries.
QStringList pageTexts()
{
    QStringList texts;
    for (int page = 1; page <= 30; ++page) {
        texts
            << QString("Page %1 of the long report. %2").arg(page).arg(page == 3 || page == 17 ? "A needle here." : "");
    }
    return texts;
}

QColor colourAt(QWidget* widget, const QPoint& point)
{
    return widget->grab().toImage().pixelColor(point);
}
} // namespace

class TestPdfReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void libraryPdf_opensInATab_withPagesContentsFindAndSelection();
    void pageKeysZoomAndTypedPages_moveThroughTheBook();
    void damagedEmptyAndLockedFiles_sayWhy();
    void reopenedPdf_resumesPageAndPlace_atAnyZoomOrWidth_untilTheFileChanges();
    void preference_sendsPdfsToTheSystemViewer();
    void searchInsideBooks_showsThePlaces_andOneOpensAtItsPage();

private:
    MainWindow* startWindow();
    PdfReader* openFromTable();

    std::unique_ptr<LibraryFixture> library;
    std::unique_ptr<MainWindow> window;
    QString bookPath;
};

void TestPdfReader::init()
{
    library = std::make_unique<LibraryFixture>();
    LibrarySeeder(library->dataDir(), library->filesDir())
        .addBook({.title = "Long Report", .fileNames = {"report.pdf"}});
    bookPath = library->filesDir() + "report.pdf";
    QVERIFY(PdfFiles::writeTextPages(bookPath, pageTexts()));
    QVERIFY(PdfFiles::addOutline(bookPath, {{"Start", 0}, {"Middle", 14}, {"End", 29}}));
    Prompt::setScripted(true);
    Prompt::clearShownTexts();
}

void TestPdfReader::cleanup()
{
    window.reset();
    library.reset();
    LibrarySettings().setPdfInDesktopViewer(false);
}

MainWindow* TestPdfReader::startWindow()
{
    window.reset();
    library->library().close();
    window = std::make_unique<MainWindow>(library->library());
    window->resize(1000, 700);
    window->show();
    return window.get();
}

PdfReader* TestPdfReader::openFromTable()
{
    auto* tabs = window->findChild<QTabWidget*>("tabWidget");
    auto* table = tabs->widget(0)->findChild<QTableWidget*>("viewTable");
    Q_EMIT table->itemDoubleClicked(table->item(0, 0));
    auto* reader = qobject_cast<PdfReader*>(tabs->currentWidget());
    if (reader && !QTest::qWaitForWindowExposed(reader)) {
        return nullptr;
    }
    return reader;
}

void TestPdfReader::libraryPdf_opensInATab_withPagesContentsFindAndSelection()
{
    startWindow();
    PdfReader* reader = openFromTable();
    QVERIFY(reader);
    QVERIFY2(reader->getProblem().isEmpty(), qPrintable(reader->getProblem()));
    auto* pageBox = reader->findChild<QSpinBox*>("pageBox");
    QCOMPARE(pageBox->text(), QString("1 / 30"));

    // The notes pane beside the book holds the book's own note.
    auto* notes = window->getNotes();
    QCOMPARE(notes->findChild<QLabel*>("label")->text(), QString("Notes on Long Report"));
    QCOMPARE(notes->getItemId(), reader->itemId());

    // The PDF's outline is the contents; an entry goes to its page.
    auto* outline = reader->findChild<QTreeView*>("outline");
    QVERIFY(outline->isVisible());
    QCOMPARE(outline->model()->rowCount(), 3);
    Q_EMIT outline->clicked(outline->model()->index(1, 0));
    QCOMPARE(reader->currentPage(), 14);
    QCOMPARE(pageBox->text(), QString("15 / 30"));

    // Find marks every match, counts them and walks them with F3 and Shift+F3.
    auto* findField = reader->findChild<QLineEdit*>("findField");
    window->activateWindow();
    QTest::keySequence(reader->view(), QKeySequence::Find);
    QVERIFY(findField->hasFocus());
    QTest::keyClicks(findField, "needle");
    QTRY_COMPARE(reader->hitCount(), 2);
    QTest::keyClick(findField, Qt::Key_F3);
    QCOMPARE(reader->currentHitIndex(), 0);
    QCOMPARE(reader->findChild<QLabel*>("findCount")->text(), QString("1 of 2"));
    QTest::keyClick(findField, Qt::Key_F3);
    QCOMPARE(reader->currentPage(), 16);
    QTest::keyClick(findField, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(reader->currentHitIndex(), 0);
    QCOMPARE(reader->currentPage(), 2);
    // The current match is painted over the very words on the page.
    PdfPageView* view = reader->view();
    QPdfDocument* pdf = reader->document();
    const QString text = pdf->getAllText(2).text();
    const auto onScreen = [view, pdf](int page, const QPdfSelection& words) {
        const QRect rect = view->pageRect(page);
        const QSizeF points = pdf->pagePointSize(page);
        const QPointF centre = words.boundingRectangle().center();
        return QPoint(rect.left() + qRound(centre.x() * rect.width() / points.width()),
                      rect.top() + qRound(centre.y() * rect.height() / points.height())) -
               QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    };
    const QPoint needle = onScreen(2, pdf->getSelectionAtIndex(2, int(text.indexOf("needle")), 6));
    QTRY_VERIFY_WITH_TIMEOUT(
        colourAt(view->viewport(), needle).red() > 200 && colourAt(view->viewport(), needle).blue() < 150, 5000);

    // Dragging across the text selects it; Ctrl+C copies it.
    QApplication::clipboard()->clear();
    const QPoint from = onScreen(2, pdf->getSelectionAtIndex(2, int(text.indexOf("report")), 1));
    const QPoint to = onScreen(2, pdf->getSelectionAtIndex(2, int(text.indexOf("here")), 1));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, view->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    QVERIFY2(view->selectedText().contains("needle"), qPrintable(view->selectedText()));
    QTest::keySequence(view, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), view->selectedText());
}

void TestPdfReader::pageKeysZoomAndTypedPages_moveThroughTheBook()
{
    PdfReader reader(nullptr, bookPath);
    reader.resize(900, 700);
    reader.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reader));
    PdfPageView* view = reader.view();
    QTest::keyClick(view, Qt::Key_PageDown);
    QTest::keyClick(view, Qt::Key_PageDown);
    QCOMPARE(reader.currentPage(), 2);
    QTest::keyClick(view, Qt::Key_PageUp);
    QCOMPARE(reader.currentPage(), 1);
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(reader.currentPage(), 29);
    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(reader.currentPage(), 0);

    auto* pageBox = reader.findChild<QSpinBox*>("pageBox");
    pageBox->selectAll();
    QTest::keyClicks(pageBox, "12");
    QTest::keyClick(pageBox, Qt::Key_Return);
    QCOMPARE(reader.currentPage(), 11);

    // Zoom keeps the page on screen; the fits fill the width or show the whole page.
    const qreal fitted = view->effectiveZoom();
    reader.findChild<QToolButton*>("btnZoomIn")->click();
    QVERIFY(view->effectiveZoom() > fitted * 1.2);
    QCOMPARE(reader.currentPage(), 11);
    QWheelEvent wheel(QPointF(100, 100), view->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -240), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    const qreal zoomed = view->effectiveZoom();
    QApplication::sendEvent(view->viewport(), &wheel);
    QVERIFY(view->effectiveZoom() < zoomed * 0.9);
    reader.findChild<QToolButton*>("btnFitPage")->click();
    QVERIFY(view->pageRect(11).height() <= view->viewport()->height());
    QCOMPARE(reader.currentPage(), 11);
    reader.findChild<QToolButton*>("btnFitWidth")->click();
    QCOMPARE(view->pageRect(11).width(),
             view->viewport()->width() - view->documentMargins().left() - view->documentMargins().right());
    QVERIFY(reader.findChild<QToolButton*>("btnFitWidth")->isChecked());
}

void TestPdfReader::damagedEmptyAndLockedFiles_sayWhy()
{
    QByteArray whole;
    {
        QFile file(bookPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        whole = file.readAll();
    }
    const QString truncated = library->writeFile("truncated.pdf", whole.left(whole.size() / 3));
    const QString empty = library->writeFile("empty.pdf", QByteArray());
    const QString garbage = library->writeFile("garbage.pdf", QByteArray("not a PDF at all ").repeated(50));
    for (const QString& path : {truncated, empty, garbage}) {
        PdfReader reader(nullptr, path);
        QVERIFY2(reader.getProblem().contains("damaged, cut short or empty"), qPrintable(path));
        QVERIFY(reader.findChild<QLabel*>("problemLabel")->text() == reader.getProblem());
        QVERIFY(!reader.findChild<QLineEdit*>("findField")->isEnabled());
    }

    const QString locked = library->filesDir() + "locked.pdf";
    if (!PdfFiles::protect(bookPath, locked, "secret")) {
        QSKIP("qpdf is needed to make a protected PDF");
    }
    // A wrong password asks again; the right one opens the book.
    Prompt::queueText("wrong");
    Prompt::queueText("secret");
    {
        PdfReader reader(nullptr, locked);
        QVERIFY2(reader.getProblem().isEmpty(), qPrintable(reader.getProblem()));
        QCOMPARE(reader.document()->pageCount(), 30);
        QVERIFY(Prompt::shownTexts().last().contains("did not open locked.pdf"));
    }
    // Cancelling leaves the tab with a word of why.
    PdfReader reader(nullptr, locked);
    QCOMPARE(reader.getProblem(), QString("This PDF is protected by a password, and none was given."));
}

void TestPdfReader::reopenedPdf_resumesPageAndPlace_atAnyZoomOrWidth_untilTheFileChanges()
{
    const auto placeAfterReopening = [this](int width) {
        QVERIFY(library->reopen());
        PdfReader reader(nullptr, bookPath);
        reader.resize(width, 700);
        reader.show();
        QVERIFY(QTest::qWaitForWindowExposed(&reader));
        QCOMPARE(reader.view()->topPage(), 12);
        QVERIFY2(qAbs(reader.view()->placeOnTopPage() - 0.4) < 0.02,
                 qPrintable(QString::number(reader.view()->placeOnTopPage())));
    };
    for (const qreal zoom : {1.0, 1.5}) {
        {
            PdfReader reader(nullptr, bookPath);
            reader.resize(1000, 700);
            reader.show();
            QVERIFY(QTest::qWaitForWindowExposed(&reader));
            reader.view()->zoomTo(QPdfView::ZoomMode::Custom, zoom);
            reader.view()->showPlace(12, 0.4);
        } // the tab closes
        placeAfterReopening(1000);
        placeAfterReopening(600);
    }
    // Fit width is kept as a fit, so a narrower window still shows whole lines.
    {
        PdfReader reader(nullptr, bookPath);
        reader.show();
        reader.view()->zoomTo(QPdfView::ZoomMode::FitToWidth);
        reader.view()->showPlace(12, 0.4);
    }
    placeAfterReopening(500);
    {
        PdfReader reader(nullptr, bookPath);
        QCOMPARE(reader.view()->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    }

    // Another file under the same name starts at the first page.
    QVERIFY(PdfFiles::writeTextPages(bookPath, pageTexts().mid(0, 20)));
    PdfReader reader(nullptr, bookPath);
    reader.show();
    QCOMPARE(reader.currentPage(), 0);
}

void TestPdfReader::preference_sendsPdfsToTheSystemViewer()
{
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    startWindow();
    auto* tabs = window->findChild<QTabWidget*>("tabWidget");
    auto* table = tabs->widget(0)->findChild<QTableWidget*>("viewTable");
    // Chosen in Preferences, the desktop's viewer takes every PDF opened.
    LibrarySettings().setPdfInDesktopViewer(true);
    Q_EMIT table->itemDoubleClicked(table->item(0, 0));
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(opened.urls, QList<QUrl>({QUrl::fromLocalFile(bookPath)}));
    LibrarySettings().setPdfInDesktopViewer(false);
    Q_EMIT table->itemDoubleClicked(table->item(0, 0));
    QCOMPARE(tabs->count(), 2);
    QDesktopServices::unsetUrlHandler("file");
}

// A user looks for words inside the books, reads where they were found, and goes there.
void TestPdfReader::searchInsideBooks_showsThePlaces_andOneOpensAtItsPage()
{
    LibrarySeeder(library->dataDir(), library->filesDir())
        .addBook({.title = "Plain Notes", .fileNames = {"notes.txt"}});
    library->writeFile("notes.txt", "No sharp things in here.");
    startWindow();
    const ContentIndexer& indexer = library->library().contentIndexer();
    QTRY_VERIFY_WITH_TIMEOUT(indexer.isIdle() && indexer.doneCount() == 2, 20000);

    window->findChild<QAction*>("actionSearchInsideBooks")->trigger();
    auto* field = window->findChild<QLineEdit*>("searchBox");
    QCOMPARE(field->placeholderText(), QString("Search inside books..."));
    field->setText("NEEDLE");
    auto* table = window->findChild<QTabWidget*>("tabWidget")->widget(0)->findChild<QTableWidget*>("viewTable");
    const auto shown = [table] {
        QStringList titles;
        for (int row = 0; row < table->rowCount(); ++row) {
            if (!table->isRowHidden(row)) {
                titles << table->item(row, 0)->text();
            }
        }
        return titles;
    };
    QTRY_COMPARE(shown(), QStringList({"Long Report"}));

    table->selectRow(table->row(table->findItems("Long Report", Qt::MatchExactly).first()));
    auto* panel = window->findChild<InformationPanel*>();
    QTRY_VERIFY(panel->toPlainText().contains("Found inside"));
    QTRY_VERIFY(panel->isVisible());
    QVERIFY2(panel->toPlainText().contains("Page 3: ") && panel->toPlainText().contains("Page 17: "),
             qPrintable(panel->toPlainText()));
    QVERIFY(panel->toHtml().contains("needle</span>"));

    // A click on "Page 17" opens the book there, the match on that page current.
    const QTextCursor link = panel->document()->find("Page 17");
    QVERIFY(!link.isNull());
    QTextCursor middle = link;
    middle.setPosition(link.selectionStart() + 2);
    QTest::mouseClick(panel->viewport(), Qt::LeftButton, {}, panel->cursorRect(middle).center());
    auto* reader = qobject_cast<PdfReader*>(window->findChild<QTabWidget*>("tabWidget")->currentWidget());
    QVERIFY(reader);
    QTRY_COMPARE(reader->hitCount(), 2);
    QTRY_COMPARE(reader->currentHitIndex(), 1);
    QTRY_COMPARE(reader->currentPage(), 16);
}

LIRENTA_TEST_MAIN(TestPdfReader)
#include "TestPdfReader.moc"
