// Opens a library and tries to change it, reporting what happened; the read-only test runs it
// as an unprivileged user (root ignores file modes).
//   ReadOnlyProbe DATADIR
#include "Book.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "QtModules.h"

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const QString dataDir = QString::fromLocal8Bit(argv[1]);
    LibrarySettings().setValue("dataDir", dataDir);
    LibraryDatabase library;
    const LibraryDatabase::Outcome outcome = library.open(dataDir);
    QSqlQuery count("SELECT COUNT(*) FROM books");
    const int books = count.next() ? count.value(0).toInt() : -1;
    Book book(nullptr, 0);
    book.setTitle("Should not be saved");
    const bool saved = book.insertBook();
    std::printf("open=%d readonly=%d books=%d saved=%d\n", outcome.isOpen() ? 1 : 0, outcome.readOnly ? 1 : 0, books,
                saved ? 1 : 0);
    return 0;
}
