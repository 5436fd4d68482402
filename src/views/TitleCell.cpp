#include "TitleCell.h"

#include "ItemViews.h"
#include "ViewItem.h"

TitleCell::TitleCell(const QString& text, ViewItem* item)
    : QTableWidgetItem(text, CellType), viewItem(item), shownText(text)
{
}

QVariant TitleCell::data(int role) const
{
    if (role == Qt::ToolTipRole && viewItem) {
        return ItemViews::toolTip(viewItem);
    }
    return QTableWidgetItem::data(role);
}

void TitleCell::setData(int role, const QVariant& value)
{
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        shownText = value.toString();
    }
    QTableWidgetItem::setData(role, value);
}

bool TitleCell::operator<(const QTableWidgetItem& other) const
{
    if (other.type() == CellType) {
        return sortKey().compare(static_cast<const TitleCell&>(other).sortKey()) < 0;
    }
    return SortKey::less(shownText, other.text());
}

const QCollatorSortKey& TitleCell::sortKey() const
{
    if (viewItem && viewItem->title == shownText) {
        return viewItem->titleKey();
    }
    return ownKey.of(shownText);
}
