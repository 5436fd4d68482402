#include "FileTable.h"

#include "Item.h"
#include "ItemFile.h"
#include "ItemFiles.h"

#include <QTableWidget>

void FileTable::appendRow(QTableWidget* table, Item* record, int fileIndex)
{
    ItemFile* file = record->getFiles()->getFile(fileIndex);
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(file->getFileName()));
    table->setItem(row, 1, new QTableWidgetItem(QString::number(file->getFileSize())));
    table->setItem(row, 2, new QTableWidgetItem(file->getFileMd5()));
    table->setItem(row, 3, new QTableWidgetItem(file->getFilePath()));
}

QString FileTable::fill(QTableWidget* table, Item* record)
{
    table->setRowCount(0);
    ItemFiles* files = record->getFiles();
    for (int i = 0; i < files->count(); ++i) {
        appendRow(table, record, i);
    }
    return files->getFirstFilePath();
}

void FileTable::removeSelected(QTableWidget* table, Item* record)
{
    const QList<QTableWidgetItem*> selected = table->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int row = selected.first()->row();
    table->removeRow(row);
    if (row < record->getFiles()->count()) {
        record->removeFile(record->getFiles()->getFile(row));
    }
}
