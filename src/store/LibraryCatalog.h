#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The library as the sharing server lists it: pages of books in an order or of one author,
// tag or series, with what a catalogue entry shows, and the files a download may serve. It
// reads the library's own connection and never writes.
class LibraryCatalog
{
public:
    struct File
    {
        int fid = 0;
        int iid = 0;
        QString name;      // the file's own name, for the download
        QString extension; // lower case, without the dot
        QString path;      // never leaves the program
        QString md5;
        qint64 size = 0;
    };
    struct Entry
    {
        int iid = 0;
        QString title;
        QStringList authors;
        QString summary;
        QString published;
        QString language;
        QStringList isbns;
        qint64 created = 0; // seconds since the epoch
        QString coverFile;
        QList<File> files;
    };
    enum class Order { Title, Newest };
    enum class Shelf { All, Author, Tag, Series };
    struct Page
    {
        QList<Entry> entries;
        int total = 0;
    };

    // Indexes for the catalogue's orders, added to the library the first time it is shared
    // (half a second for 100,000 books, once): with them a deep page walks an index instead of
    // sorting every book for each request. A library never shared goes without.
    static void addIndexes();
    // Books of a shelf (`key` names the author's id, the tag or the series), `limit` from
    // `offset`.
    static Page books(Shelf shelf, const QString& key, Order order, int offset, int limit);
    // The books of `iids`, in that order.
    static QList<Entry> entries(const QList<int>& iids);
    // Authors (their id and name), tags and series in use, each with its count of books.
    struct Name
    {
        QString key;
        QString name;
        int count = 0;
    };
    static QList<Name> names(Shelf shelf);
    // A file of a library item, if there is one with that id.
    static std::optional<File> file(int fid);
};
