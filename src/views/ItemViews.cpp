#include "ItemViews.h"

#include "ui_ItemViews.h"

#include "Book.h"
#include "Books.h"
#include "ItemActions.h"
#include "ItemCells.h"
#include "ItemFile.h"
#include "LazyCellWidgets.h"
#include "LibraryDatabase.h"
#include "LibraryFile.h"
#include "Logging.h"
#include "Prompt.h"
#include "Rating.h"
#include "RowVisibility.h"
#include "TableToolTips.h"
#include "ViewItem.h"
#include "WebPage.h"
#include "WebPages.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMetaMethod>
#include <QSignalBlocker>
#include <QUrl>

ItemViews::ItemViews(QWidget* parent, const QString& type, int id)
    : ItemViews(parent, collectionNamed(type), id, nullptr)
{
}

ItemViews::ItemViews(QWidget* parent, CollectionKind kind, const QVariant& key, LibraryDatabase* library,
                     const ViewTuning& tuning)
    : QWidget(parent), ui(std::make_unique<Ui::ItemViews>()), kind(kind), key(key), library(library)
{
    ui->setupUi(this);
    ui->viewTable->setContextMenuPolicy(Qt::CustomContextMenu);
    ui->viewList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->viewTable, &QWidget::customContextMenuRequested, this, &ItemViews::menu);
    connect(ui->viewList, &QWidget::customContextMenuRequested, this, &ItemViews::menu);
    // Rows of one height: hiding thousands of rows for a search then costs no re-measuring.
    ui->viewTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->viewTable->verticalHeader()->setDefaultSectionSize(30);
    ratings = new LazyCellWidgets(ui->viewTable, [this](int row) { makeRating(row); });
    // The grid carries the views' style sheet; the table's tips are styled by it from there.
    new TableToolTips(ui->viewTable, ui->viewList);
    cells = new ItemCells(ui->viewList, ui->viewTable, tuning, this);
    visibility = std::make_unique<RowVisibility>(ui->viewList, ui->viewTable, cells->gridCells(), cells->gridOwners(),
                                                 cells->titleCells(), cells->titleOwners());
    connect(cells, &ItemCells::itemAdded, this, [this](ViewItem* vi) { visibility->add(vi); });
    connect(cells, &ItemCells::rowsPlaced, ratings, &LazyCellWidgets::update);
    // Queued: the table sorts on the same signal, and the keys go after it.
    connect(ui->viewTable->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, &ItemViews::releaseSortKeys,
            Qt::QueuedConnection);

    if (kind == CollectionKind::WebPages) {
        webPages = new WebPages(this, library);
        viewItems = webPages->getViewItems();
    } else if (kind != CollectionKind::AuthorBooks || key.toInt() >= 0) {
        books = new Books(this, kind, key, library);
        viewItems = books->getViewItems();
    } else {
        // Nothing to show; an empty list keeps every operation harmless.
        viewItems = &noItems;
    }
}

ItemViews::~ItemViews() = default;

void ItemViews::renderItems()
{
    cells->renderItems(*viewItems, ui->stackedWidget->currentIndex() == 1);
}

int ItemViews::getCurrentView() const
{
    return ui->stackedWidget->currentIndex();
}

QList<int> ItemViews::columnWidths() const
{
    QList<int> widths;
    for (int column = 0; column < ui->viewTable->columnCount(); ++column) {
        widths << ui->viewTable->columnWidth(column);
    }
    return widths;
}

void ItemViews::setColumnWidths(const QList<int>& widths)
{
    for (int column = 0; column < widths.size() && column < ui->viewTable->columnCount(); ++column) {
        if (widths.at(column) > 0) {
            ui->viewTable->setColumnWidth(column, widths.at(column));
        }
    }
}

void ItemViews::setWebPageHeaders()
{
    ui->viewTable->setColumnCount(4);
    ui->viewTable->setHorizontalHeaderLabels({tr("Title"), tr("Url"), tr("Created"), tr("Description")});
}

// Sort keys are made for a sort and freed after it: kept for a large library they would cost
// more memory than the sort saves time.
void ItemViews::releaseSortKeys()
{
    ItemCells::releaseSortKeys(*viewItems);
}

// Stars for a book row as it comes into view (see LazyCellWidgets).
void ItemViews::makeRating(int row)
{
    QTableWidget* table = ui->viewTable;
    if (table->columnCount() <= 4 || table->cellWidget(row, 4)) {
        return;
    }
    ViewItem* vi = cells->itemOf(table->item(row, 0));
    if (!vi || vi->type != QLatin1String("Book")) {
        return;
    }
    // Made inside the viewport, where the table puts it anyway: moving a widget to another
    // parent styles it all over again, which doubled the cost of each row's stars.
    auto* rating = new Rating(table->viewport(), vi->id);
    rating->setRating(vi->rating);
    rating->setEnabled(!LibraryFile::isOpenReadOnly());
    connect(rating, &Rating::ratingSet, this, &ItemViews::setRating);
    table->setCellWidget(row, 4, rating);
    markMissingFile(row, vi);
}

// A book whose file is gone says so in its size cell. Checked as the row first comes into view,
// so opening a large library reads no directory.
void ItemViews::markMissingFile(int row, const ViewItem* vi)
{
    QTableWidgetItem* size = ui->viewTable->item(row, 3);
    if (!size || vi->filePath.isEmpty() || QFileInfo::exists(vi->filePath)) {
        return;
    }
    size->setIcon(QIcon(QStringLiteral(":/icons/icons/16x16/file-missing.png")));
    size->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
    size->setToolTip(tr("The file %1 was not found.").arg(vi->filePath));
}

void ItemViews::addItem(ViewItem* vi)
{
    if (!viewItems->contains(vi)) {
        viewItems->append(vi);
    }
    renderNewListItem(vi);
    renderNewTableItem(vi, ui->viewTable->rowCount());
}

void ItemViews::addBook(Book* book)
{
    qCDebug(lcViews) << "add book to views";
    if (!books || !book) {
        return;
    }
    // Several views hear of the same book: each keeps a copy of its own of the saved record, so
    // no two collections own one record and none reads it again.
    if (Book* known = books->getItem(book->getId())) {
        known->reload();
        updateItem(known);
        return;
    }
    Book* own = book->copy();
    books->addBook(own);
    addItem(own->getViewItem());
}

void ItemViews::addWebPage(WebPage* page)
{
    if (!webPages || !page) {
        return;
    }
    if (WebPage* known = webPages->getItem(page->getId())) {
        known->reload();
        updateItem(known);
        return;
    }
    // A copy of its own, as with books: the sender keeps its record.
    auto* own = new WebPage(nullptr, page->getId());
    webPages->addWebPage(own);
    addItem(own->getViewItem());
}

void ItemViews::refreshItem(int iid)
{
    if (books) {
        if (Book* book = books->getItem(iid)) {
            book->reload();
            updateItem(book);
        }
    } else if (webPages) {
        if (WebPage* page = webPages->getItem(iid)) {
            page->reload();
            updateItem(page);
        }
    }
}

void ItemViews::updateItem(Item* item)
{
    if (!item) {
        return;
    }
    ViewItem* vi = nullptr;
    if (item->getType() == QLatin1String("Book")) {
        auto* book = static_cast<Book*>(item);
        book->setViewItem();
        vi = book->getViewItem();
    } else if (item->getType() == QLatin1String("WebPage")) {
        vi = static_cast<WebPage*>(item)->getViewItem();
    } else {
        return;
    }
    if (cells->isRendered(vi)) {
        renderUpdatedItem(vi);
    } else if (unfiltered) {
        renderNewListItem(vi);
        renderNewTableItem(vi, ui->viewTable->rowCount());
    }
}

void ItemViews::search(const QString& terms)
{
    // The first search of the Everything scope makes its index: seconds in a large library.
    const bool slow = searchScope == SearchScope::Everything && library && !library->everythingSearch().isBuilt();
    if (slow) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    searchNow(terms);
    if (slow) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void ItemViews::searchNow(const QString& terms)
{
    unfiltered = false;
    searchTerms = terms;
    if (webPages) {
        webPages->setSearchScope(searchScope);
        webPages->dbSearch(terms);
    } else if (books) {
        books->setSearchScope(searchScope);
        books->dbSearch(terms);
    }
    hideShow();
}

void ItemViews::setSearchScope(SearchScope scope)
{
    if (scope == searchScope) {
        return;
    }
    searchScope = scope;
    if (!unfiltered) {
        search(searchTerms);
    }
}

void ItemViews::hideShow()
{
    visibility->showOnly(*viewItems, ui->stackedWidget->currentIndex());
    ratings->update();
    dropHiddenFromSelection();
}

void ItemViews::on_viewTable_itemSelectionChanged()
{
    if (ui->stackedWidget->currentIndex() != 0) {
        return;
    }
    QTableWidget* table = ui->viewTable;
    // Rows a search hid are never part of the selection, whatever selected them (Ctrl+A, a
    // shift-click across them): they are deselected, which reports the selection again.
    QItemSelection hidden;
    QList<ViewItem*> chosen;
    const auto hideRun = [&](int first, int last) {
        hidden.select(table->model()->index(first, 0), table->model()->index(last, table->columnCount() - 1));
    };
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    for (const QTableWidgetSelectionRange& range : ranges) {
        int runStart = -1;
        for (int row = range.topRow(); row <= range.bottomRow(); ++row) {
            if (table->isRowHidden(row)) {
                if (runStart < 0) {
                    runStart = row;
                }
                continue;
            }
            if (runStart >= 0) {
                hideRun(runStart, row - 1);
                runStart = -1;
            }
            ViewItem* vi = cells->itemOf(table->item(row, 0));
            if (vi && !chosen.contains(vi)) {
                chosen.append(vi);
            }
        }
        if (runStart >= 0) {
            hideRun(runStart, range.bottomRow());
        }
    }
    if (!hidden.isEmpty()) {
        table->selectionModel()->select(hidden, QItemSelectionModel::Deselect);
        return;
    }
    setSelection(chosen);
}

void ItemViews::on_viewList_itemSelectionChanged()
{
    if (ui->stackedWidget->currentIndex() != 1) {
        return;
    }
    QListWidget* list = ui->viewList;
    QList<ViewItem*> chosen;
    QList<QListWidgetItem*> hidden;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    for (QListWidgetItem* cell : selected) {
        if (cell->isHidden()) {
            hidden.append(cell);
            continue;
        }
        if (ViewItem* vi = cells->itemOf(cell)) {
            chosen.append(vi);
        }
    }
    if (!hidden.isEmpty()) {
        const QSignalBlocker quiet(list);
        for (QListWidgetItem* cell : std::as_const(hidden)) {
            cell->setSelected(false);
        }
    }
    setSelection(chosen);
}

// One report per change: the panel and the notes follow the last selected item, or show
// nothing. (One per selected item would load a note for every row of a Ctrl+A.)
void ItemViews::setSelection(const QList<ViewItem*>& chosen)
{
    selectedViewItems = chosen;
    Q_EMIT selectedViewItem(focusedViewItem());
}

ViewItem* ItemViews::focusedViewItem() const
{
    return selectedViewItems.isEmpty() ? nullptr : selectedViewItems.last();
}

// After a search: selected items it hid leave the selection of both presentations.
void ItemViews::dropHiddenFromSelection()
{
    QList<ViewItem*> kept;
    for (ViewItem* vi : std::as_const(selectedViewItems)) {
        if (visibility->isShown(vi)) {
            kept.append(vi);
        }
    }
    if (kept.size() == selectedViewItems.size()) {
        return;
    }
    reportSelection();
}

// Reads the selection of the presentation on screen again, leaving out hidden items, and tells
// the panel and the notes which item they now show.
void ItemViews::reportSelection()
{
    if (ui->stackedWidget->currentIndex() == 0) {
        on_viewTable_itemSelectionChanged();
    } else {
        on_viewList_itemSelectionChanged();
    }
}

QList<Item*> ItemViews::selectedItems() const
{
    QList<Item*> result;
    for (const ViewItem* vi : selectedViewItems) {
        result.append(vi->items.isEmpty() ? nullptr : vi->items.first());
    }
    return result;
}

void ItemViews::selectListItems()
{
    for (ViewItem* vi : std::as_const(selectedViewItems)) {
        if (QListWidgetItem* cell = cells->gridCell(vi)) {
            cell->setSelected(true);
        }
    }
}

void ItemViews::selectTableItems()
{
    QTableWidget* table = ui->viewTable;
    QItemSelectionModel* selection = table->selectionModel();
    QItemSelection accumulated;
    for (ViewItem* vi : std::as_const(selectedViewItems)) {
        QTableWidgetItem* titleCell = cells->titleCell(vi);
        if (!titleCell) {
            continue;
        }
        const int row = titleCell->row();
        table->selectRow(row);
        accumulated.merge(selection->selection(), QItemSelectionModel::Select);
    }
    selection->clearSelection();
    selection->select(accumulated, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void ItemViews::toggleView()
{
    if (ui->stackedWidget->currentIndex() == 0) {
        // A search made meanwhile left the grid behind; its new cells catch up below.
        cells->makeDeferredGrid();
        visibility->bringInStep(1);
        ui->viewList->clearSelection();
        selectListItems();
        ui->stackedWidget->setCurrentIndex(1);
    } else {
        visibility->bringInStep(0);
        ui->viewTable->clearSelection();
        selectTableItems();
        ui->stackedWidget->setCurrentIndex(0);
        ratings->update();
    }
}

void ItemViews::menu(const QPoint&)
{
    if (selectedViewItems.isEmpty()) {
        return;
    }
    const QString firstType = selectedViewItems.first()->type;
    const bool single = selectedViewItems.size() == 1;
    if (firstType == QLatin1String("WebPage")) {
        webPageItemMenu(single);
    } else if (firstType == QLatin1String("Book")) {
        bookItemMenu(single);
    }
}

void ItemViews::bookItemMenu(bool single)
{
    ItemActions::bookItemMenu(this, selectedViewItems.first(), single);
}

void ItemViews::webPageItemMenu(bool single)
{
    ItemActions::webPageItemMenu(this, selectedViewItems.first(), single);
}

void ItemViews::openFile(const QString& path)
{
    if (path.isEmpty()) {
        return;
    }
    if (!QFileInfo::exists(path)) {
        Prompt::warning(parentWidget(), tr("Open"), tr("The file %1 was not found.").arg(path));
        return;
    }
    // Books the built-in reader shows open there when a window takes them; others, and all
    // of them where nobody does, go to the desktop's program.
    if (ItemFile::opensInReader(path) && isSignalConnected(QMetaMethod::fromSignal(&ItemViews::openInReader))) {
        Q_EMIT openInReader(path);
        return;
    }
    openInSystemViewer(path);
}

void ItemViews::openInSystemViewer(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        Prompt::warning(parentWidget(), tr("Open"), tr("The file %1 was not found.").arg(path));
        return;
    }
    // fromLocalFile keeps "#", "?" and "%" in file names as part of the path.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ItemViews::openUrl(const QString& url)
{
    if (url.isEmpty()) {
        return;
    }
    QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

void ItemViews::on_viewTable_itemDoubleClicked(QTableWidgetItem* item)
{
    openFile(item->data(FilePathRole).toString());
}

void ItemViews::on_viewList_itemDoubleClicked(QListWidgetItem* item)
{
    openFile(item->data(FilePathRole).toString());
}

void ItemViews::editItem()
{
    if (selectedViewItems.size() == 1) {
        ItemActions::edit(
            parentWidget(), selectedViewItems.first(), [this](ViewItem* vi) { renderUpdatedItem(vi); },
            [this](int iid) { Q_EMIT itemDeleted(iid); });
    }
}

void ItemViews::selectAll()
{
    if (ui->stackedWidget->currentIndex() == 0) {
        ui->viewTable->selectAll();
    } else {
        ui->viewList->selectAll();
    }
}

void ItemViews::deleteItem()
{
    ItemActions::deleteChosen(parentWidget(), selectedViewItems, [this](int iid) { Q_EMIT itemDeleted(iid); });
}

void ItemViews::deleteItemFromView(int iid)
{
    qCDebug(lcViews) << "delete item from view iid: " << iid;
    ViewItem* vi = nullptr;
    if (books) {
        if (Book* book = books->getBook(iid)) {
            vi = book->getViewItem();
        }
    } else if (webPages) {
        if (WebPage* page = webPages->getItem(iid)) {
            vi = page->getViewItem();
        }
    }
    if (!vi) {
        return;
    }
    const bool wasSelected = selectedViewItems.contains(vi);
    cells->remove(vi);
    selectedViewItems.removeAll(vi);
    visibility->remove(vi);
    // The library row is gone already; the collection forgets the record but keeps it alive
    // for cells that still point at it.
    if (books) {
        books->removeBook(iid);
    } else {
        webPages->removeWebPage(iid);
    }
    if (wasSelected) {
        reportSelection();
    }
}

void ItemViews::setRating(int iid, int rating)
{
    Item* item = nullptr;
    if (kind == CollectionKind::WebPages && webPages) {
        item = webPages->getItem(iid);
    } else if (books) {
        item = books->getItem(iid);
    }
    if (!item) {
        return;
    }
    ViewItem* vi = item->getType() == QLatin1String("Book") ? static_cast<Book*>(item)->getViewItem()
                                                            : static_cast<WebPage*>(item)->getViewItem();
    if (!item->setRating(rating)) {
        // The stars go back to what is stored, and the user hears why.
        renderUpdatedItem(vi);
        Prompt::warning(parentWidget(), tr("Rating"),
                        tr("The rating of \"%1\" could not be saved in the library.").arg(vi->title));
        return;
    }
    vi->rating = rating;
    Q_EMIT ratingSet(iid, rating);
}

void ItemViews::actionConvertItems()
{
    Q_EMIT convertItems(selectedItems());
}
