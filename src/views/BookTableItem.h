#pragma once

class QTableWidgetItem;

// The cells of one book row of an item view's table.
struct BookTableItem
{
    QTableWidgetItem* title = nullptr;
    QTableWidgetItem* authors = nullptr;
    QTableWidgetItem* date = nullptr;
    QTableWidgetItem* series = nullptr;
    QTableWidgetItem* publisher = nullptr;
    QTableWidgetItem* published = nullptr;
    QTableWidgetItem* size = nullptr;
};
