#include "Book.h"

#include "Author.h"
#include "Authors.h"
#include "BookCovers.h"
#include "BookDetails.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "Logging.h"
#include "SharedTexts.h"
#include "SqlStatement.h"
#include "SqlTransaction.h"
#include "SqliteRows.h"
#include "TagsAndSeries.h"
#include "ViewItem.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>

Book::Book(QObject* parent, int itemId) : Item(parent, itemId)
{
    type = QStringLiteral("Book");
    viewItem = new ViewItem;
    loadBook();
    viewItem->items.append(this);
}

Book::~Book()
{
    delete viewItem;
}

void Book::setDetails(const BookDetails& value)
{
    details = std::make_unique<BookDetails>(value);
}

Book* Book::fromStoredRow(const SqliteRows& query, SharedTexts& texts)
{
    auto* book = new Book(nullptr, 0);
    book->dbQueryToBook(query);
    book->pageCount = texts.shared(book->pageCount);
    book->datePublished = texts.shared(book->datePublished);
    book->publisher = texts.shared(book->publisher);
    const int itemId = book->iid;
    if (!query.value(9).isNull()) {
        book->setStoredItem(query, 9);
    }
    book->iid = itemId;
    book->type = QStringLiteral("Book");
    book->files->setItemId(itemId);
    return book;
}

Book* Book::copy() const
{
    auto* made = new Book(nullptr, 0);
    made->iid = iid;
    made->coverFile = coverFile;
    made->rating = rating;
    made->created = created;
    made->updated = updated;
    made->bid = bid;
    made->title = title;
    made->isbn10 = isbn10;
    made->isbn13 = isbn13;
    made->description = description;
    made->pageCount = pageCount;
    made->datePublished = datePublished;
    made->publisher = publisher;
    for (int i = 0; i < authors->count(); ++i) {
        const Author* author = authors->getAuthor(i);
        made->authors->addStoredAuthor(author->getAid(), author->getName(), author->getFirstName(),
                                       author->getLastName());
    }
    made->files->setItemId(iid);
    for (int i = 0; i < files->count(); ++i) {
        made->files->addStoredFile(new ItemFile(*files->getFile(i)));
    }
    if (details) {
        made->details = std::make_unique<BookDetails>(*details);
    }
    if (shelving) {
        made->setStoredTagsAndSeries(*shelving);
    }
    made->setViewItem();
    return made;
}

void Book::loadBook()
{
    if (iid < 1) {
        return;
    }
    dbQueryToBook(dbRead());
    setStoredTagsAndSeries(TagsAndSeries::read(iid));
    setViewItem();
}

TagsAndSeries Book::getTagsAndSeries() const
{
    return shelving ? *shelving : TagsAndSeries();
}

void Book::setTagsAndSeries(const TagsAndSeries& value)
{
    shelving = std::make_unique<TagsAndSeries>(value);
    shelvingChanged = true;
}

// Most books have neither tags nor a series: they keep nothing for them.
void Book::setStoredTagsAndSeries(const TagsAndSeries& value)
{
    if (value.tags.isEmpty() && value.series.isEmpty()) {
        shelving.reset();
    } else {
        shelving = std::make_unique<TagsAndSeries>(value);
    }
}

void Book::reload()
{
    reloadItem();
    loadBook();
}

bool Book::insertBook()
{
    return saveRecord();
}

// The books row, the details and the tags and series; the item row and files are Item's.
bool Book::writeOwnRows()
{
    bool written = bid < 1 ? dbCreate() > 0 : dbUpdate();
    if (written && details) {
        written = details->write(iid);
    }
    if (written && shelvingChanged) {
        written = getTagsAndSeries().write(iid);
    }
    return written;
}

bool Book::deleteBook()
{
    SqlTransaction transaction;
    return deleteItem() && dbDelete() && BookDetails::remove(iid) && TagsAndSeries::remove(iid) && transaction.commit();
}

void Book::setViewItem()
{
    qCDebug(lcStore) << iid;
    viewItem->id = iid;
    viewItem->type = type;
    viewItem->title = title;
    viewItem->coverFile = coverFile;
    viewItem->pageCount = pageCount;
    viewItem->datePublished = datePublished;
    viewItem->description = description;
    viewItem->publisher = publisher;
    viewItem->authors = authors->render();
    viewItem->filePath = files->getFirstFilePath();
    viewItem->filePaths = files->getFilePaths();
    viewItem->size = files->render();
    viewItem->rating = rating;
    viewItem->tags = shelving ? shelving->tagsText() : QString();
    viewItem->series = shelving ? shelving->seriesText() : QString();
}

QSqlQuery Book::dbRead()
{
    QSqlQuery query;
    query.prepare("SELECT * FROM books WHERE iid = :iid LIMIT 1");
    query.bindValue(":iid", iid);
    if (!SqlStatement::run(query)) {
        return query;
    }
    query.next();
    return query;
}

template <typename Row> void Book::dbQueryToBook(const Row& query)
{
    if (!query.isValid()) {
        // No books row: empty book fields, bid 0, and the item id stays.
        bid = 0;
        title.clear();
        pageCount.clear();
        datePublished.clear();
        description.clear();
        publisher.clear();
        isbn10.clear();
        isbn13.clear();
        return;
    }
    bid = query.value(0).toInt();
    title = query.value(1).toString();
    pageCount = query.value(2).toString();
    datePublished = query.value(3).toString();
    description = query.value(4).toString();
    iid = query.value(5).toInt();
    publisher = query.value(6).toString();
    isbn10 = query.value(7).toString();
    isbn13 = query.value(8).toString();
}

template void Book::dbQueryToBook(const QSqlQuery&);
template void Book::dbQueryToBook(const SqliteRows&);

int Book::dbCreate()
{
    QSqlQuery query;
    query.prepare("INSERT INTO books                  (title, pageCount, datePublished, description, iid, publisher, "
                  "isbn10, isbn13)                  VALUES (:title, :pageCount, :datePublished, :description, :iid, "
                  ":publisher, :isbn10, :isbn13)");
    query.bindValue(":title", title);
    query.bindValue(":pageCount", pageCount);
    query.bindValue(":datePublished", datePublished);
    query.bindValue(":description", description);
    query.bindValue(":iid", iid);
    query.bindValue(":publisher", publisher);
    query.bindValue(":isbn10", isbn10);
    query.bindValue(":isbn13", isbn13);
    if (!SqlStatement::run(query)) {
        bid = 0;
        return bid;
    }
    bid = query.lastInsertId().toInt();
    return bid;
}

bool Book::dbUpdate()
{
    QSqlQuery query;
    query.prepare("UPDATE books SET                  title = :title, pageCount = :pageCount,                 "
                  "datePublished = :datePublished, description = :description,                 publisher = "
                  ":publisher, isbn10 = :isbn10, isbn13 = :isbn13             WHERE iid = :iid");
    query.bindValue(":title", title);
    query.bindValue(":pageCount", pageCount);
    query.bindValue(":datePublished", datePublished);
    query.bindValue(":description", description);
    query.bindValue(":publisher", publisher);
    query.bindValue(":isbn10", isbn10);
    query.bindValue(":isbn13", isbn13);
    query.bindValue(":iid", iid);
    return SqlStatement::run(query);
}

bool Book::dbDelete()
{
    QSqlQuery query;
    query.prepare("DELETE FROM books WHERE iid = :iid");
    query.bindValue(":iid", iid);
    return SqlStatement::run(query);
}

QVariantMap Book::toVariant() const
{
    QVariantMap map;
    map.insert("bid", QString::number(bid));
    map.insert("title", title);
    map.insert("pageCount", pageCount);
    map.insert("datePublished", datePublished);
    map.insert("description", QString(description).remove(QLatin1Char('"')));
    map.insert("type", type);
    // The built-in placeholder is no cover of the book's own.
    QFile cover(BookCovers::located(coverFile));
    if (!coverFile.startsWith(QLatin1Char(':')) && cover.open(QIODevice::ReadOnly)) {
        map.insert("coverFile", QString::fromLatin1(cover.readAll().toBase64()));
    }
    map.insert("iid", QString::number(iid));
    map.insert("created", QString::number(created));
    map.insert("updated", QString::number(updated));
    map.insert("publisher", publisher);
    map.insert("isbn10", isbn10);
    map.insert("isbn13", isbn13);
    map.insert("authors", authors->toVariant());
    map.insert("files", files->toVariant());
    qCDebug(lcStore) << map.value("created");
    return map;
}

QString Book::toJSON() const
{
    return QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(toVariant())).toJson(QJsonDocument::Compact));
}
