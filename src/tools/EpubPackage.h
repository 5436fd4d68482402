#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Reads the navigation of an unpacked EPUB: the NCX table of contents (EPUB 2) or the package
// document's spine and navigation document (EPUB 3).
class EpubPackage
{
public:
    struct TocEntry
    {
        QString label;
        QString src;   // as written, relative to the navigation file's folder, may carry "#anchor"
        int depth = 0; // 0 for a top-level entry, 1 for one inside it, and so on
    };

    // The navigation points of an NCX file, nested ones too, in reading order.
    static bool readNcx(const QString& ncxPath, QString* title, QList<TocEntry>* entries);

    struct Package
    {
        QStringList spine;     // absolute paths of the chapters, in reading order
        QList<TocEntry> toc;   // from the navigation document, may be empty
        QString tocBaseFolder; // folder the toc sources are relative to
    };
    // The package named by META-INF/container.xml under `folder`.
    static bool readPackage(const QString& folder, Package* package);
};
