#include "TitleCell.h"

#include "ItemViews.h"

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
    // The same order the base class gives two texts: case-sensitive, by character code.
    if (other.type() == CellType) {
        return shownText < static_cast<const TitleCell&>(other).shownText;
    }
    return QTableWidgetItem::operator<(other);
}
