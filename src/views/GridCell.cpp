#include "GridCell.h"

#include "ItemTexts.h"
#include "ViewItem.h"

GridCell::GridCell(const QString& text, ViewItem* item) : QListWidgetItem(text, nullptr, CellType), viewItem(item)
{
}

QVariant GridCell::data(int role) const
{
    if (role == Qt::ToolTipRole && viewItem) {
        // Only items with a description have a tool tip in the grid.
        return viewItem->description.isEmpty() ? QString() : ItemTexts::toolTip(viewItem);
    }
    return QListWidgetItem::data(role);
}

bool GridCell::operator<(const QListWidgetItem& other) const
{
    if (other.type() == CellType) {
        const auto& cell = static_cast<const GridCell&>(other);
        if (rank >= 0 && cell.rank >= 0) {
            return rank < cell.rank;
        }
        if (viewItem && cell.viewItem) {
            return viewItem->titleKey().compare(cell.viewItem->titleKey()) < 0;
        }
    }
    return SortKey::less(text(), other.text());
}
