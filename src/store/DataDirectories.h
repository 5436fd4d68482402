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

    // The cloud service's base URL: LIRENTA_CLOUD_URL when set, else the fixed default. Ends with "/".
    static QString cloudBaseUrl();
};
