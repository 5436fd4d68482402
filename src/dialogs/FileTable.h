#pragma once

class Item;
class QString;
class QTableWidget;

// The Files tab of the properties dialogs: one row per file of the record (name, size, MD5,
// path), rows in the record's file order.
class FileTable
{
public:
    static void appendRow(QTableWidget* table, Item* record, int fileIndex);
    // Fills the table; returns the first file's path (empty without files).
    static QString fill(QTableWidget* table, Item* record);
    // Takes the selected row's file off the record (it leaves the library when saved).
    static void removeSelected(QTableWidget* table, Item* record);
};
