#include "CollatedCell.h"

#include "SortKey.h"

CollatedCell::CollatedCell(const QString& text) : QTableWidgetItem(text, CellType)
{
}

bool CollatedCell::operator<(const QTableWidgetItem& other) const
{
    return SortKey::less(text(), other.text());
}
