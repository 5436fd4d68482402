#pragma once

#include <QList>
#include <QString>

// What the library says about books' covers, for the cover maker.
class BookCovers
{
public:
    // Books showing the default cover, oldest first.
    static QList<int> withoutCover();
    // Whether the book never had a cover of its own (none, or the default) but has a file to
    // make one from; `firstFile` is set to that file. A cover of its own that cannot be found
    // for the moment (a drive not mounted) is never replaced.
    static bool needsCover(int iid, QString* firstFile);
    // Records a cover file made for the book.
    static bool record(int iid, const QString& coverFile);
    // Where a stored cover is now: the path itself, or, when the library folder was moved or
    // copied to another place, the file of the same name in the current data directory.
    static QString located(const QString& stored);
};
