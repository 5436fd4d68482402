#pragma once

#include "SortKey.h"

#include <QList>
#include <QString>
#include <QStringList>

class Item;

// What the views and the information panel show of one record. The record owns it and
// refills it; views hold non-owning pointers and reach the record through items.first().
struct ViewItem
{
    int id = 0;
    QString type;
    QString title;
    QString coverFile;
    QString pageCount;
    QString datePublished;
    QString description;
    QString filePath;
    QStringList filePaths;
    QString authors;
    QString publisher;
    QList<Item*> items;
    QString url;
    QString size;
    QString created;
    QString tags;   // "fantasy, classics"
    QString series; // "Dune Chronicles 2"
    int rating = 0;
    // The title's place in the sorted table and grid, kept while the title stays the same.
    SortKey titleOrder;

    const QCollatorSortKey& titleKey() { return titleOrder.of(title); }
};
