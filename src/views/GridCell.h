#pragma once

#include <QListWidgetItem>

struct ViewItem;

// A cell of the cover grid. Its tool tip is made from the item when it is asked for, so a
// library of many thousands of items does not keep a rich-text copy of every description.
class GridCell : public QListWidgetItem
{
public:
    static constexpr int CellType = QListWidgetItem::UserType + 1;

    GridCell(const QString& text, ViewItem* item);

    ViewItem* getViewItem() const { return viewItem; }
    void setViewItem(ViewItem* item) { viewItem = item; }
    QVariant data(int role) const override;
    // Sorted by the item's whole title in reading order, whatever the shortened text shows.
    bool operator<(const QListWidgetItem& other) const override;
    // The cell's place in the first sorted rendering; -1 once its title may have moved it.
    void setRank(int place) { rank = place; }

private:
    ViewItem* viewItem;
    int rank = -1;
};
