#pragma once

#include <QString>
#include <QStringList>

// Unpacks an EPUB (a zip archive) into a folder, refusing archives that would write outside
// it: entries that are links, absolute or contain "..", or that unpack to more than a cap.
class EpubArchive
{
public:
    static constexpr qint64 maxUnpackedBytes = qint64(1) << 30; // 1 GiB
    static constexpr int maxEntries = 20000;

    // Unpacks into `folder` (made anew through a temporary sibling, so a failure leaves none).
    // A folder that already holds this book is reused. Gives the unpacked file paths.
    static bool extract(const QString& archivePath, const QString& folder, QStringList* files, QString* error);
};
