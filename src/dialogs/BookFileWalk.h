#pragma once

#include "BookMetadata.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Finds the book files a batch import lists: files named by the user (whatever they are) and
// the book files of folders (with their sub-folders or not), each folder's in path order. What
// each file is and what it says about itself is read in second threads; the files are handed
// over in order, with progress shown and a Cancel that stops at any moment.
class BookFileWalk
{
public:
    struct File
    {
        enum class Kind { Book, NotPdf, NotBook };
        QString path;
        Kind kind = Kind::NotBook;
        BookMetadata metadata;
    };

    // Calls `take` for every file found, in order; false when the user cancelled.
    static bool run(const QStringList& paths, bool withSubfolders, QWidget* parent,
                    const std::function<void(const File&)>& take);
    static File examine(const QString& path);
};
