#include "TemporaryCover.h"

#include "LibrarySettings.h"

#include <QImage>
#include <QUuid>

QString TemporaryCover::newPath()
{
    return LibrarySettings().dataDir() + QStringLiteral("coverfile-tmp-") +
           QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".jpg");
}

QString TemporaryCover::fromImageFile(const QString& imagePath)
{
    const QImage image(imagePath);
    if (image.isNull()) {
        return QString();
    }
    const QString path = newPath();
    return image.save(path, "JPG", 92) ? path : QString();
}
