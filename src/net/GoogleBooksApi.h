#pragma once

#include <QList>
#include <QString>
#include <QUrl>

class Book;

// The Google Books volumes endpoint: where it is, how to ask it, and how to read its answers.
class GoogleBooksApi
{
public:
    struct Volume
    {
        QString title;
        QString authors; // joined with ", "
        QString pageCount;
        QString selfLink;
    };
    // The ISBN wins when it has two characters or more; keywords need two as well.
    static QUrl searchUrl(const QString& isbn, const QString& keywords);
    // Fills the book from a volume resource and gives its thumbnail address. False, with the
    // book untouched, when the bytes are not a JSON object.
    static bool fillBook(const QByteArray& json, Book* book, QString* thumbnail);
    // The volumes of a search reply. False when the bytes are not a JSON object.
    static bool parseSearch(const QByteArray& json, QList<Volume>* volumes);
};
