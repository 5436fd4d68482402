#pragma once

#include <QString>

// "search-index.db" beside the library, attached to the library's connection as
// "lirenta_search": the search indexes and a table of their state. It is a cache: whatever is
// in doubt is made again from the library, and deleting the file is always safe.
//
// At a clean close the state records which library the indexes were made from (its identity)
// and how its file rested then (its fingerprint); an opening trusts them only when both match
// and no crash came between.
class SearchIndexFile
{
public:
    static QString pathIn(const QString& dataDir) { return dataDir + QStringLiteral("search-index.db"); }
    // Removes the file and its side files: another file takes data.db's place.
    static void remove(const QString& dataDir);
    // Whether the library file rests as the last clean close left it, read before it opens.
    static bool restsAsLeft(const QString& dataDir, const QString& fingerprint);

    // Attaches the file to the default connection; false when it cannot be used.
    bool attach(const QString& dataDir);
    void detach();
    bool isAttached() const { return attached; }
    // Whether the indexes were made from this library as it rests, and closed cleanly since.
    bool trusts(const QString& identity, const QString& fingerprint) const;
    // A statement that marks the indexes as in use: until the clean close says otherwise, a
    // crash leaves them to be made again.
    static const char* inUseStatement();
    // After the library has closed: the indexes match the library as it now rests. Written
    // only when the file is still the one attached (it may have been deleted or replaced).
    void recordCleanClose(const QString& identity, const QString& fingerprint) const;

private:
    QString path;
    quint64 inode = 0;
    bool attached = false;
};
