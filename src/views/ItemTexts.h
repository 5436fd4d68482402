#pragma once

#include <QCoreApplication>
#include <QString>

struct ViewItem;

// The texts the grid and the table show for an item, so the two presentations agree.
class ItemTexts
{
    Q_DECLARE_TR_FUNCTIONS(ItemViews)

public:
    // A grid cell's title: the first 20 characters and "..." when longer.
    static QString gridTitle(const QString& title);
    // A rich-text summary: the title, date and pages, and the first 400 characters of the
    // description. Books without a description have none.
    static QString toolTip(const ViewItem* vi);
};
