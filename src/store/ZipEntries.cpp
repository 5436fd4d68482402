#include "ZipEntries.h"

#include <quazip.h>
#include <quazipfile.h>

std::optional<QByteArray> ZipEntries::read(QuaZip& zip, const QString& name, qint64 cap)
{
    if (!zip.setCurrentFile(name, QuaZip::csInsensitive)) {
        return std::nullopt;
    }
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info) || qint64(info.uncompressedSize) > cap) {
        return std::nullopt;
    }
    QuaZipFile entry(&zip);
    if (!entry.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = entry.read(cap + 1);
    return bytes.size() > cap ? std::nullopt : std::optional<QByteArray>(bytes);
}
