#include "DataDirectories.h"

#include "LibrarySettings.h"
#include "Logging.h"

#include <QDir>
#include <QStandardPaths>
#include <QUuid>

namespace {
const char defaultCloudBaseUrl[] = "https://cloud.lirenta.org/";

QString withTrailingSlash(QString url)
{
    if (!url.endsWith(QLatin1Char('/'))) {
        url += QLatin1Char('/');
    }
    return url;
}
} // namespace

QString DataDirectories::cloudBaseUrl()
{
    const QString fromEnvironment = qEnvironmentVariable("LIRENTA_CLOUD_URL");
    if (!fromEnvironment.isEmpty()) {
        return withTrailingSlash(fromEnvironment);
    }
    return QString::fromLatin1(defaultCloudBaseUrl);
}

DataDirectories::Paths DataDirectories::setDataDir()
{
    LibrarySettings settings;
    Paths paths;
    paths.dataDir = settings.value("dataDir", QString()).toString();
    paths.libraryDir = settings.value("libraryDir", QString()).toString();
    qCDebug(lcApp) << paths.dataDir;

    settings.setValue("baseUrl", cloudBaseUrl());

    if (settings.value("guid", QString()).toString().isEmpty()) {
        settings.setValue("guid", QUuid::createUuid().toString(QUuid::WithBraces));
    }

    const QString separator = QDir::separator();
    if (paths.libraryDir.isEmpty()) {
        paths.libraryDir = QDir::homePath() + separator + "Lirenta Library" + separator;
        QDir().mkpath(paths.libraryDir);
        settings.setValue("libraryDir", paths.libraryDir);
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
        settings.setValue("dataDir", paths.dataDir);
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
