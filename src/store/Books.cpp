#include "Books.h"

#include "Authors.h"
#include "Book.h"
#include "InTwoHalves.h"
#include "ItemAttachments.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibraryDatabase.h"
#include "Logging.h"
#include "SharedTexts.h"
#include "SqlTransaction.h"
#include "SqliteRows.h"
#include "TagsAndSeries.h"
#include "ViewItem.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <future>

Books::Books(QObject* parent, const QString& mode, int id) : Books(parent, collectionNamed(mode), id, nullptr)
{
}

Books::Books(QObject* parent, CollectionKind kind, const QVariant& key, LibraryDatabase* library)
    : Items(parent), library(library), viewItems(new QList<ViewItem*>)
{
    switch (kind) {
    case CollectionKind::AuthorBooks:
        dbReadAuthor(key.toInt());
        break;
    case CollectionKind::TaggedBooks:
    case CollectionKind::SeriesBooks:
        dbReadShelf(kind, key.toString());
        break;
    case CollectionKind::AllBooks:
    case CollectionKind::WebPages:
        dbRead();
        break;
    }
}

Books::~Books()
{
    qDeleteAll(owned);
    delete viewItems;
}

Book* Books::loadBook(int iid)
{
    auto* book = new Book(this, iid);
    owned.insert(book);
    return book;
}

Book* Books::getBook(int iid) const
{
    qCDebug(lcStore) << "key for iid: " << iid;
    qCDebug(lcStore) << bookMap.keys();
    qCDebug(lcStore) << "key count: " << books.count() << " at iid: " << books.indexOf(bookMap.value(iid));
    Book* book = bookMap.value(iid, nullptr);
    qCDebug(lcStore) << book;
    return book;
}

void Books::addBook(Book* book)
{
    owned.insert(book);
    book->setViewItem();
    viewItems->append(book->getViewItem());
    bookMap.insert(book->getId(), book);
    books.append(book);
}

bool Books::deleteBook(int iid)
{
    Book* book = bookMap.value(iid, nullptr);
    if (!book || !book->deleteBook()) {
        return false;
    }
    removeBook(iid);
    return true;
}

void Books::removeBook(int iid)
{
    Book* book = bookMap.take(iid);
    if (!book) {
        return;
    }
    books.removeOne(book);
    viewItems->removeOne(book->getViewItem());
}

void Books::dbRead()
{
    // The whole library in a few queries instead of several per book: with tens of thousands
    // of books this is the difference between a moment and minutes. The files and authors are
    // read in a second thread meanwhile; inside a transaction a second connection would not see
    // its changes, so then they are read here.
    const QSqlDatabase db = QSqlDatabase::database();
    std::future<std::unique_ptr<ItemAttachments>> background;
    if (!SqlTransaction::anyOpen()) {
        background = std::async(std::launch::async, &ItemAttachments::readOnOwnConnection, db.databaseName(),
                                db.connectOptions());
    }
    SqliteRows rows(db, QStringLiteral("SELECT books.*, items.* FROM books LEFT JOIN items ON items.iid = "
                                       "books.iid ORDER BY books.rowid"));
    QList<Book*> read;
    SharedTexts texts;
    while (rows.next()) {
        read.append(Book::fromStoredRow(rows, texts));
    }
    if (!rows.isActive()) {
        qCWarning(lcStore) << "the books could not be read:" << rows.lastError();
        if (library) {
            library->noteReadFailure(rows.lastError());
        }
    }
    const QHash<int, TagsAndSeries> shelving = TagsAndSeries::readAll(db);
    std::unique_ptr<ItemAttachments> attachments = background.valid() ? background.get() : nullptr;
    if (!attachments) {
        attachments = ItemAttachments::read();
    }
    if (!attachments) {
        // Their files and authors cannot be read: the books go without, and it is said.
        attachments = std::make_unique<ItemAttachments>();
        if (library) {
            library->noteReadFailure(QStringLiteral("the files and authors of the books could not be read"));
        }
    }
    books.reserve(read.size());
    bookMap.reserve(read.size());
    owned.reserve(read.size());
    viewItems->reserve(read.size());
    // A second books row for one item (only another program makes one) gets no files: each
    // file has one owner.
    QList<bool> takesFiles(read.size(), true);
    for (qsizetype i = 0; i < read.size(); ++i) {
        Book* book = read.at(i);
        takesFiles[i] = !bookMap.contains(book->getId());
        owned.insert(book);
        books.append(book);
        bookMap.insert(book->getId(), book);
    }
    // Each book is put together from its parts in two threads: a book touches nothing of
    // another's, and with a whole library this is a good part of the opening.
    const ItemAttachments& parts = *attachments;
    const auto assemble = [&read, &parts, &shelving, &takesFiles](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            Book* book = read.at(i);
            const int iid = book->getId();
            for (const ItemAttachments::AuthorLink& link : parts.authorsOf(iid)) {
                book->getAuthors()->addStoredAuthor(link.aid, link.name, link.firstName, link.lastName);
            }
            if (takesFiles.at(i)) {
                for (ItemFile* file : parts.filesOf(iid)) {
                    book->getFiles()->addStoredFile(file);
                }
            }
            if (const auto shelved = shelving.constFind(iid); shelved != shelving.cend()) {
                book->setStoredTagsAndSeries(*shelved);
            }
            book->setViewItem();
        }
    };
    // Below the tuning's threshold a second thread costs more than it saves.
    inTwoHalves(read.size(), library ? library->tuning().assembleInTwoFrom : LibraryTuning().assembleInTwoFrom,
                assemble);
    for (Book* book : std::as_const(read)) {
        attachments->handOverFiles(book->getId());
        viewItems->append(book->getViewItem());
    }
}

void Books::dbReadShelf(CollectionKind kind, const QString& name)
{
    subsetQuery = kind == CollectionKind::TaggedBooks
                      ? QStringLiteral("SELECT iid FROM main.lirenta_tags WHERE tag = :subset COLLATE NOCASE")
                      : QStringLiteral("SELECT iid FROM main.lirenta_series WHERE name = :subset");
    subsetValue = name;
    const QList<int> iids =
        kind == CollectionKind::TaggedBooks ? TagsAndSeries::booksTagged(name) : TagsAndSeries::booksInSeries(name);
    for (int iid : iids) {
        Book* book = loadBook(iid);
        if (book->getBid() < 1) {
            continue; // not a book
        }
        viewItems->append(book->getViewItem());
        books.append(book);
        bookMap.insert(iid, book);
    }
}

void Books::dbReadAuthor(int aid)
{
    subsetQuery = QStringLiteral("SELECT iid FROM main.items_authors WHERE aid = :subset");
    subsetValue = aid;
    qCDebug(lcStore) << "db aid" << aid;
    QSqlQuery query;
    const QString statement = "SELECT books.iid FROM items_authors JOIN books ON items_authors.iid=books.iid WHERE "
                              "items_authors.aid=:aid LIMIT 1000";
    query.prepare(statement);
    query.bindValue(":aid", aid);
    if (!query.exec()) {
        qCDebug(lcStore) << "db errro in dbReadAuthor" << query.lastError() << "query: " << statement;
        return;
    }
    while (query.next()) {
        const int iid = query.value(0).toInt();
        Book* book = loadBook(iid);
        viewItems->append(book->getViewItem());
        books.append(book);
        bookMap.insert(iid, book);
    }
}

void Books::dbSearch(const QString& term)
{
    viewItems->clear();
    QList<int> found;
    // An author's books, a tag's, a series': the search keeps to them.
    if (scope == SearchScope::Everything) {
        found = library ? library->findEverything(term, QStringLiteral("Book"), subsetQuery, subsetValue)
                        : EverythingSearch::scan(term, QStringLiteral("Book"), subsetQuery, subsetValue);
    } else if (scope == SearchScope::InsideBooks) {
        found = library ? library->findInsideBooks(term, QStringLiteral("Book"), subsetQuery, subsetValue) : found;
    } else {
        found = library ? library->findBooks(term, subsetQuery, subsetValue)
                        : TitleIndex::scan(term, subsetQuery, subsetValue);
    }
    for (int iid : std::as_const(found)) {
        showFound(iid);
    }
}

void Books::showFound(int iid)
{
    if (Book* book = bookMap.value(iid, nullptr)) {
        viewItems->append(book->getViewItem());
    } else {
        Book* added = loadBook(iid);
        viewItems->append(added->getViewItem());
        bookMap.insert(iid, added);
    }
}

QString Books::toJSON() const
{
    QJsonArray documents;
    for (const Book* book : books) {
        documents.append(QJsonObject::fromVariantMap(book->toVariant()));
    }
    return QString::fromUtf8(QJsonDocument(documents).toJson(QJsonDocument::Compact));
}
