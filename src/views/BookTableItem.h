#pragma once

class QTableWidgetItem;

// The cells of one book row of an item view's table.
struct BookTableItem
{
    QTableWidgetItem* title = nullptr;
    QTableWidgetItem* authors = nullptr;
    QTableWidgetItem* date = nullptr;
    QTableWidgetItem* tags = nullptr;   // made when there are tags
    QTableWidgetItem* series = nullptr; // made when there is a series
    QTableWidgetItem* publisher = nullptr;
    QTableWidgetItem* published = nullptr;
    QTableWidgetItem* size = nullptr;
};
