#include "TitleCell.h"

#include "ItemTexts.h"
#include "ViewItem.h"

TitleCell::TitleCell(const QString& text, ViewItem* item)
    : QTableWidgetItem(text, CellType), viewItem(item), shownText(text)
{
}

QVariant TitleCell::data(int role) const
{
    if (role == Qt::ToolTipRole && viewItem) {
        return ItemTexts::toolTip(viewItem);
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
