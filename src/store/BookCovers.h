#pragma once

#include <QList>
#include <QString>

// What the library says about books' covers, for the cover maker.
class BookCovers
{
public:
    // Books showing the default cover, oldest first.
    static QList<int> withoutCover();
    // Whether the book has no cover of its own (none, the default, or a file that is gone) but
    // has a file to make one from; `firstFile` is set to that file.
    static bool needsCover(int iid, QString* firstFile);
    // Records a cover file made for the book.
    static bool record(int iid, const QString& coverFile);
};
