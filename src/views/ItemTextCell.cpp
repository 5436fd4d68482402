#include "ItemTextCell.h"

#include "SortKey.h"
#include "ViewItem.h"

ItemTextCell::ItemTextCell(const ViewItem* viewItem, Text shown, bool inReadingOrder)
    : QTableWidgetItem(CellType), item(viewItem), text(shown), collated(inReadingOrder)
{
}

QVariant ItemTextCell::data(int role) const
{
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && !ownText) {
        return item->*text;
    }
    return QTableWidgetItem::data(role);
}

void ItemTextCell::setData(int role, const QVariant& value)
{
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        ownText = true;
    }
    QTableWidgetItem::setData(role, value);
}

bool ItemTextCell::operator<(const QTableWidgetItem& other) const
{
    return collated ? SortKey::less(QTableWidgetItem::text(), other.text()) : QTableWidgetItem::operator<(other);
}
