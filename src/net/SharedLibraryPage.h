#pragma once

#include "LibraryCatalog.h"

#include <QByteArray>
#include <QString>

// The shared library as a web page for any browser: a search box, the books as a grid of
// covers with titles and authors, a download button for each file, and paging. It is made
// on the server and needs nothing from outside; it fits a phone's screen.
class SharedLibraryPage
{
public:
    // Page `page` (from 1) of `total` books; `search` is the words searched for, if any.
    static QByteArray render(const QList<LibraryCatalog::Entry>& entries, const QString& search, int page, int total);
};
