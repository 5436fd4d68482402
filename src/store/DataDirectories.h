#pragma once

#include <QString>

// Settles where the library keeps its data (database, covers) and its captured files,
// and the per-installation settings written at every start.
class DataDirectories
{
public:
    struct Paths
    {
        QString dataDir;    // ends with a separator
        QString libraryDir; // ends with a separator
    };

    static Paths setDataDir();

    // Removes cover files that online look-ups left behind unsaved (none is in flight at start).
    static void removeTemporaryCovers(const QString& dataDir);
};
