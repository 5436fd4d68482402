#pragma once

#include "Item.h"

#include <QString>
#include <QVariantMap>

#include <memory>

struct BookDetails;
struct TagsAndSeries;
struct ViewItem;
class QSqlQuery;
class SharedTexts;
class SqliteRows;

// A library item of type "Book": the item part plus its row in "books".
class Book : public Item
{
public:
    Book(QObject* parent, int iid);
    ~Book() override;

    QString getTitle() const { return title; }
    QString getIsbn10() const { return isbn10; }
    QString getIsbn13() const { return isbn13; }
    QString getDescription() const { return description; }
    QString getPageCount() const { return pageCount; }
    QString getDatePublished() const { return datePublished; }
    QString getPublisher() const { return publisher; }
    int getItemRow() const { return itemRow; }
    int getBid() const { return bid; }
    ViewItem* getViewItem() const { return viewItem; }

    void setTitle(const QString& value) { title = value; }
    void setIsbn10(const QString& value) { isbn10 = value; }
    void setIsbn13(const QString& value) { isbn13 = value; }
    void setDescription(const QString& value) { description = value; }
    void setPageCount(const QString& value) { pageCount = value; }
    void setDatePublished(const QString& value) { datePublished = value; }
    void setPublisher(const QString& value) { publisher = value; }
    void setItemRow(int row) { itemRow = row; }
    void setAverageRating(int value) { rating = value; }
    // Written with the book at the next insertBook(); books loaded for the views carry none.
    void setDetails(const BookDetails& value);
    TagsAndSeries getTagsAndSeries() const;
    // Written with the book when it is saved.
    void setTagsAndSeries(const TagsAndSeries& value);
    // As read from the library (when the whole library loads at once).
    void setStoredTagsAndSeries(const TagsAndSeries& value);

    // A record of its own with the same stored values, for another collection: no re-reading.
    Book* copy() const;
    void loadBook();
    // Everything again from the library: item part, authors, files and the books row.
    void reload();
    bool insertBook();
    bool deleteBook();
    void setViewItem();

    // A book from a query positioned on "books.*, items.*" of one book (the items columns may be null).
    // A book read with the whole library; its repeated texts are shared through texts.
    static Book* fromStoredRow(const SqliteRows& row, SharedTexts& texts);

    QSqlQuery dbRead();
    // Row: a QSqlQuery or SqliteRows positioned on "books.*" (or off a row).
    template <typename Row> void dbQueryToBook(const Row& query);
    int dbCreate();
    bool dbUpdate();
    bool dbDelete();

    QVariantMap toVariant() const;
    QString toJSON() const;

protected:
    bool writeOwnRows() override;
    int ownKey() const override { return bid; }
    void setOwnKey(int key) override { bid = key; }
    void saved() override { setViewItem(); }

private:
    int itemRow = -1;
    int bid = -1;
    QString title;
    QString isbn10;
    QString isbn13;
    QString description;
    QString pageCount;
    QString datePublished;
    QString publisher;
    ViewItem* viewItem = nullptr;
    std::unique_ptr<BookDetails> details;
    std::unique_ptr<TagsAndSeries> shelving;
    bool shelvingChanged = false;
};
