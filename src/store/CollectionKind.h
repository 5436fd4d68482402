#pragma once

#include <QString>

// Which items a tab's collection holds.
enum class CollectionKind {
    AllBooks,
    AuthorBooks, // one author's, keyed by the author's id
    TaggedBooks, // those with a tag, keyed by the tag
    SeriesBooks, // those of a series, keyed by its name
    WebPages,
};

// The collection names item views and book collections are made with: "Books" (or any other
// text) for all books, "BooksAuthor" for one author's, "WebPages" for the web pages.
inline CollectionKind collectionNamed(const QString& name)
{
    if (name == QLatin1String("BooksAuthor")) {
        return CollectionKind::AuthorBooks;
    }
    return name == QLatin1String("WebPages") ? CollectionKind::WebPages : CollectionKind::AllBooks;
}

inline bool holdsBooks(CollectionKind kind)
{
    return kind != CollectionKind::WebPages;
}
