#include "RowVisibility.h"

#include "GridCell.h"
#include "ItemRoles.h"
#include "TitleCell.h"

#include <QHeaderView>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTableWidget>

namespace {
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

RowVisibility::RowVisibility(QListWidget* list, QTableWidget* table,
                             const QHash<ViewItem*, QListWidgetItem*>& listItems,
                             const QHash<QListWidgetItem*, ViewItem*>& listOwners,
                             const QHash<ViewItem*, QTableWidgetItem*>& tableItems,
                             const QHash<QTableWidgetItem*, ViewItem*>& tableOwners)
    : list(list), table(table), listItems(listItems), listOwners(listOwners), tableItems(tableItems),
      tableOwners(tableOwners)
{
}

void RowVisibility::showOnly(const QList<ViewItem*>& items, int onScreen)
{
    // What stays shown: the wanted items already shown, and those rendered and not removed.
    // Worked out from the wanted items alone, so a search that hides nearly every row of a large
    // library does not go through the shown ones item by item.
    QSet<ViewItem*> next;
    next.reserve(items.size());
    qsizetype kept = 0;
    for (ViewItem* vi : items) {
        const bool shown = shownItems.contains(vi);
        if (shown || tableItems.contains(vi)) {
            const qsizetype before = next.size();
            next.insert(vi);
            kept += (shown && next.size() > before) ? 1 : 0;
        }
    }
    const qsizetype changes = (shownItems.size() - kept) + (next.size() - kept);
    if (onScreen == 0) {
        gridBehind = true;
    } else {
        tableBehind = true;
    }
    QWidget* shown = onScreen == 0 ? static_cast<QWidget*>(table) : list;
    shown->setUpdatesEnabled(false);
    // A few changes are made item by item; many (the first search of a large library hides
    // nearly every row) in one pass over the rows, which costs no look-ups per item.
    if (changes > 2000) {
        shownItems = std::move(next);
        if (!gridBehind) {
            showOnlyInList(shownItems);
        }
        if (!tableBehind) {
            showOnlyInTable(shownItems);
        }
    } else {
        QList<ViewItem*> toHide;
        for (ViewItem* vi : std::as_const(shownItems)) {
            if (!next.contains(vi)) {
                toHide.append(vi);
            }
        }
        QList<ViewItem*> toShow;
        for (ViewItem* vi : std::as_const(next)) {
            if (!shownItems.contains(vi)) {
                toShow.append(vi);
            }
        }
        shownItems = std::move(next);
        for (ViewItem* vi : std::as_const(toHide)) {
            setShown(vi, false);
        }
        for (ViewItem* vi : std::as_const(toShow)) {
            setShown(vi, true);
        }
    }
    shown->setUpdatesEnabled(true);
}

void RowVisibility::bringInStep(int view)
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

void RowVisibility::setShown(ViewItem* vi, bool shown)
{
    const int cell = gridBehind ? -1 : listRowOf(vi);
    if (cell >= 0) {
        list->setRowHidden(cell, !shown);
    }
    const int row = tableBehind ? -1 : tableRowOf(vi);
    if (row >= 0) {
        table->setRowHidden(row, !shown);
    }
}

int RowVisibility::listRowOf(ViewItem* vi)
{
    QListWidget* cells = list;
    return cachedRow(listRowCache, vi, listItems.value(vi, nullptr), cells->count(), listOwners,
                     [cells](int row) { return cells->item(row); });
}

int RowVisibility::tableRowOf(ViewItem* vi)
{
    QTableWidget* rows = table;
    return cachedRow(tableRowCache, vi, tableItems.value(vi, nullptr), rows->rowCount(), tableOwners,
                     [rows](int row) { return rows->item(row, 0); });
}

void RowVisibility::showOnlyInList(const QSet<ViewItem*>& wanted)
{
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* cell = list->item(i);
        if (cell->type() != GridCell::CellType) {
            continue;
        }
        const bool shown =
            wanted.contains(static_cast<GridCell*>(cell)->getViewItem()) && !cell->data(ItemRoles::Removed).toBool();
        if (list->isRowHidden(i) == shown) {
            list->setRowHidden(i, !shown);
        }
    }
}

void RowVisibility::showOnlyInTable(const QSet<ViewItem*>& wanted)
{
    // Each hidden row would report its new height to the table, which then works through
    // the list row by row; laying the table out once afterwards does the same for all of them.
    const QSignalBlocker quiet(table->verticalHeader());
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem* cell = table->item(row, 0);
        if (!cell || cell->type() != TitleCell::CellType) {
            continue;
        }
        const bool shown =
            wanted.contains(static_cast<TitleCell*>(cell)->getViewItem()) && !cell->data(ItemRoles::Removed).toBool();
        if (table->isRowHidden(row) == shown) {
            table->setRowHidden(row, !shown);
        }
    }
    table->doItemsLayout();
}
