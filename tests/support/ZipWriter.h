#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writes zip archives (EPUB books, hostile archives) for tests.
class ZipWriter
{
public:
    struct Entry
    {
        QString name;
        QByteArray data;
        bool symbolicLink = false;
    };

    static bool write(const QString& path, const QList<Entry>& entries);
    // An EPUB 2 book: mimetype, container, an OPF and the given files under "OEBPS/".
    static bool writeEpub(const QString& path, const QList<Entry>& oebpsFiles);
};
