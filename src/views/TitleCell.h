#pragma once

#include <QTableWidgetItem>

struct ViewItem;

// The title cell of a table row. Like the grid cells it makes its tool tip when asked, and it
// sorts by its item's title key, so sorting a large table compares keys, not variants.
class TitleCell : public QTableWidgetItem
{
public:
    static constexpr int CellType = QTableWidgetItem::UserType + 1;

    TitleCell(const QString& text, ViewItem* item);

    ViewItem* getViewItem() const { return viewItem; }
    QVariant data(int role) const override;
    void setData(int role, const QVariant& value) override;
    bool operator<(const QTableWidgetItem& other) const override;
    // The cell's place in the first sorted rendering; -1 once its title may have moved it.
    void setRank(int place) { rank = place; }
    int getRank() const { return rank; }

private:
    bool showsItemTitle() const;

    ViewItem* viewItem;
    int rank = -1;
    QString shownText;
};
