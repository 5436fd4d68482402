#pragma once

#include "CollectionKind.h"
#include "Items.h"
#include "SearchScope.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

class Book;
class LibraryDatabase;
struct ViewItem;

// The books one view shows (the whole library or one author's), with the display list the
// view draws and a search that narrows it.
class Books : public Items
{
    Q_OBJECT

public:
    // The whole library, or with mode "BooksAuthor" the books of the author `id`.
    Books(QObject* parent, const QString& mode, int id);
    // The books of a kind of collection: all, an author's (`key` the author's id), a tag's or a
    // series' (`key` its name). Searches go through `library`'s indexes; without one they read
    // every row.
    Books(QObject* parent, CollectionKind kind, const QVariant& key, LibraryDatabase* library);
    ~Books() override;

    QList<ViewItem*>* getViewItems() const { return viewItems; }
    Book* getItem(int iid) const { return bookMap.value(iid, nullptr); }
    Book* getBook(int iid) const;
    QList<Book*> getBooksList() const { return books; }
    void addBook(Book* book);
    void dbRead();
    void dbReadAuthor(int aid);
    // The books with a tag or in a series.
    void dbReadShelf(CollectionKind kind, const QString& name);
    QString toJSON() const;
    void setSearchScope(SearchScope value) { scope = value; }

public Q_SLOTS:
    void dbSearch(const QString& term);
    // Deletes the book from the library, then from this collection; false when it is still stored.
    bool deleteBook(int iid);
    // Only from this collection: the book was deleted elsewhere.
    void removeBook(int iid);

private:
    Book* loadBook(int iid);
    void showFound(int iid);

    LibraryDatabase* library = nullptr;

    QList<Book*> books;
    QList<ViewItem*>* viewItems;
    QHash<int, Book*> bookMap;
    // The books this collection keeps to (one author's, a tag's): a query of their iids with
    // the parameter ":subset"; empty for the whole library.
    QString subsetQuery;
    QVariant subsetValue;
    SearchScope scope = SearchScope::TitlesAndDescriptions;
    // Every book this collection made or was given. Removed books stay here until the
    // collection goes, because views may still hold their display records.
    QSet<Book*> owned;
};
