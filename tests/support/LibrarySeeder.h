#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// Saves books and web pages into the open library the way the program does, with real
// cover images and files.
class LibrarySeeder
{
public:
    explicit LibrarySeeder(const QString& dataDir, const QString& filesDir) : dataDir(dataDir), filesDir(filesDir) {}

    // Named fields, each with its default: addBook({.title = "Dune", .rating = 3}).
    struct BookEntry
    {
        QString title = {};
        QStringList authors = {};
        QString description = {};
        QStringList fileNames = {}; // made under filesDir with some content
        QColor coverColor = {};     // no cover when invalid
        int rating = 0;
        QString datePublished = {};
        QString pageCount = {};
        QString publisher = {};
    };

    int addBook(const BookEntry& entry) const;
    int addWebPage(const QString& title, const QString& url, const QString& description) const;
    // A JPEG cover of the given colour, 300 x 450 with a label, as an online look-up leaves it.
    QString writeCover(const QColor& color, const QString& label) const;

private:
    QString dataDir;
    QString filesDir;
};
