#pragma once

#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QObject>

class CoverLoader;
class QIcon;
class QListWidget;
class QListWidgetItem;
class QTableWidget;
class QTableWidgetItem;
struct BookTableItem;
struct ViewItem;
struct WebPageTableItem;

// The cells that show a view's items: one grid cell and one table row per item, the maps
// between items and their cells, and covers that arrive after the cells.
class ItemCells : public QObject
{
    Q_OBJECT

public:
    ItemCells(QListWidget* list, QTableWidget* table, QObject* parent);
    ~ItemCells() override;

    QListWidgetItem* gridCell(ViewItem* vi) const { return listItems.value(vi, nullptr); }
    QTableWidgetItem* titleCell(ViewItem* vi) const { return tableItems.value(vi, nullptr); }
    ViewItem* itemOf(QListWidgetItem* cell) const { return listViewItems.value(cell, nullptr); }
    ViewItem* itemOf(QTableWidgetItem* cell) const { return tableViewItems.value(cell, nullptr); }
    bool isRendered(ViewItem* vi) const { return listItems.contains(vi); }
    const QHash<ViewItem*, QListWidgetItem*>& gridCells() const { return listItems; }
    const QHash<QListWidgetItem*, ViewItem*>& gridOwners() const { return listViewItems; }
    const QHash<ViewItem*, QTableWidgetItem*>& titleCells() const { return tableItems; }
    const QHash<QTableWidgetItem*, ViewItem*>& titleOwners() const { return tableViewItems; }

    // Gives cells to the items (in collection order) that have none; the first time already
    // in title order, so the closing sorts move nothing.
    void renderItems(const QList<ViewItem*>& items);
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
    void gridCellAdded(ViewItem* vi);
    // Rows were added or sorted: rows on screen may need their widgets.
    void rowsPlaced();

private:
    void renderIntoEmptyViews(const QList<ViewItem*>& items);
    void finishRendering(const QList<ViewItem*>& items);
    void placeTableCells(ViewItem* vi, int row);
    void setCommonRoles(QTableWidgetItem* cell, const ViewItem* vi);
    void showCover(const QString& path, const QIcon& icon);

    QListWidget* list;
    QTableWidget* table;
    CoverLoader* coverLoader;
    bool renderingBatch = false;
    QHash<ViewItem*, QListWidgetItem*> listItems;
    QHash<QListWidgetItem*, ViewItem*> listViewItems;
    QHash<ViewItem*, QTableWidgetItem*> tableItems;
    QHash<QTableWidgetItem*, ViewItem*> tableViewItems;
    QHash<ViewItem*, BookTableItem*> bookTableItems;
    QHash<ViewItem*, WebPageTableItem*> webPageTableItems;
    // Grid cells waiting for their cover, by cover path.
    QMultiHash<QString, QListWidgetItem*> cellsAwaitingCover;
};
