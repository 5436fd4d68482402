#pragma once

#include <QTableWidgetItem>

// A table cell of a name (authors, publisher, tags) that sorts in reading order. It keeps no
// sort key: a table has many such cells and is seldom sorted by them.
class CollatedCell : public QTableWidgetItem
{
public:
    static constexpr int CellType = QTableWidgetItem::UserType + 2;

    explicit CollatedCell(const QString& text);

    bool operator<(const QTableWidgetItem& other) const override;
};
