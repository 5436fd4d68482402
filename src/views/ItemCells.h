#pragma once

#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QObject>

class CoverLoader;
class GridCell;
class QIcon;
class QListWidget;
class QListWidgetItem;
class QTableWidget;
class QTableWidgetItem;
struct BookTableItem;
struct ViewItem;
struct WebPageTableItem;

// When a large collection's cells are made differently; tests make them small.
struct ViewTuning
{
    // Collections from this many items on have their grid made when it is first shown.
    int gridDeferredFrom = 5000;
    // Collections from this many items on have their table cells made in two threads.
    int cellsInTwoFrom = 5000;
};

// The cells that show a view's items: one grid cell and one table row per item, the maps
// between items and their cells, and covers that arrive after the cells.
class ItemCells : public QObject
{
    Q_OBJECT

public:
    ItemCells(QListWidget* list, QTableWidget* table, const ViewTuning& tuning, QObject* parent);
    ~ItemCells() override;

    QListWidgetItem* gridCell(ViewItem* vi) const { return listItems.value(vi, nullptr); }
    QTableWidgetItem* titleCell(ViewItem* vi) const { return tableItems.value(vi, nullptr); }
    ViewItem* itemOf(QListWidgetItem* cell) const { return listViewItems.value(cell, nullptr); }
    ViewItem* itemOf(QTableWidgetItem* cell) const { return tableViewItems.value(cell, nullptr); }
    bool isRendered(ViewItem* vi) const { return tableItems.contains(vi); }
    const QHash<ViewItem*, QListWidgetItem*>& gridCells() const { return listItems; }
    const QHash<QListWidgetItem*, ViewItem*>& gridOwners() const { return listViewItems; }
    const QHash<ViewItem*, QTableWidgetItem*>& titleCells() const { return tableItems; }
    const QHash<QTableWidgetItem*, ViewItem*>& titleOwners() const { return tableViewItems; }

    // Gives cells to the items (in collection order) that have none; the first time already
    // in title order, so the closing sorts move nothing. A large collection shown as a table
    // gets its grid cells only when the grid is first shown (makeDeferredGrid).
    void renderItems(const QList<ViewItem*>& items, bool gridOnScreen);
    // Makes the grid cells left for later, if any, in title order, all shown.
    void makeDeferredGrid();
    void renderNewListItem(ViewItem* vi);
    void renderNewTableItem(ViewItem* vi, int row);
    void renderItem(ViewItem* vi, QListWidgetItem* cell);
    void renderItem(ViewItem* vi, BookTableItem* cells);
    void renderItem(ViewItem* vi, WebPageTableItem* cells);
    void renderUpdatedItem(ViewItem* vi);
    void renderUpdatedItem(QListWidgetItem* cell);
    // A deleted item: its cells stay, hidden and marked removed; the maps forget them.
    void remove(ViewItem* vi);
    // Sort keys are made for a sort and freed after it: kept for a large library they would
    // cost more memory than the sort saves time.
    static void releaseSortKeys(const QList<ViewItem*>& items);

Q_SIGNALS:
    // The item has its cells (its grid cell perhaps still to come) and is shown.
    void itemAdded(ViewItem* vi);
    // Rows were added or sorted: rows on screen may need their widgets.
    void rowsPlaced();

private:
    void renderIntoEmptyViews(const QList<ViewItem*>& items, bool gridOnScreen);
    static QList<ViewItem*> inTitleOrder(const QList<ViewItem*>& items);
    void placeGridCells(const QList<ViewItem*>& byTitle);
    GridCell* makeGridCell(ViewItem* vi);
    // sortTable: sort the table by title (cells rendered into an empty table are in order already).
    QList<ViewItem*> renderedInTitleOrder();
    void finishRendering(const QList<ViewItem*>& items, bool sortTable);
    void placeTableCells(ViewItem* vi, int row);
    static BookTableItem* makeBookCells(ViewItem* vi);
    void placeBookCells(BookTableItem* cells, ViewItem* vi, int row);
    void showCover(const QString& path, const QIcon& icon);

    QListWidget* list;
    QTableWidget* table;
    CoverLoader* coverLoader;
    bool renderingBatch = false;
    bool gridDeferred = false;
    ViewTuning tuning;
    QHash<ViewItem*, QListWidgetItem*> listItems;
    QHash<QListWidgetItem*, ViewItem*> listViewItems;
    QHash<ViewItem*, QTableWidgetItem*> tableItems;
    QHash<QTableWidgetItem*, ViewItem*> tableViewItems;
    QHash<ViewItem*, BookTableItem*> bookTableItems;
    QHash<ViewItem*, WebPageTableItem*> webPageTableItems;
    // Grid cells waiting for their cover, by cover path.
    QMultiHash<QString, QListWidgetItem*> cellsAwaitingCover;
};
