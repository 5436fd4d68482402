#include "CollatedCell.h"

CollatedCell::CollatedCell(const QString& text) : QTableWidgetItem(text, CellType)
{
}

bool CollatedCell::operator<(const QTableWidgetItem& other) const
{
    if (other.type() == CellType) {
        auto& otherKey = static_cast<const CollatedCell&>(other).key;
        return key.of(text()).compare(otherKey.of(other.text())) < 0;
    }
    return SortKey::less(text(), other.text());
}
