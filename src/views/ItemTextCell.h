#pragma once

#include <QString>
#include <QTableWidgetItem>

struct ViewItem;

// A table cell showing one of its item's texts (authors, publisher, size, ...). The cell reads
// the text from the item when asked instead of holding a copy: for a whole library the copies
// are a good part of the table's memory. Text set on the cell itself is held as in any cell.
// Collated cells sort in reading order (see SortKey), the others as plain text.
class ItemTextCell : public QTableWidgetItem
{
public:
    static constexpr int CellType = QTableWidgetItem::UserType + 2;
    using Text = QString ViewItem::*;

    ItemTextCell(const ViewItem* item, Text text, bool collated);

    QVariant data(int role) const override;
    void setData(int role, const QVariant& value) override;
    bool operator<(const QTableWidgetItem& other) const override;

private:
    const ViewItem* item;
    Text text;
    bool collated;
    bool ownText = false;
};
