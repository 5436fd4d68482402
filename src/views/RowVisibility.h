#pragma once

#include <QHash>
#include <QList>
#include <QSet>

class QListWidget;
class QListWidgetItem;
class QTableWidget;
class QTableWidgetItem;
struct ViewItem;

// Which items of a view are shown, applied to its grid and its table. The presentation on
// screen follows a search at once; the other catches up when it is shown, so a keystroke
// never pays for cells nobody sees. Rows are found through a cache of where each item's cell
// was last seen, so a search touches only the items whose visibility changes.
class RowVisibility
{
public:
    // The cell maps belong to the view, which keeps them up to date.
    RowVisibility(QListWidget* list, QTableWidget* table, const QHash<ViewItem*, QListWidgetItem*>& listItems,
                  const QHash<QListWidgetItem*, ViewItem*>& listOwners,
                  const QHash<ViewItem*, QTableWidgetItem*>& tableItems,
                  const QHash<QTableWidgetItem*, ViewItem*>& tableOwners);

    bool isShown(ViewItem* vi) const { return shownItems.contains(vi); }
    // A newly rendered item, shown.
    void add(ViewItem* vi) { shownItems.insert(vi); }
    void remove(ViewItem* vi) { shownItems.remove(vi); }
    // Shows exactly the wanted items (those rendered); `onScreen` is 0 for the table, 1 for the grid.
    void showOnly(const QList<ViewItem*>& wanted, int onScreen);
    // Applies the searches made while the presentation (0 table, 1 grid) was hidden.
    void bringInStep(int view);

private:
    void setShown(ViewItem* vi, bool shown);
    int listRowOf(ViewItem* vi);
    int tableRowOf(ViewItem* vi);
    void showOnlyInList(const QSet<ViewItem*>& wanted);
    void showOnlyInTable(const QSet<ViewItem*>& wanted);

    QListWidget* list;
    QTableWidget* table;
    const QHash<ViewItem*, QListWidgetItem*>& listItems;
    const QHash<QListWidgetItem*, ViewItem*>& listOwners;
    const QHash<ViewItem*, QTableWidgetItem*>& tableItems;
    const QHash<QTableWidgetItem*, ViewItem*>& tableOwners;
    QSet<ViewItem*> shownItems;
    QHash<ViewItem*, int> listRowCache;
    QHash<ViewItem*, int> tableRowCache;
    // Searches made while the grid (or the table) was not on screen, not yet applied to it.
    bool gridBehind = false;
    bool tableBehind = false;
};
