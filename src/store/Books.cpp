#include "Books.h"

#include "Authors.h"
#include "Book.h"
#include "EverythingSearch.h"
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

// Below this, a second thread costs more than it saves.
qsizetype Books::s_assembleInTwoFrom = 2000;

Books::Books(QObject* parent, const QString& mode, int id) : Items(parent), viewItems(new QList<ViewItem*>)
{
    if (mode == QLatin1String("BooksAuthor")) {
        dbReadAuthor(id);
    } else if (mode != QLatin1String("BooksShelf")) { // a shelf's books come with dbReadShelf
        dbRead();
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
    const QSqlDatabase library = QSqlDatabase::database();
    std::future<std::unique_ptr<ItemAttachments>> background;
    if (!SqlTransaction::anyOpen()) {
        background = std::async(std::launch::async, &ItemAttachments::readOnOwnConnection, library.databaseName(),
                                library.connectOptions());
    }
    SqliteRows rows(library, QStringLiteral("SELECT books.*, items.* FROM books LEFT JOIN items ON items.iid = "
                                            "books.iid ORDER BY books.rowid"));
    QList<Book*> read;
    SharedTexts texts;
    while (rows.next()) {
        read.append(Book::fromStoredRow(rows, texts));
    }
    if (!rows.isActive()) {
        qCWarning(lcStore) << "the books could not be read:" << rows.lastError();
    }
    const QHash<int, TagsAndSeries> shelving = TagsAndSeries::readAll(library);
    std::unique_ptr<ItemAttachments> attachments = background.valid() ? background.get() : nullptr;
    if (!attachments) {
        attachments = ItemAttachments::read();
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
    inTwoHalves(read.size(), s_assembleInTwoFrom, assemble);
    for (Book* book : std::as_const(read)) {
        attachments->handOverFiles(book->getId());
        viewItems->append(book->getViewItem());
    }
}

void Books::dbReadShelf(const QString& kind, const QString& name)
{
    subsetQuery = kind == QLatin1String("Tags")
                      ? QStringLiteral("SELECT iid FROM main.lirenta_tags WHERE tag = :subset COLLATE NOCASE")
                      : QStringLiteral("SELECT iid FROM main.lirenta_series WHERE name = :subset");
    subsetValue = name;
    const QList<int> iids =
        kind == QLatin1String("Tags") ? TagsAndSeries::booksTagged(name) : TagsAndSeries::booksInSeries(name);
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

// The longest stretch of the term without LIKE wildcards: every match contains it.
QString Books::longestLiteral(const QString& term)
{
    QString longest;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= term.size(); ++i) {
        if (i == term.size() || term.at(i) == QLatin1Char('%') || term.at(i) == QLatin1Char('_')) {
            if (i - start > longest.size()) {
                longest = term.mid(start, i - start);
            }
            start = i + 1;
        }
    }
    return longest;
}

void Books::dbSearch(const QString& term)
{
    viewItems->clear();
    if (scope == SearchScope::Everything) {
        for (int iid : EverythingSearch::find(term, QStringLiteral("Book"), subsetQuery, subsetValue)) {
            showFound(iid);
        }
        return;
    }
    // An author's books, a tag's, a series': the search keeps to them.
    const QString byAuthor =
        subsetQuery.isEmpty() ? QString() : QStringLiteral(" AND books.iid IN (%1)").arg(subsetQuery);
    QSqlQuery query;
    const QString pattern = QLatin1Char('%') + term + QLatin1Char('%');
    const QString literal = longestLiteral(term);
    if (literal.size() >= 3 && LibraryDatabase::hasSearchIndex()) {
        // The trigram index finds the few books holding the term's longest plain run; LIKE
        // then decides exactly as the full scan would (ASCII letters without case, '%' and '_'
        // as wildcards), in the same order.
        // The index hands out its rows in key order, so the first 500 matches end the search.
        query.prepare(QStringLiteral("SELECT books.iid FROM lirenta_search.books_search JOIN main.books AS books ON "
                                     "books.bid = books_search.rowid WHERE books_search MATCH :phrase AND "
                                     "((books.title LIKE :term_title) OR (books.description LIKE :term_desc))%1 "
                                     "ORDER BY books_search.rowid LIMIT 500")
                          .arg(byAuthor));
        query.bindValue(":phrase", QLatin1Char('"') +
                                       QString(literal).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                                       QLatin1Char('"'));
    } else {
        query.prepare(QStringLiteral("SELECT iid FROM books WHERE ((title LIKE :term_title) OR (description LIKE "
                                     ":term_desc))%1 LIMIT 500")
                          .arg(byAuthor));
    }
    query.bindValue(":term_title", pattern);
    query.bindValue(":term_desc", pattern);
    if (!subsetQuery.isEmpty()) {
        query.bindValue(":subset", subsetValue);
    }
    if (!query.exec()) {
        qCDebug(lcStore) << query.lastError();
        return;
    }
    while (query.next()) {
        showFound(query.value(0).toInt());
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
