#pragma once

#include "SortKey.h"

#include <QTableWidgetItem>

// A table cell of a name (authors, publisher) that sorts in reading order.
class CollatedCell : public QTableWidgetItem
{
public:
    static constexpr int CellType = QTableWidgetItem::UserType + 2;

    explicit CollatedCell(const QString& text);

    bool operator<(const QTableWidgetItem& other) const override;

private:
    mutable SortKey key;
};
