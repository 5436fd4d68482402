#include "ItemCells.h"

#include "BookTableItem.h"
#include "CoverLoader.h"
#include "GridCell.h"
#include "InTwoHalves.h"
#include "ItemRoles.h"
#include "ItemTextCell.h"
#include "ItemTexts.h"
#include "Logging.h"
#include "Rating.h"
#include "TitleCell.h"
#include "ViewItem.h"
#include "WebPageTableItem.h"

#include <QDateTime>
#include <QHeaderView>
#include <QIcon>
#include <QListWidget>
#include <QSet>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>

ItemCells::ItemCells(QListWidget* list, QTableWidget* table, const ViewTuning& tuning, QObject* parent)
    : QObject(parent), list(list), table(table), coverLoader(new CoverLoader(this)), tuning(tuning)
{
    connect(coverLoader, &CoverLoader::coverReady, this, &ItemCells::showCover);
}

ItemCells::~ItemCells()
{
    qDeleteAll(bookTableItems);
    qDeleteAll(webPageTableItems);
}

void ItemCells::releaseSortKeys(const QList<ViewItem*>& items)
{
    for (ViewItem* vi : items) {
        vi->titleOrder.release();
    }
}

void ItemCells::remove(ViewItem* vi)
{
    if (QTableWidgetItem* titleCell = tableItems.take(vi)) {
        titleCell->setData(ItemRoles::Removed, true);
        table->hideRow(titleCell->row());
    }
    if (QListWidgetItem* cell = listItems.take(vi)) {
        cell->setHidden(true);
        cell->setData(ItemRoles::Removed, true);
    }
    delete webPageTableItems.take(vi);
    delete bookTableItems.take(vi);
}

void ItemCells::renderItems(const QList<ViewItem*>& items, bool gridOnScreen)
{
    QList<ViewItem*> fresh;
    for (ViewItem* vi : items) {
        if (!tableItems.contains(vi)) {
            fresh.append(vi);
        }
    }
    // One sort at the end instead of one per row keeps large collections quick.
    renderingBatch = true;
    table->setSortingEnabled(false);
    list->setSortingEnabled(false);
    table->setUpdatesEnabled(false);
    list->setUpdatesEnabled(false);
    const bool intoEmpty = table->rowCount() == 0 && list->count() == 0;
    if (intoEmpty) {
        renderIntoEmptyViews(fresh, gridOnScreen);
    } else {
        const QSet<ViewItem*> wanted(fresh.cbegin(), fresh.cend());
        for (int i = 0; i < items.size(); ++i) {
            ViewItem* vi = items.at(i);
            if (wanted.contains(vi)) {
                renderNewListItem(vi);
                renderNewTableItem(vi, i);
            }
        }
        list->sortItems();
    }
    renderingBatch = false;
    list->setSortingEnabled(true);
    list->setUpdatesEnabled(true);
    table->setUpdatesEnabled(true);
    finishRendering(items, !intoEmpty);
}

QList<ViewItem*> ItemCells::inTitleOrder(const QList<ViewItem*>& items)
{
    QList<std::pair<SortKey*, QString>> titles;
    titles.reserve(items.size());
    for (ViewItem* vi : items) {
        titles.append({&vi->titleOrder, vi->title});
    }
    SortKey::makeAll(titles);
    QList<std::pair<const QCollatorSortKey*, ViewItem*>> keyed;
    keyed.reserve(items.size());
    for (ViewItem* vi : items) {
        keyed.append({&vi->titleKey(), vi});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first->compare(*b.first) < 0; });
    QList<ViewItem*> byTitle;
    byTitle.reserve(keyed.size());
    for (const auto& entry : std::as_const(keyed)) {
        byTitle.append(entry.second);
    }
    // The keys go before the cells come: the cells remember their place instead, which is all
    // the closing sorts need.
    releaseSortKeys(items);
    return byTitle;
}

void ItemCells::renderIntoEmptyViews(const QList<ViewItem*>& items, bool gridOnScreen)
{
    const QList<ViewItem*> byTitle = inTitleOrder(items);
    // Sorting goes on while the table is empty, with the indicator on no column: the cells then
    // go in without being sorted in one by one, already in title order. Switched on over a full
    // table, sorting would go through every cell of every row once more (a tenth of opening a
    // large library) only to leave them where they are.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->setRowCount(byTitle.size());
    // Each cell put into the table tells every view of the table about it; here the views
    // hear once, about all of them.
    QAbstractItemModel* model = table->model();
    QSignalBlocker quiet(model);
    // A book's cells are made apart from the table, those of a large library in two threads.
    QList<BookTableItem*> bookCells(byTitle.size(), nullptr);
    const auto makeCells = [&byTitle, &bookCells](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            if (byTitle.at(i)->type == QLatin1String("Book")) {
                bookCells[i] = makeBookCells(byTitle.at(i));
            }
        }
    };
    inTwoHalves(byTitle.size(), tuning.cellsInTwoFrom, makeCells);
    for (int row = 0; row < byTitle.size(); ++row) {
        if (bookCells.at(row)) {
            placeBookCells(bookCells.at(row), byTitle.at(row), row);
        } else {
            placeTableCells(byTitle.at(row), row);
        }
        static_cast<TitleCell*>(table->item(row, 0))->setRank(row);
    }
    quiet.unblock();
    if (!byTitle.isEmpty()) {
        Q_EMIT model->dataChanged(model->index(0, 0), model->index(model->rowCount() - 1, model->columnCount() - 1));
    }
    // Only now the title column's indicator, quietly: with it on during the notice above, the
    // table would check each row's place in the sort, which at 100,000 rows takes minutes.
    {
        const QSignalBlocker headerQuiet(table->horizontalHeader());
        table->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    }
    // A large library opened as a table leaves its grid until it is shown: a third of the work.
    gridDeferred = !gridOnScreen && byTitle.size() >= tuning.gridDeferredFrom;
    if (!gridDeferred) {
        placeGridCells(byTitle);
    }
    for (ViewItem* vi : byTitle) {
        Q_EMIT itemAdded(vi);
    }
}

// The grid sorts by the whole title too.
void ItemCells::placeGridCells(const QList<ViewItem*>& byTitle)
{
    for (int place = 0; place < byTitle.size(); ++place) {
        makeGridCell(byTitle.at(place))->setRank(place);
    }
}

void ItemCells::makeDeferredGrid()
{
    if (!gridDeferred) {
        return;
    }
    gridDeferred = false;
    list->setSortingEnabled(false);
    list->setUpdatesEnabled(false);
    placeGridCells(renderedInTitleOrder());
    list->setSortingEnabled(true);
    list->setUpdatesEnabled(true);
}

// The rendered items in title order. While every title cell still holds its place from the
// first sorted rendering, that place gives the order without making a sort key for each title.
QList<ViewItem*> ItemCells::renderedInTitleOrder()
{
    QList<std::pair<int, ViewItem*>> ranked;
    ranked.reserve(tableItems.size());
    for (auto cell = tableItems.cbegin(); cell != tableItems.cend(); ++cell) {
        const int rank =
            cell.value()->type() == TitleCell::CellType ? static_cast<const TitleCell*>(cell.value())->getRank() : -1;
        if (rank < 0) {
            return inTitleOrder(tableItems.keys());
        }
        ranked.append({rank, cell.key()});
    }
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<ViewItem*> byTitle;
    byTitle.reserve(ranked.size());
    for (const auto& entry : std::as_const(ranked)) {
        byTitle.append(entry.second);
    }
    return byTitle;
}

void ItemCells::finishRendering(const QList<ViewItem*>& items, bool sortTable)
{
    // Enabling sorting sorts by the header's indicator; pointing it at the title column,
    // ascending, first makes that the one sort.
    if (sortTable) {
        table->setSortingEnabled(false);
        table->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
        table->setSortingEnabled(true);
    }
    releaseSortKeys(items);
    table->resizeColumnToContents(0);
    Q_EMIT rowsPlaced();
}

void ItemCells::renderNewListItem(ViewItem* vi)
{
    if (!gridDeferred) {
        makeGridCell(vi);
    }
    Q_EMIT itemAdded(vi);
}

GridCell* ItemCells::makeGridCell(ViewItem* vi)
{
    auto* cell = new GridCell(vi->title, vi);
    renderItem(vi, cell);
    listItems.insert(vi, cell);
    listViewItems.insert(cell, vi);
    list->addItem(cell);
    return cell;
}

void ItemCells::renderItem(ViewItem* vi, QListWidgetItem* cell)
{
    const QIcon icon = coverLoader->cover(vi->coverFile);
    if (icon.isNull()) {
        cell->setIcon(CoverLoader::placeholder());
        cellsAwaitingCover.insert(vi->coverFile, cell);
    } else {
        cell->setIcon(icon);
    }
    cell->setText(ItemTexts::gridTitle(vi->title));
    if (cell->type() == GridCell::CellType) {
        static_cast<GridCell*>(cell)->setViewItem(vi);
        static_cast<GridCell*>(cell)->setRank(-1); // the title may have changed its place
    } else {
        cell->setToolTip(vi->description.isEmpty() ? QString() : ItemTexts::toolTip(vi));
    }
    if (!vi->filePath.isEmpty()) {
        cell->setData(ItemRoles::FilePath, vi->filePath);
    }
    cell->setData(ItemRoles::Id, vi->id);
    if (!vi->url.isEmpty()) {
        cell->setData(ItemRoles::Url, vi->url);
    }
}

void ItemCells::showCover(const QString& path, const QIcon& icon)
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

void ItemCells::renderNewTableItem(ViewItem* vi, int row)
{
    table->setSortingEnabled(false);
    table->insertRow(row);
    placeTableCells(vi, row);
    if (!renderingBatch) {
        table->setSortingEnabled(true);
        Q_EMIT rowsPlaced();
    }
}

// Touches nothing but the new cells: may run outside the window's thread.
BookTableItem* ItemCells::makeBookCells(ViewItem* vi)
{
    // Every cell is filled before it goes into the table: a cell changed in a table tells
    // the views about it, and with a whole library that telling costs more than the cells.
    auto* cells = new BookTableItem;
    cells->title = new TitleCell(vi->title, vi);
    cells->authors = new ItemTextCell(vi, &ViewItem::authors, true);
    cells->date = new ItemTextCell(vi, &ViewItem::datePublished, false);
    cells->publisher = new ItemTextCell(vi, &ViewItem::publisher, true);
    cells->published = new ItemTextCell(vi, &ViewItem::datePublished, false);
    cells->size = new ItemTextCell(vi, &ViewItem::size, false);
    // Most books have neither tags nor a series: their cells are made only when there is text.
    if (!vi->tags.isEmpty()) {
        cells->tags = new ItemTextCell(vi, &ViewItem::tags, true);
    }
    if (!vi->series.isEmpty()) {
        cells->series = new ItemTextCell(vi, &ViewItem::series, true);
    }
    return cells;
}

void ItemCells::placeBookCells(BookTableItem* cells, ViewItem* vi, int row)
{
    tableItems.insert(vi, cells->title);
    tableViewItems.insert(cells->title, vi);
    bookTableItems.insert(vi, cells);
    table->setItem(row, 0, cells->title);
    table->setItem(row, 1, cells->authors);
    table->setItem(row, 2, cells->date);
    table->setItem(row, 3, cells->size);
    if (cells->tags) {
        table->setItem(row, 5, cells->tags);
    }
    if (cells->series) {
        table->setItem(row, 6, cells->series);
    }
    table->setItem(row, 7, cells->publisher);
    table->setItem(row, 8, cells->published);
    // The stars of this row are made when the row first comes into view.
}

void ItemCells::placeTableCells(ViewItem* vi, int row)
{
    if (vi->type == QLatin1String("Book")) {
        placeBookCells(makeBookCells(vi), vi, row);
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

void ItemCells::renderItem(ViewItem* vi, BookTableItem* cells)
{
    cells->title->setText(vi->title);
    // Each cell is set again, not only read from the record: setting it tells the views to
    // repaint it and a table sorted by its column to sort the row anew.
    cells->authors->setText(vi->authors);
    cells->date->setText(vi->datePublished);
    cells->size->setText(vi->size);
    cells->publisher->setText(vi->publisher);
    cells->published->setText(vi->datePublished);
    // Most books have neither tags nor a series: their cells are made only when there is text.
    const auto showText = [this, vi, cells](QTableWidgetItem*& cell, int column, ItemTextCell::Text text) {
        if (cell) {
            cell->setText(vi->*text);
        } else if (!(vi->*text).isEmpty()) {
            cell = new ItemTextCell(vi, text, true);
            table->setItem(cells->title->row(), column, cell);
        }
    };
    showText(cells->tags, 5, &ViewItem::tags);
    showText(cells->series, 6, &ViewItem::series);
}

void ItemCells::renderItem(ViewItem* vi, WebPageTableItem* cells)
{
    cells->title->setText(vi->title);
    cells->url->setText(vi->url);
}

void ItemCells::renderUpdatedItem(ViewItem* vi)
{
    if (QListWidgetItem* cell = listItems.value(vi, nullptr)) {
        renderItem(vi, cell);
    }
    if (vi->type == QLatin1String("Book")) {
        if (BookTableItem* cells = bookTableItems.value(vi, nullptr)) {
            renderItem(vi, cells);
            if (auto* rating = qobject_cast<Rating*>(table->cellWidget(cells->title->row(), 4))) {
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

void ItemCells::renderUpdatedItem(QListWidgetItem* cell)
{
    if (ViewItem* vi = listViewItems.value(cell, nullptr)) {
        renderItem(vi, cell);
    }
}
