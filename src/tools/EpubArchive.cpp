#include "EpubArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <quazip.h>
#include <quazipfile.h>

namespace {
const char completeMark[] = ".lirenta-complete";

bool safeName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')) ||
        name.contains(QLatin1Char(':'))) {
        return false;
    }
    const QStringList parts = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    return !parts.contains(QStringLiteral(".."));
}

QStringList filesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(QLatin1String(completeMark))) {
            files << path;
        }
    }
    return files;
}
} // namespace

bool EpubArchive::extract(const QString& archivePath, const QString& folder, QStringList* files, QString* error)
{
    if (QFile::exists(folder + QLatin1Char('/') + completeMark)) {
        *files = filesUnder(folder);
        return true;
    }
    QuaZip zip(archivePath);
    if (!zip.open(QuaZip::mdUnzip)) {
        *error = QStringLiteral("not a readable EPUB (zip) file");
        return false;
    }
    const QList<QuaZipFileInfo64> entries = zip.getFileInfoList64();
    if (entries.isEmpty() || entries.size() > maxEntries) {
        *error = entries.isEmpty() ? QStringLiteral("the archive is empty or damaged")
                                   : QStringLiteral("the archive has too many entries");
        return false;
    }
    qint64 total = 0;
    for (const QuaZipFileInfo64& entry : entries) {
        if (!safeName(entry.name) || entry.isSymbolicLink()) {
            *error = QStringLiteral("the archive has an entry that points outside the book: %1").arg(entry.name);
            return false;
        }
        total += qint64(entry.uncompressedSize);
        if (total > maxUnpackedBytes) {
            *error = QStringLiteral("the archive unpacks to more than %1 MB").arg(maxUnpackedBytes >> 20);
            return false;
        }
    }

    QDir().mkpath(QFileInfo(folder).absolutePath());
    const QString staging = folder + QStringLiteral(".part");
    QDir(staging).removeRecursively();
    QDir(folder).removeRecursively();
    const auto fail = [&](const QString& reason) {
        *error = reason;
        QDir(staging).removeRecursively();
        return false;
    };
    if (!QDir().mkpath(staging)) {
        return fail(QStringLiteral("cannot create %1").arg(staging));
    }
    qint64 unpacked = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        const QString name = zip.getCurrentFileName();
        const QString target = staging + QLatin1Char('/') + name;
        if (name.endsWith(QLatin1Char('/'))) {
            QDir().mkpath(target);
            continue;
        }
        QDir().mkpath(QFileInfo(target).absolutePath());
        QuaZipFile entry(&zip);
        QFile out(target);
        if (!entry.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
            return fail(QStringLiteral("cannot unpack %1").arg(name));
        }
        // The directory's sizes were checked; the data itself is capped too, as it may lie.
        QByteArray chunk(1 << 16, Qt::Uninitialized);
        for (qint64 read; (read = entry.read(chunk.data(), chunk.size())) > 0;) {
            unpacked += read;
            if (unpacked > maxUnpackedBytes || out.write(chunk.constData(), read) != read) {
                return fail(QStringLiteral("cannot unpack %1").arg(name));
            }
        }
        entry.close();
        if (entry.getZipError() != UNZ_OK) {
            return fail(QStringLiteral("the archive is damaged at %1").arg(name));
        }
    }
    if (zip.getZipError() != UNZ_OK) {
        return fail(QStringLiteral("the archive is damaged"));
    }
    QFile mark(staging + QLatin1Char('/') + completeMark);
    mark.open(QIODevice::WriteOnly);
    mark.close();
    if (!QDir().rename(staging, folder)) {
        return fail(QStringLiteral("cannot create %1").arg(folder));
    }
    *files = filesUnder(folder);
    return true;
}
