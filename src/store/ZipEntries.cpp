#include "ZipEntries.h"

#include <QXmlStreamReader>
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

std::optional<QByteArray> ZipEntries::packageDocument(QuaZip& zip, qint64 cap, QString* packagePath)
{
    QString path;
    if (const std::optional<QByteArray> container = read(zip, QStringLiteral("META-INF/container.xml"), cap)) {
        QXmlStreamReader xml(*container);
        while (!xml.atEnd() && path.isEmpty()) {
            if (xml.readNextStartElement() && xml.name() == QLatin1String("rootfile")) {
                path = xml.attributes().value(QLatin1String("full-path")).toString();
            }
        }
    }
    if (packagePath) {
        *packagePath = path;
    }
    return path.isEmpty() ? std::nullopt : read(zip, path, cap);
}
