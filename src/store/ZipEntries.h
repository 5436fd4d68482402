#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QuaZip;

// Entries of a zip archive (an EPUB), read with a cap so that a hostile archive cannot make
// the reader hold more than it asked for.
class ZipEntries
{
public:
    // The entry `name` (letter case aside) when it is not larger than `cap`; nothing otherwise.
    static std::optional<QByteArray> read(QuaZip& zip, const QString& name, qint64 cap);
    // An EPUB's package document (named by its container) and where it is in the archive.
    static std::optional<QByteArray> packageDocument(QuaZip& zip, qint64 cap, QString* packagePath = nullptr);
};
