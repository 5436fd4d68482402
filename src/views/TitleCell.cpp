#include "TitleCell.h"

#include "ItemRoles.h"
#include "ItemTexts.h"
#include "ViewItem.h"

TitleCell::TitleCell(const QString& text, ViewItem* item)
    : QTableWidgetItem(text, CellType), viewItem(item), shownText(text)
{
}

// The tool tip and the item's id, file and address come from the item when asked: held by each
// cell of a whole library they would cost a good part of the table's memory.
QVariant TitleCell::data(int role) const
{
    if (viewItem) {
        switch (role) {
        case Qt::ToolTipRole:
            return ItemTexts::toolTip(viewItem);
        case ItemRoles::Id:
            return viewItem->id;
        case ItemRoles::FilePath:
            return viewItem->filePath.isEmpty() ? QVariant() : QVariant(viewItem->filePath);
        case ItemRoles::Url:
            return viewItem->url.isEmpty() ? QVariant() : QVariant(viewItem->url);
        default:
            break;
        }
    }
    return QTableWidgetItem::data(role);
}

void TitleCell::setData(int role, const QVariant& value)
{
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        shownText = value.toString();
        rank = -1;
    }
    QTableWidgetItem::setData(role, value);
}

bool TitleCell::operator<(const QTableWidgetItem& other) const
{
    if (other.type() == CellType) {
        const auto& cell = static_cast<const TitleCell&>(other);
        if (rank >= 0 && cell.rank >= 0) {
            return rank < cell.rank;
        }
        if (showsItemTitle() && cell.showsItemTitle()) {
            return viewItem->titleKey().compare(cell.viewItem->titleKey()) < 0;
        }
    }
    return SortKey::less(text(), other.text());
}

bool TitleCell::showsItemTitle() const
{
    return viewItem && viewItem->title == shownText;
}
