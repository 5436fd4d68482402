#include "CoverLoader.h"

#include "BookCovers.h"

#include <QCache>
#include <QDateTime>
#include <QFileInfo>
#include <QPixmap>
#include <QtConcurrent/QtConcurrentMap>

namespace {
const char defaultCover[] = ":/icons/images/book.png";
const int batchSize = 64;

// Covers already made, shared by every view, keyed by path and file version.
QCache<QString, QIcon>& iconCache()
{
    static QCache<QString, QIcon> cache(20000);
    return cache;
}

QString versionKey(const QString& path)
{
    const QFileInfo info(path);
    return path + QLatin1Char('|') + QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char('|') +
           QString::number(info.size());
}
} // namespace

CoverLoader::CoverLoader(QObject* parent) : QObject(parent), watcher(new QFutureWatcher<Decoded>(this))
{
    connect(watcher, &QFutureWatcher<Decoded>::resultReadyAt, this, &CoverLoader::takeResult);
    connect(watcher, &QFutureWatcher<Decoded>::finished, this, [this] {
        busy = false;
        startNextBatch();
    });
}

CoverLoader::~CoverLoader()
{
    // Pending decodes only touch their own copies; let them finish unobserved.
    watcher->disconnect(this);
}

QIcon CoverLoader::placeholder()
{
    static const QIcon icon(QPixmap::fromImage(scaledCover(QString::fromLatin1(defaultCover))));
    return icon;
}

QImage CoverLoader::scaledCover(const QString& path)
{
    QImage image(BookCovers::located(path));
    if (image.isNull()) {
        return image;
    }
    return image.scaledToHeight(coverHeight, Qt::SmoothTransformation);
}

QIcon CoverLoader::cover(const QString& path)
{
    if (path.isEmpty() || path == QLatin1String(defaultCover)) {
        return placeholder();
    }
    if (path.startsWith(QLatin1Char(':'))) {
        const QImage image = scaledCover(path);
        return image.isNull() ? placeholder() : QIcon(QPixmap::fromImage(image));
    }
    if (const QIcon* known = iconCache().object(versionKey(path))) {
        return *known;
    }
    if (!queued.contains(path)) {
        queued.insert(path);
        queue.append(path);
        startNextBatch();
    }
    return QIcon();
}

void CoverLoader::startNextBatch()
{
    // A new future would drop results of the running one that are not delivered yet.
    if (queue.isEmpty() || busy) {
        return;
    }
    busy = true;
    batch = queue.mid(0, batchSize);
    queue.remove(0, batch.size());
    watcher->setFuture(QtConcurrent::mapped(batch, [](const QString& path) {
        return Decoded{path, scaledCover(path)};
    }));
}

void CoverLoader::takeResult(int index)
{
    const Decoded decoded = watcher->resultAt(index);
    queued.remove(decoded.path);
    const QIcon icon = decoded.image.isNull() ? placeholder() : QIcon(QPixmap::fromImage(decoded.image));
    if (!decoded.image.isNull()) {
        iconCache().insert(versionKey(decoded.path), new QIcon(icon));
    }
    Q_EMIT coverReady(decoded.path, icon);
}
