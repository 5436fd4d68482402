#include "ItemViews.h"

#include "ui_ItemViews.h"

#include "Book.h"
#include "BookProperties.h"
#include "BookTableItem.h"
#include "Books.h"
#include "CollatedCell.h"
#include "CoverLoader.h"
#include "EverythingSearch.h"
#include "GridCell.h"
#include "ItemFile.h"
#include "LibraryDatabase.h"
#include "Logging.h"
#include "Prompt.h"
#include "Rating.h"
#include "TitleCell.h"
#include "ViewItem.h"
#include "WebPage.h"
#include "WebPageProperties.h"
#include "WebPageTableItem.h"
#include "WebPages.h"

#include <QCursor>
#include <QDateTime>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QUrl>

#include <algorithm>

namespace {
QString cutDescription(const QString& description)
{
    return description.size() > 400 ? description.left(400) + QLatin1String("...") : description;
}

// A tool tip would load any image a description names, local files included; it shows none.
QString withoutImages(QString html)
{
    static const QRegularExpression image(QStringLiteral("<img\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    return html.remove(image);
}

// The row of an item's cell, as last seen. Sorting and insertion move rows, so a row is
// checked against the view before use, and when it no longer holds the cell every row is
// found again in one pass: cheaper, with a large library, than having the model track a
// persistent index per row through every sort.
template <typename Cell, typename CellAt>
int cachedRow(QHash<ViewItem*, int>& cache, ViewItem* vi, Cell* cell, int count, const QHash<Cell*, ViewItem*>& owners,
              CellAt cellAt)
{
    if (!cell) {
        return -1;
    }
    int row = cache.value(vi, -1);
    if (row < 0 || row >= count || cellAt(row) != cell) {
        cache.clear();
        cache.reserve(count);
        for (int i = 0; i < count; ++i) {
            if (ViewItem* at = owners.value(cellAt(i), nullptr)) {
                cache.insert(at, i);
            }
        }
        row = cache.value(vi, -1);
    }
    return row;
}
} // namespace

ItemViews::ItemViews(QWidget* parent, const QString& shelf, const QString& name)
    : ItemViews(parent, QStringLiteral("BooksShelf"), -1)
{
    books = new Books(this, QStringLiteral("BooksShelf"), -1);
    books->dbReadShelf(shelf, name);
    viewItems = books->getViewItems();
}

ItemViews::ItemViews(QWidget* parent, const QString& viewType, int id)
    : QWidget(parent), ui(std::make_unique<Ui::ItemViews>()), type(viewType), coverLoader(new CoverLoader(this))
{
    ui->setupUi(this);
    ui->viewTable->setContextMenuPolicy(Qt::CustomContextMenu);
    ui->viewList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->viewTable, &QWidget::customContextMenuRequested, this, &ItemViews::menu);
    connect(ui->viewList, &QWidget::customContextMenuRequested, this, &ItemViews::menu);
    connect(coverLoader, &CoverLoader::coverReady, this, &ItemViews::showCover);
    ui->viewTable->viewport()->installEventFilter(this);
    // Rows of one height: hiding thousands of rows for a search then costs no re-measuring.
    ui->viewTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->viewTable->verticalHeader()->setDefaultSectionSize(30);
    connect(ui->viewTable->verticalScrollBar(), &QScrollBar::valueChanged, this, &ItemViews::makeVisibleRatings);
    connect(ui->viewTable->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &ItemViews::makeVisibleRatings);
    // Queued: the table sorts on the same signal, and the keys go after it.
    connect(ui->viewTable->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, &ItemViews::releaseSortKeys,
            Qt::QueuedConnection);

    if (type == QLatin1String("Books")) {
        books = new Books(this, QString(), -1);
        viewItems = books->getViewItems();
    } else if (type == QLatin1String("BooksAuthor") && id >= 0) {
        books = new Books(this, QStringLiteral("BooksAuthor"), id);
        viewItems = books->getViewItems();
    } else if (type == QLatin1String("WebPages")) {
        webPages = new WebPages(this);
        viewItems = webPages->getViewItems();
    } else {
        // Nothing to show; an empty list keeps every operation harmless.
        viewItems = &noItems;
    }
}

ItemViews::~ItemViews()
{
    qDeleteAll(bookTableItems);
    qDeleteAll(webPageTableItems);
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

QString ItemViews::gridTitle(const QString& title)
{
    return title.size() > 20 ? title.left(20) + QLatin1String("...") : title;
}

QString ItemViews::toolTip(const ViewItem* vi)
{
    // Titles and dates are plain text; a book description from an online look-up is HTML.
    const QString heading = QLatin1String("<h4>") + vi->title.toHtmlEscaped() + QLatin1String("</h4>");
    if (vi->type == QLatin1String("WebPage")) {
        QString text = heading + QLatin1String("<p>") + vi->datePublished.toHtmlEscaped() + QLatin1String("</p>");
        if (!vi->description.isEmpty()) {
            text += QLatin1String("<p>") + cutDescription(vi->description).toHtmlEscaped() + QLatin1String("</p>");
        }
        return text;
    }
    if (vi->description.isEmpty()) {
        return QString();
    }
    return heading + QLatin1String("<p>") + vi->datePublished.toHtmlEscaped() + QLatin1String(", ") +
           vi->pageCount.toHtmlEscaped() + QLatin1Char(' ') + tr("pages") + QLatin1String("</p>") +
           QLatin1String("<p>") + withoutImages(cutDescription(vi->description)) + QLatin1String("</p>");
}

void ItemViews::renderItems()
{
    QList<ViewItem*> fresh;
    for (ViewItem* vi : std::as_const(*viewItems)) {
        if (!listItems.contains(vi)) {
            fresh.append(vi);
        }
    }
    // One sort at the end instead of one per row keeps large collections quick.
    renderingBatch = true;
    ui->viewTable->setSortingEnabled(false);
    ui->viewList->setSortingEnabled(false);
    ui->viewTable->setUpdatesEnabled(false);
    ui->viewList->setUpdatesEnabled(false);
    if (ui->viewTable->rowCount() == 0 && ui->viewList->count() == 0) {
        renderIntoEmptyViews(fresh);
    } else {
        const QSet<ViewItem*> wanted(fresh.cbegin(), fresh.cend());
        for (int i = 0; i < viewItems->size(); ++i) {
            ViewItem* vi = viewItems->at(i);
            if (wanted.contains(vi)) {
                renderNewListItem(vi);
                renderNewTableItem(vi, i);
            }
        }
        ui->viewList->sortItems();
    }
    renderingBatch = false;
    ui->viewList->setSortingEnabled(true);
    ui->viewList->setUpdatesEnabled(true);
    ui->viewTable->setUpdatesEnabled(true);
    finishRendering();
}

// The first rendering puts the cells in already in the order the sorts would give them (by
// title, ties kept in collection order), so the closing sort moves nothing.
void ItemViews::renderIntoEmptyViews(const QList<ViewItem*>& items)
{
    QList<ViewItem*> byTitle = items;
    std::stable_sort(byTitle.begin(), byTitle.end(),
                     [](ViewItem* a, ViewItem* b) { return a->titleKey().compare(b->titleKey()) < 0; });
    // The keys go before the cells come: the cells remember their place instead, which is all
    // the closing sorts need.
    releaseSortKeys();
    ui->viewTable->setRowCount(byTitle.size());
    for (int row = 0; row < byTitle.size(); ++row) {
        placeTableCells(byTitle.at(row), row);
        static_cast<TitleCell*>(ui->viewTable->item(row, 0))->setRank(row);
    }

    // The grid sorts by the whole title too.
    for (int place = 0; place < byTitle.size(); ++place) {
        renderNewListItem(byTitle.at(place));
        static_cast<GridCell*>(listItems.value(byTitle.at(place)))->setRank(place);
    }
}

void ItemViews::finishRendering()
{
    QTableWidget* table = ui->viewTable;
    // Enabling sorting sorts by the header's indicator; pointing it at the title column,
    // ascending, first makes that the one sort.
    table->setSortingEnabled(false);
    table->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    releaseSortKeys();
    table->resizeColumnToContents(0);
    makeVisibleRatings();
}

// Sort keys are made for a sort and freed after it: kept for a large library they would cost
// more memory than the sort saves time.
void ItemViews::releaseSortKeys()
{
    for (ViewItem* vi : std::as_const(*viewItems)) {
        vi->titleOrder.release();
    }
}

void ItemViews::renderNewItem(ViewItem* vi, int row)
{
    renderNewListItem(vi);
    renderNewTableItem(vi, row);
}

void ItemViews::renderNewListItem(ViewItem* vi)
{
    auto* cell = new GridCell(vi->title, vi);
    renderItem(vi, cell);
    listItems.insert(vi, cell);
    listViewItems.insert(cell, vi);
    ui->viewList->addItem(cell);
    shownItems.insert(vi);
}

void ItemViews::renderItem(ViewItem* vi, QListWidgetItem* cell)
{
    const QIcon icon = coverLoader->cover(vi->coverFile);
    if (icon.isNull()) {
        cell->setIcon(CoverLoader::placeholder());
        cellsAwaitingCover.insert(vi->coverFile, cell);
    } else {
        cell->setIcon(icon);
    }
    cell->setText(gridTitle(vi->title));
    if (cell->type() == GridCell::CellType) {
        static_cast<GridCell*>(cell)->setViewItem(vi);
        static_cast<GridCell*>(cell)->setRank(-1); // the title may have changed its place
    } else {
        cell->setToolTip(vi->description.isEmpty() ? QString() : toolTip(vi));
    }
    if (!vi->filePath.isEmpty()) {
        cell->setData(FilePathRole, vi->filePath);
    }
    cell->setData(IdRole, vi->id);
    if (!vi->url.isEmpty()) {
        cell->setData(UrlRole, vi->url);
    }
}

void ItemViews::showCover(const QString& path, const QIcon& icon)
{
    const QList<QListWidgetItem*> cells = cellsAwaitingCover.values(path);
    cellsAwaitingCover.remove(path);
    for (QListWidgetItem* cell : cells) {
        ViewItem* vi = listViewItems.value(cell, nullptr);
        // The cell may have been re-rendered with another cover in the meantime.
        if (vi && vi->coverFile == path) {
            cell->setIcon(icon);
        }
    }
}

void ItemViews::setCommonRoles(QTableWidgetItem* cell, const ViewItem* vi)
{
    if (!vi->filePath.isEmpty()) {
        cell->setData(FilePathRole, vi->filePath);
    }
    cell->setData(IdRole, vi->id);
    if (!vi->url.isEmpty()) {
        cell->setData(UrlRole, vi->url);
    }
}

void ItemViews::renderNewTableItem(ViewItem* vi, int row)
{
    QTableWidget* table = ui->viewTable;
    table->setSortingEnabled(false);
    table->insertRow(row);
    placeTableCells(vi, row);
    if (!renderingBatch) {
        table->setSortingEnabled(true);
        makeVisibleRatings();
    }
}

void ItemViews::placeTableCells(ViewItem* vi, int row)
{
    QTableWidget* table = ui->viewTable;
    if (vi->type == QLatin1String("Book")) {
        auto* cells = new BookTableItem;
        cells->title = new TitleCell(vi->title, vi);
        cells->authors = new CollatedCell(vi->authors);
        cells->date = new QTableWidgetItem(vi->datePublished);
        cells->publisher = new CollatedCell(vi->publisher);
        cells->published = new QTableWidgetItem(vi->datePublished);
        cells->size = new QTableWidgetItem(vi->size);
        tableItems.insert(vi, cells->title);
        tableViewItems.insert(cells->title, vi);
        bookTableItems.insert(vi, cells);
        table->setItem(row, 0, cells->title);
        table->setItem(row, 1, cells->authors);
        table->setItem(row, 2, cells->date);
        table->setItem(row, 3, cells->size);
        table->setItem(row, 7, cells->publisher);
        table->setItem(row, 8, cells->published);
        renderItem(vi, cells); // after the cells are in the table: it may add cells to the row
        // The stars of this row are made when the row first comes into view.
        qCDebug(lcViews) << "Added rendered item to the list";
    } else if (vi->type == QLatin1String("WebPage")) {
        auto* cells = new WebPageTableItem;
        cells->title = new TitleCell(vi->title, vi);
        cells->url = new QTableWidgetItem(vi->url);
        cells->description = new QTableWidgetItem(vi->description);
        // A date and time, shown in the user's format and sorted as dates, not the stored number.
        cells->created = new QTableWidgetItem;
        bool stamped = false;
        const qint64 seconds = vi->created.toLongLong(&stamped);
        cells->created->setData(Qt::DisplayRole, stamped && seconds > 0
                                                     ? QVariant(QDateTime::fromSecsSinceEpoch(seconds))
                                                     : QVariant(vi->created));
        tableItems.insert(vi, cells->title);
        tableViewItems.insert(cells->title, vi);
        webPageTableItems.insert(vi, cells);
        table->setItem(row, 0, cells->title);
        table->setItem(row, 1, cells->url);
        table->setItem(row, 2, cells->created);
        table->setItem(row, 3, cells->description);
        renderItem(vi, cells);
    }
}

bool ItemViews::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->viewTable->viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        makeVisibleRatings();
    }
    return QWidget::eventFilter(watched, event);
}

// Rating widgets are costly (a few thousand take seconds), so only rows that are on screen
// get one; scrolling, resizing, sorting and filtering bring the rest in as they appear.
void ItemViews::makeVisibleRatings()
{
    QTableWidget* table = ui->viewTable;
    if (table->columnCount() <= 4 || table->rowCount() == 0 || table->viewport()->height() <= 0) {
        return;
    }
    const int first = table->rowAt(0);
    if (first < 0) {
        return;
    }
    int last = table->rowAt(table->viewport()->height() - 1);
    if (last < 0) {
        last = table->rowCount() - 1;
    }
    for (int row = first; row <= last; ++row) {
        if (table->isRowHidden(row) || table->cellWidget(row, 4)) {
            continue;
        }
        ViewItem* vi = tableViewItems.value(table->item(row, 0), nullptr);
        if (!vi || vi->type != QLatin1String("Book")) {
            continue;
        }
        // Made inside the viewport, where the table puts it anyway: moving a widget to another
        // parent styles it all over again, which doubled the cost of each row's stars.
        auto* rating = new Rating(table->viewport(), vi->id);
        rating->setRating(vi->rating);
        rating->setEnabled(!LibraryDatabase::isReadOnly());
        connect(rating, &Rating::ratingSet, this, &ItemViews::setRating);
        table->setCellWidget(row, 4, rating);
        markMissingFile(row, vi);
    }
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

void ItemViews::renderItem(ViewItem* vi, BookTableItem* cells)
{
    cells->title->setText(vi->title);
    cells->authors->setText(vi->authors);
    cells->published->setText(vi->datePublished);
    // Most books have neither tags nor a series: their cells are made only when there is text.
    const auto showText = [this, cells](QTableWidgetItem*& cell, int column, const QString& text) {
        if (cell) {
            cell->setText(text);
        } else if (!text.isEmpty()) {
            cell = new CollatedCell(text);
            ui->viewTable->setItem(cells->title->row(), column, cell);
        }
    };
    showText(cells->tags, 5, vi->tags);
    showText(cells->series, 6, vi->series);
    if (cells->title->type() != TitleCell::CellType) {
        cells->title->setToolTip(toolTip(vi));
    }
    setCommonRoles(cells->title, vi);
}

void ItemViews::renderItem(ViewItem* vi, WebPageTableItem* cells)
{
    cells->title->setText(vi->title);
    cells->url->setText(vi->url);
    if (cells->title->type() != TitleCell::CellType) {
        cells->title->setToolTip(toolTip(vi));
    }
    setCommonRoles(cells->title, vi);
}

void ItemViews::renderUpdatedItem(ViewItem* vi)
{
    if (QListWidgetItem* cell = listItems.value(vi, nullptr)) {
        renderItem(vi, cell);
    }
    if (vi->type == QLatin1String("Book")) {
        if (BookTableItem* cells = bookTableItems.value(vi, nullptr)) {
            renderItem(vi, cells);
            if (auto* rating = qobject_cast<Rating*>(ui->viewTable->cellWidget(cells->title->row(), 4))) {
                const QSignalBlocker quiet(rating);
                rating->setRating(vi->rating);
            }
        }
    } else if (vi->type == QLatin1String("WebPage")) {
        if (WebPageTableItem* cells = webPageTableItems.value(vi, nullptr)) {
            renderItem(vi, cells);
        }
    }
}

void ItemViews::renderUpdatedItem(QListWidgetItem* cell)
{
    if (ViewItem* vi = listViewItems.value(cell, nullptr)) {
        renderItem(vi, cell);
    }
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
    // Several views may hear of the same book: each keeps a copy of its own, loaded from the
    // library, so no two collections own one record.
    if (Book* known = books->getItem(book->getId())) {
        known->loadBook();
        updateItem(known);
        return;
    }
    auto* own = new Book(nullptr, book->getId());
    books->addBook(own);
    own->setViewItem();
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
    if (listItems.contains(vi)) {
        renderUpdatedItem(vi);
    } else if (unfiltered) {
        renderNewListItem(vi);
        renderNewTableItem(vi, ui->viewTable->rowCount());
    }
}

void ItemViews::search(const QString& terms)
{
    // The first search of the Everything scope makes its index: seconds in a large library.
    const bool slow = searchScope == SearchScope::Everything && !EverythingSearch::isBuilt();
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
    const QSet<ViewItem*> wanted(viewItems->cbegin(), viewItems->cend());
    QList<ViewItem*> toHide;
    for (ViewItem* vi : std::as_const(shownItems)) {
        if (!wanted.contains(vi)) {
            toHide.append(vi);
        }
    }
    QList<ViewItem*> toShow;
    for (ViewItem* vi : wanted) {
        // Only cells that are rendered and not removed come back.
        if (!shownItems.contains(vi) && listItems.contains(vi)) {
            toShow.append(vi);
        }
    }
    // The view on screen follows at once; the other catches up when it is shown
    // (bringViewInStep), so a keystroke never pays for cells nobody sees.
    if (ui->stackedWidget->currentIndex() == 0) {
        gridBehind = true;
    } else {
        tableBehind = true;
    }
    for (ViewItem* vi : std::as_const(toHide)) {
        shownItems.remove(vi);
    }
    for (ViewItem* vi : std::as_const(toShow)) {
        shownItems.insert(vi);
    }
    QWidget* onScreen = ui->stackedWidget->currentWidget();
    onScreen->setUpdatesEnabled(false);
    // A few changes are made item by item; many (the first search of a large library hides
    // nearly every row) in one pass over the rows, which costs no look-ups per item.
    if (toHide.size() + toShow.size() > 2000) {
        showOnly(shownItems);
    } else {
        for (ViewItem* vi : std::as_const(toHide)) {
            setShown(vi, false);
        }
        for (ViewItem* vi : std::as_const(toShow)) {
            setShown(vi, true);
        }
    }
    onScreen->setUpdatesEnabled(true);
    makeVisibleRatings();
    dropHiddenFromSelection();
}

void ItemViews::bringViewInStep(int view)
{
    bool& behind = view == 0 ? tableBehind : gridBehind;
    if (!behind) {
        return;
    }
    behind = false;
    if (view == 0) {
        showOnlyInTable(shownItems);
    } else {
        showOnlyInList(shownItems);
    }
}

void ItemViews::setShown(ViewItem* vi, bool shown)
{
    const int cell = gridBehind ? -1 : listRowOf(vi);
    if (cell >= 0) {
        ui->viewList->setRowHidden(cell, !shown);
    }
    const int row = tableBehind ? -1 : tableRowOf(vi);
    if (row >= 0) {
        ui->viewTable->setRowHidden(row, !shown);
    }
}

int ItemViews::listRowOf(ViewItem* vi)
{
    QListWidget* list = ui->viewList;
    return cachedRow(listRowCache, vi, listItems.value(vi, nullptr), list->count(), listViewItems,
                     [list](int row) { return list->item(row); });
}

int ItemViews::tableRowOf(ViewItem* vi)
{
    QTableWidget* table = ui->viewTable;
    return cachedRow(tableRowCache, vi, tableItems.value(vi, nullptr), table->rowCount(), tableViewItems,
                     [table](int row) { return table->item(row, 0); });
}

void ItemViews::showOnly(const QSet<ViewItem*>& wanted)
{
    if (!gridBehind) {
        showOnlyInList(wanted);
    }
    if (!tableBehind) {
        showOnlyInTable(wanted);
    }
}

void ItemViews::showOnlyInList(const QSet<ViewItem*>& wanted)
{
    QListWidget* list = ui->viewList;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* cell = list->item(i);
        if (cell->type() != GridCell::CellType) {
            continue;
        }
        const bool shown =
            wanted.contains(static_cast<GridCell*>(cell)->getViewItem()) && !cell->data(RemovedRole).toBool();
        if (list->isRowHidden(i) == shown) {
            list->setRowHidden(i, !shown);
        }
    }
}

void ItemViews::showOnlyInTable(const QSet<ViewItem*>& wanted)
{
    QTableWidget* table = ui->viewTable;
    // Each hidden row would report its new height to the table, which then works through
    // the list row by row; laying the table out once afterwards does the same for all of them.
    const QSignalBlocker quiet(table->verticalHeader());
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem* cell = table->item(row, 0);
        if (!cell || cell->type() != TitleCell::CellType) {
            continue;
        }
        const bool shown =
            wanted.contains(static_cast<TitleCell*>(cell)->getViewItem()) && !cell->data(RemovedRole).toBool();
        if (table->isRowHidden(row) == shown) {
            table->setRowHidden(row, !shown);
        }
    }
    table->doItemsLayout();
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
            ViewItem* vi = tableViewItems.value(table->item(row, 0), nullptr);
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
    const QList<QListWidgetItem*> cells = list->selectedItems();
    for (QListWidgetItem* cell : cells) {
        if (cell->isHidden()) {
            hidden.append(cell);
            continue;
        }
        if (ViewItem* vi = listViewItems.value(cell, nullptr)) {
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
        if (shownItems.contains(vi)) {
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
        if (QListWidgetItem* cell = listItems.value(vi, nullptr)) {
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
        QTableWidgetItem* titleCell = tableItems.value(vi, nullptr);
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
        bringViewInStep(1);
        ui->viewList->clearSelection();
        selectListItems();
        ui->stackedWidget->setCurrentIndex(1);
    } else {
        bringViewInStep(0);
        ui->viewTable->clearSelection();
        selectTableItems();
        ui->stackedWidget->setCurrentIndex(0);
        makeVisibleRatings();
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
    QMenu menu(this);
    if (single) {
        const ViewItem* vi = selectedViewItems.first();
        QMenu* open = menu.addMenu(tr("Open"));
        for (const QString& path : vi->filePaths) {
            QAction* action = open->addAction(QFileInfo(path).fileName());
            action->setData(QFileInfo(path).absoluteFilePath());
        }
        connect(open, &QMenu::triggered, this, &ItemViews::openItemFile);
        menu.addAction(tr("Properties"), this, &ItemViews::editItem);
        // Only a book whose first file is a PDF can be converted.
        menu.addAction(tr("Convert"), this, &ItemViews::actionConvertItems)
            ->setEnabled(!LibraryDatabase::isReadOnly() &&
                         vi->filePath.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive));
    }
    menu.addAction(tr("Delete"), this, &ItemViews::deleteItem)->setEnabled(!LibraryDatabase::isReadOnly());
    menu.exec(QCursor::pos());
}

void ItemViews::webPageItemMenu(bool single)
{
    QMenu menu(this);
    if (single) {
        const ViewItem* vi = selectedViewItems.first();
        if (!vi->filePath.isEmpty()) {
            QAction* openPdf = menu.addAction(tr("Open PDF"));
            openPdf->setData(vi->filePath);
            connect(openPdf, &QAction::triggered, this, [this, openPdf] { openItemFile(openPdf); });
        }
        menu.addAction(tr("Properties"), this, &ItemViews::editItem);
        QAction* openExternal = menu.addAction(tr("Open URL (External)"));
        openExternal->setData(vi->url);
        connect(openExternal, &QAction::triggered, this, [this, openExternal] { openItemUrl(openExternal); });
    }
    menu.addAction(tr("Delete"), this, &ItemViews::deleteItem)->setEnabled(!LibraryDatabase::isReadOnly());
    menu.exec(QCursor::pos());
}

void ItemViews::openItemFile(QAction* action)
{
    openFile(action->data().toString());
}

void ItemViews::openItemUrl(QAction* action)
{
    openUrl(action->data().toString());
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
    if (selectedViewItems.size() != 1) {
        return;
    }
    ViewItem* vi = selectedViewItems.first();
    const int iid = vi->id;
    int result = QDialog::Rejected;
    if (vi->type == QLatin1String("Book")) {
        BookProperties dialog(parentWidget(), iid);
        result = dialog.exec();
        if (result == QDialog::Accepted && !vi->items.isEmpty()) {
            static_cast<Book*>(vi->items.first())->reload();
            renderUpdatedItem(vi);
        }
    } else if (vi->type == QLatin1String("WebPage")) {
        WebPageProperties dialog(parentWidget(), iid);
        result = dialog.exec();
        if (result == QDialog::Accepted && !vi->items.isEmpty()) {
            // The dialog edited a copy; show what it stored.
            auto* page = static_cast<WebPage*>(vi->items.first());
            page->reload();
            renderUpdatedItem(page->getViewItem());
        }
    }
    if (result == BookProperties::Deleted) {
        if (deleteFromLibrary(vi->items.isEmpty() ? nullptr : vi->items.first())) {
            Q_EMIT itemDeleted(iid);
        } else {
            Prompt::warning(parentWidget(), tr("Delete"),
                            tr("\"%1\" could not be deleted from the library and is still there.").arg(vi->title));
        }
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

void ItemViews::deleteSelected()
{
    deleteItem();
}

void ItemViews::showProperties()
{
    editItem();
}

void ItemViews::deleteItem()
{
    // The items are collected first: every deletion changes the selection it came from.
    const QList<ViewItem*> chosen = selectedViewItems;
    QStringList titles;
    for (const ViewItem* vi : chosen) {
        titles << vi->title;
    }
    if (chosen.isEmpty() || LibraryDatabase::isReadOnly() || !Prompt::confirmDelete(parentWidget(), titles)) {
        return;
    }
    struct Target
    {
        int iid;
        QString title;
        Item* record;
    };
    QList<Target> targets;
    for (const ViewItem* vi : chosen) {
        targets.append({vi->id, vi->title, vi->items.isEmpty() ? nullptr : vi->items.first()});
    }
    QStringList failed;
    for (const Target& target : std::as_const(targets)) {
        if (deleteFromLibrary(target.record)) {
            Q_EMIT itemDeleted(target.iid);
        } else {
            failed << target.title;
        }
    }
    if (!failed.isEmpty()) {
        Prompt::warning(parentWidget(), tr("Delete"),
                        tr("These items could not be deleted from the library and are still there:\n\n%1")
                            .arg(failed.join(QLatin1Char('\n'))));
    }
}

bool ItemViews::deleteFromLibrary(Item* record)
{
    if (!record) {
        return false;
    }
    if (record->getType() == QLatin1String("Book")) {
        return static_cast<Book*>(record)->deleteBook();
    }
    if (record->getType() == QLatin1String("WebPage")) {
        return static_cast<WebPage*>(record)->deleteWebPage();
    }
    return false;
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
    if (QTableWidgetItem* titleCell = tableItems.value(vi, nullptr)) {
        titleCell->setData(RemovedRole, true);
        ui->viewTable->hideRow(titleCell->row());
    }
    if (QListWidgetItem* cell = listItems.value(vi, nullptr)) {
        cell->setHidden(true);
        cell->setData(RemovedRole, true);
    }
    selectedViewItems.removeAll(vi);
    listItems.remove(vi);
    tableItems.remove(vi);
    shownItems.remove(vi);
    if (vi->type == QLatin1String("WebPage")) {
        delete webPageTableItems.take(vi);
    } else if (vi->type == QLatin1String("Book")) {
        delete bookTableItems.take(vi);
    }
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
    if (type == QLatin1String("WebPages") && webPages) {
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
