#include "DataDirectories.h"

#include "LibrarySettings.h"
#include "Logging.h"
#include "ServiceEndpoints.h"

#include <QDir>
#include <QStandardPaths>
#include <QUuid>

DataDirectories::Paths DataDirectories::setDataDir()
{
    LibrarySettings settings;
    Paths paths;
    paths.dataDir = settings.dataDir();
    paths.libraryDir = settings.libraryDir();
    qCDebug(lcApp) << paths.dataDir;

    settings.setBaseUrl(ServiceEndpoints::cloudBase());

    if (settings.guid().isEmpty()) {
        settings.setGuid(QUuid::createUuid().toString(QUuid::WithBraces));
    }

    const QString separator = QDir::separator();
    if (paths.libraryDir.isEmpty()) {
        paths.libraryDir = QDir::homePath() + separator + "Lirenta Library" + separator;
        QDir().mkpath(paths.libraryDir);
        settings.setLibraryDir(paths.libraryDir);
    } else if (!QDir(paths.libraryDir).exists()) {
        QDir().mkpath(paths.libraryDir);
    }

    if (paths.dataDir.isEmpty()) {
        // The per-user data location of organisation "Quemark", application "Lirenta".
        const QString dataLocation = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + separator +
                                     "Quemark" + separator + "Lirenta";
        paths.dataDir = dataLocation + separator + "Lirenta" + separator;
        if (!QDir(paths.dataDir).exists()) {
            QDir().mkpath(paths.dataDir);
            qCDebug(lcStore) << "New datadir:" << paths.dataDir;
        }
        settings.setDataDir(paths.dataDir);
    } else {
        if (!QDir(paths.dataDir).exists()) {
            QDir().mkpath(paths.dataDir);
            qCDebug(lcStore) << "New datadir:" << paths.dataDir;
        }
        qCDebug(lcStore) << "Existing Datadir:" << paths.dataDir;
    }
    settings.sync();
    return paths;
}

void DataDirectories::removeTemporaryCovers(const QString& dataDir)
{
    if (dataDir.isEmpty()) {
        return;
    }
    QDir dir(dataDir);
    for (const QString& name : dir.entryList({"coverfile-tmp*.jpg", "pdf-thumb-tmp*.jpg"}, QDir::Files)) {
        dir.remove(name);
    }
}
