#pragma once

class QTableWidgetItem;

// The cells of one web page row of an item view's table.
struct WebPageTableItem
{
    QTableWidgetItem* title = nullptr;
    QTableWidgetItem* url = nullptr;
    QTableWidgetItem* description = nullptr;
    QTableWidgetItem* created = nullptr;
};
