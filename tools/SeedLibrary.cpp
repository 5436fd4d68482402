// Fills the library of the current user (as HOME and the settings name it) with a
// demonstration library, for trying the program or taking screenshots.
#include "DataDirectories.h"
#include "DemoLibrary.h"
#include "LibraryDatabase.h"
#include "LibrarySeeder.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const DataDirectories::Paths paths = DataDirectories::setDataDir();
    LibraryDatabase library;
    if (!library.open(paths.dataDir).isOpen()) {
        std::fprintf(stderr, "cannot open the library in %s\n", qPrintable(paths.dataDir));
        return 1;
    }
    DemoLibrary::seed(LibrarySeeder(paths.dataDir, paths.libraryDir + "Books/"));
    std::printf("seeded %s\n", qPrintable(paths.dataDir));
    return 0;
}
