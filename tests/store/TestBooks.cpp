#include "Author.h"
#include "Authors.h"
#include "Book.h"
#include "Books.h"
#include "EverythingSearch.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "QtModules.h"
#include "SearchScope.h"
#include "SqlTransaction.h"
#include "TestEnvironment.h"
#include "ViewItem.h"
#include "WebPage.h"

// Records in the library: books and web pages saved, loaded, searched and deleted.
class TestBooks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void saveThenLoad_keepsEveryField();
    void failingStatement_leavesNothingOfTheRecord_data();
    void failingStatement_leavesNothingOfTheRecord();
    void failingDeletes_keepTheWholeRecord();
    void wholeLibrary_readInsideATransaction_seesItsChanges();
    void everythingIndex_madeInTheBackground_keepsUpWithChanges();
    void search_isCappedAt500AndKeepsUnlistedBooks();
    void indexedSearch_findsWhatAFullScanFinds();
    void saveCoverFile_movesFileOverAnyOldOne_butNeverTheDefault();
    void deleteItem_removesRowsButLeavesAuthorsAndFiles();
    void failingOwnRow_leavesNothing();

private:
    Book* saveBook(const QString& title, const QStringList& authors, const QString& description = QString());
    // A cover as an online look-up leaves it in the data directory.
    QString writeTemporaryCover() const;
    std::unique_ptr<LibraryFixture> library;
    QList<Book*> made;
};

void TestBooks::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
}

void TestBooks::cleanup()
{
    qDeleteAll(made);
    made.clear();
    library.reset();
}

Book* TestBooks::saveBook(const QString& title, const QStringList& authors, const QString& description)
{
    auto* book = new Book(nullptr, 0);
    made << book;
    book->setTitle(title);
    book->setDescription(description);
    for (const QString& name : authors) {
        book->addAuthor(name);
    }
    if (!book->insertBook()) {
        return nullptr;
    }
    return book;
}

QString TestBooks::writeTemporaryCover() const
{
    return TestEnvironment::writeFile(library->dataDir() + "coverfile-tmp.jpg", "JPEG");
}

void TestBooks::saveThenLoad_keepsEveryField()
{
    Book book(nullptr, 0);
    book.setTitle("The Left Hand of Darkness");
    book.setIsbn10("0441478123");
    book.setIsbn13("9780441478125");
    book.setDescription("Genly Ai on \"Winter\".\nSecond line.");
    book.setPageCount("304");
    book.setDatePublished("1969-03");
    book.setPublisher("Ace");
    book.setAverageRating(5);
    book.addAuthor("Ursula K. Le Guin");
    book.addAuthor("Second Author");
    book.addFile(library->writeFile("lhod.pdf", QByteArray(2500000, 'p')));
    book.addFile(library->writeFile("lhod.epub", "PK epub"));
    const QString cover = writeTemporaryCover();
    QVERIFY(QFile::exists(cover));
    book.setCoverFile(cover);
    QVERIFY(book.insertBook());
    QVERIFY(book.getId() > 0);
    QVERIFY(book.getBid() > 0);

    Book loaded(nullptr, book.getId());
    QCOMPARE(loaded.getBid(), book.getBid());
    QCOMPARE(loaded.getTitle(), book.getTitle());
    QCOMPARE(loaded.getIsbn10(), book.getIsbn10());
    QCOMPARE(loaded.getIsbn13(), book.getIsbn13());
    QCOMPARE(loaded.getDescription(), book.getDescription());
    QCOMPARE(loaded.getPageCount(), QString("304"));
    QCOMPARE(loaded.getDatePublished(), QString("1969-03"));
    QCOMPARE(loaded.getPublisher(), QString("Ace"));
    QCOMPARE(loaded.getRating(), 5);
    QCOMPARE(loaded.getType(), QString("Book"));
    QCOMPARE(loaded.getCoverFile(), library->dataDir() + QString::number(book.getId()) + ".jpg");
    QVERIFY(QFile::exists(loaded.getCoverFile()));
    QCOMPARE(loaded.getAuthors()->render(), QString("Ursula K. Le Guin, Second Author"));
    QCOMPARE(loaded.getFiles()->count(), 2);
    QCOMPARE(loaded.getFiles()->getFile(1)->getFileName(), QString("lhod.epub"));
    QCOMPARE(loaded.getViewItem()->size, QString("2.50"));

    // Saved again: the same rows, updated.
    loaded.setTitle("Final title");
    QVERIFY(loaded.insertBook());
    QCOMPARE(loaded.getBid(), book.getBid());
    QCOMPARE(LibraryFixture::rowCount("books"), 1);
    QCOMPARE(LibraryFixture::rowCount("items"), 1);
    QCOMPARE(LibraryFixture::scalar("SELECT title FROM books").toString(), QString("Final title"));
}

void TestBooks::failingStatement_leavesNothingOfTheRecord_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("books row fails") << "books";
    QTest::newRow("file row fails") << "files";
    QTest::newRow("author link fails") << "items_authors";
}

void TestBooks::failingStatement_leavesNothingOfTheRecord()
{
    QFETCH(QString, table);
    QVERIFY(QSqlQuery().exec(
        QString("CREATE TRIGGER fail BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, 'injected'); END").arg(table)));

    Book book(nullptr, 0);
    book.setTitle("Half written?");
    book.addAuthor("Someone New");
    book.addFile(library->writeFile("half.pdf", "%PDF half"));
    const QString cover = writeTemporaryCover();
    QVERIFY(QFile::exists(cover));
    book.setCoverFile(cover);

    QVERIFY(!book.insertBook());
    for (const char* name : {"items", "books", "files", "authors", "items_authors"}) {
        QVERIFY2(LibraryFixture::rowCount(name) == 0, name);
    }
    QCOMPARE(book.getId(), 0);
    QCOMPARE(book.getBid(), -1);
    QCOMPARE(book.getAuthors()->getAuthor(0)->getAid(), 0);
    QCOMPARE(book.getFiles()->getFile(0)->getFid(), -1);
    QCOMPARE(book.getCoverFile(), cover);
    QVERIFY(QFile::exists(cover));

    // Once the fault is gone the same object saves cleanly, exactly once.
    QVERIFY(QSqlQuery().exec("DROP TRIGGER fail"));
    QVERIFY(book.insertBook());
    for (const char* name : {"items", "books", "files", "authors", "items_authors"}) {
        QVERIFY2(LibraryFixture::rowCount(name) == 1, name);
    }
    QCOMPARE(LibraryFixture::scalar("SELECT iid FROM books").toInt(), book.getId());
    QCOMPARE(LibraryFixture::scalar("SELECT iid FROM files").toInt(), book.getId());
}

void TestBooks::failingDeletes_keepTheWholeRecord()
{
    Book* book = saveBook("Keep me", {"Keeper"});
    QVERIFY(book);
    QVERIFY(QSqlQuery().exec("CREATE TRIGGER fail BEFORE DELETE ON books BEGIN SELECT RAISE(ABORT, 'x'); END"));
    QVERIFY(!book->deleteBook());
    QCOMPARE(LibraryFixture::rowCount("items"), 1);
    QCOMPARE(LibraryFixture::rowCount("items_authors"), 1);
    QCOMPARE(LibraryFixture::rowCount("books"), 1);

    // Saving an edit that removed a file: a refused removal fails the whole save.
    QVERIFY(QSqlQuery().exec("DROP TRIGGER fail"));
    QVERIFY(book->addFile(library->writeFile("kept.pdf", "%PDF kept")));
    QVERIFY(book->insertBook());
    // A refused file row fails it too.
    QVERIFY(QSqlQuery().exec("CREATE TRIGGER fail BEFORE UPDATE ON files BEGIN SELECT RAISE(ABORT, 'x'); END"));
    book->setTitle("Renamed");
    QVERIFY(!book->insertBook());
    QCOMPARE(LibraryFixture::scalar("SELECT title FROM books").toString(), QString("Keep me"));
    QVERIFY(QSqlQuery().exec("DROP TRIGGER fail"));
    QVERIFY(QSqlQuery().exec("CREATE TRIGGER fail BEFORE DELETE ON files BEGIN SELECT RAISE(ABORT, 'x'); END"));
    book->setTitle("Renamed");
    book->removeFile(book->getFiles()->getFile(0));
    QVERIFY(!book->insertBook());
    QCOMPARE(LibraryFixture::rowCount("files"), 1);
    QCOMPARE(LibraryFixture::scalar("SELECT title FROM books").toString(), QString("Keep me"));
}

// The files and authors of a whole library are read on a second connection, which cannot see
// what the library's own connection has not committed yet; the books are then put together in
// two threads.
void TestBooks::wholeLibrary_readInsideATransaction_seesItsChanges()
{
    library.reset(); // one library open at a time
    library = std::make_unique<LibraryFixture>(LibraryTuning{.assembleInTwoFrom = 2});
    SqlTransaction transaction;
    for (const auto& [title, author] : {std::pair{"Dune", "Frank Herbert"}, std::pair{"Solaris", "Stanislaw Lem"}}) {
        Book* book = saveBook(title, {author});
        QVERIFY(book);
        QVERIFY(book->addFile(writeTemporaryCover()));
        QVERIFY(book->saveFiles());
    }
    // A second books row for one item (another program's doing) is read without the files.
    QVERIFY(
        QSqlQuery().exec("INSERT INTO books (title, iid) SELECT 'Dune again', iid FROM books WHERE title = 'Dune'"));

    Books books(nullptr, CollectionKind::AllBooks, QVariant(), &library->library());
    QStringList read;
    for (const ViewItem* item : *books.getViewItems()) {
        read << QString("%1 by %2, %3 file(s)").arg(item->title, item->authors).arg(item->filePaths.size());
    }
    QCOMPARE(read, QStringList({"Dune by Frank Herbert, 1 file(s)", "Solaris by Stanislaw Lem, 1 file(s)",
                                "Dune again by Frank Herbert, 0 file(s)"}));
}

// The Everything index is made in a second thread once the library is open. A book changed
// meanwhile is found by its new words when it is done; closing stops a build under way.
void TestBooks::everythingIndex_madeInTheBackground_keepsUpWithChanges()
{
    library.reset(); // one library open at a time
    library = std::make_unique<LibraryFixture>(LibraryTuning{.everythingBuildDelayMs = 0, .everythingPart = 1});
    // Enough books, a part of one book each, that the build is still under way as the test goes on.
    Book* first = saveBook("Volume 0", {"Stanislaw Lem"}, "plain");
    QVERIFY(first);
    QVERIFY(LibraryFixture::addNumberedBooks("Volume", 2999));
    EverythingSearch& everything = library->library().everythingSearch();
    const auto reopen = [this, &everything] {
        library->library().close();
        QVERIFY(!QFile::exists(library->databasePath() + "-wal"));
        QVERIFY(library->library().open(library->dataDir()).isOpen());
        QVERIFY(!everything.isBuilt());
        QCoreApplication::processEvents(); // the build starts a while after opening
        QVERIFY(everything.isBuildingInBackground());
    };
    reopen();
    reopen(); // stopped half-way, the build starts again

    const auto found = [this](const QString& term, SearchScope scope) {
        Books books(nullptr, CollectionKind::AllBooks, QVariant(), &library->library());
        books.setSearchScope(scope);
        books.dbSearch(term);
        QList<int> ids;
        for (const ViewItem* item : *books.getViewItems()) {
            ids << item->id;
        }
        return ids;
    };
    // Indexed in the first part already: the change is noted, kept through a search in the
    // usual scope, and taken in once the build is done. A search in this scope waits for it.
    QTRY_VERIFY(LibraryFixture::scalar("SELECT COUNT(*) FROM lirenta_search.everything").toInt() > 10);
    first->setTitle("Solaris");
    QVERIFY(first->insertBook());
    QCOMPARE(found("solaris", SearchScope::TitlesAndDescriptions), QList<int>({first->getId()}));
    QCOMPARE(found("solaris", SearchScope::Everything), QList<int>({first->getId()}));
    QVERIFY(everything.isBuilt());
    QCOMPARE(found("volume 0", SearchScope::Everything), QList<int>());
    QCOMPARE(found("lem", SearchScope::Everything), QList<int>({first->getId()}));
    QCOMPARE(found("volume 2999", SearchScope::Everything).size(), 1);
}

void TestBooks::search_isCappedAt500AndKeepsUnlistedBooks()
{
    QVERIFY(LibraryFixture::addNumberedBooks("Volume", 510));

    Books books(nullptr, QString(), -1);
    QCOMPARE(books.getViewItems()->size(), 510);
    books.dbSearch(QString());
    QCOMPARE(books.getViewItems()->size(), 500);
    books.dbSearch("Volume 7");
    QCOMPARE(books.getViewItems()->size(), 11); // 7, 70-79
    QVERIFY(books.getItem(510) != nullptr);
    QCOMPARE(books.getItem(510)->getTitle(), QString("Volume 510"));
}

// Every term is searched both through the library's search index and by reading every row;
// the two must agree, also after books are edited and deleted and when the index is built
// for a library that did not have one.
void TestBooks::indexedSearch_findsWhatAFullScanFinds()
{
    library.reset(); // one library open at a time
    library = std::make_unique<LibraryFixture>(LibraryTuning{.titleIndexInBackgroundAbove = 2, .titleIndexPart = 2});
    LibraryDatabase& database = library->library();
    QVERIFY(database.hasSearchIndex());
    Book* quoted = saveBook("The \"Quoted\" Word", {}, "it's 50% off_sale");
    Book* accents = saveBook("Élan vital", {}, "café CAFÉ Café");
    saveBook("Roadside Picnic", {}, "Stalkers in the ZONE near the river.");
    saveBook("Riverrun", {}, QString());
    saveBook(QString(), {}, "Only a description about rivers");
    Book* gone = saveBook("Vanishing river", {}, "to be deleted");
    QVERIFY(quoted && accents && gone);
    quoted->setTitle("The \"Quoted\" Word, revised");
    QVERIFY(quoted->insertBook());
    QVERIFY(gone->deleteBook());

    const QStringList terms = {"river",    "RIVER",   "zone near",   "\"Quoted\"", "revised", "Vanishing", "50% off",
                               "off_sale", "f_s",     "%ive%",       "café",       "CAFÉ",    "élan",      "Élan",
                               "r_ver",    "iverrun", "absent term", "ri",         "\"\"\"",  "it's"};
    const auto search = [&database](const QString& term) {
        Books books(nullptr, CollectionKind::AllBooks, QVariant(), &database);
        books.dbSearch(term);
        QList<int> ids;
        for (const ViewItem* item : *books.getViewItems()) {
            ids << item->id;
        }
        return ids;
    };
    const auto fullScan = [](const QString& term) {
        QSqlQuery query;
        query.prepare("SELECT iid FROM books WHERE title LIKE :p OR description LIKE :p ORDER BY bid LIMIT 500");
        query.bindValue(":p", "%" + term + "%");
        query.exec();
        QList<int> ids;
        while (query.next()) {
            ids << query.value(0).toInt();
        }
        return ids;
    };
    for (const QString& term : terms) {
        QCOMPARE(search(term), fullScan(term));
    }
    QCOMPARE(search("river").size(), 3);
    QCOMPARE(search("CAFÉ").size(), 1); // letters beyond ASCII keep their case, as LIKE does

    // Another program changes the library while Lirenta is closed (a plain connection: no
    // triggers of ours); at the next opening the index is rebuilt and searches find the change.
    QSqlQuery query;
    query = QSqlQuery();
    database.close();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other program");
        other.setDatabaseName(library->databasePath());
        QVERIFY(other.open());
        QSqlQuery write(other);
        QVERIFY(
            write.exec("INSERT INTO books (title, description, iid) VALUES ('Riverside written elsewhere', '', 900)"));
        QVERIFY(write.exec("UPDATE books SET title = 'Ocean picnic' WHERE title = 'Roadside Picnic'"));
        QVERIFY(write.exec("DELETE FROM books WHERE title = 'Riverrun'"));
        other.close();
    }
    QSqlDatabase::removeDatabase("other program");
    // In a large library the index is made again in the background, a few books at a time;
    // meanwhile searches read every row, and books changed before and after their part is
    // indexed are found as they are.
    QCOMPARE(database.open(library->dataDir()).status, LibraryDatabase::Status::Opened);
    QVERIFY(database.isBuildingSearchIndex());
    QVERIFY(!database.hasSearchIndex());
    quoted->setDescription("rivers changed before its part");
    QVERIFY(quoted->insertBook());
    QCoreApplication::processEvents();
    accents->setDescription("river changed after its part");
    QVERIFY(accents->insertBook());
    QVERIFY(saveBook("Riverbank added meanwhile", {}, QString()));
    for (const QString& term : terms + QStringList{"Riverside", "Ocean picnic", "Roadside", "changed"}) {
        QCOMPARE(search(term), fullScan(term));
    }
    QTRY_VERIFY(!database.isBuildingSearchIndex());
    QVERIFY(database.hasSearchIndex());
    for (const QString& term : terms + QStringList{"Riverside", "Ocean picnic", "Roadside", "changed", "bank"}) {
        QCOMPARE(search(term), fullScan(term));
    }

    // A library from before, with the index inside it: opening moves it out.
    database.close();
    {
        QSqlDatabase old = QSqlDatabase::addDatabase("QSQLITE", "old version");
        old.setDatabaseName(library->databasePath());
        QVERIFY(old.open());
        QSqlQuery write(old);
        QVERIFY(write.exec("CREATE VIRTUAL TABLE lirenta_books_search USING fts5(title, description, "
                           "content='books', content_rowid='bid', tokenize='trigram')"));
        QVERIFY(write.exec("CREATE TRIGGER lirenta_books_search_insert AFTER INSERT ON books BEGIN "
                           "INSERT INTO lirenta_books_search (rowid, title, description) "
                           "VALUES (new.bid, new.title, new.description); END"));
        old.close();
    }
    QSqlDatabase::removeDatabase("old version");
    QCOMPARE(database.open(library->dataDir()).status, LibraryDatabase::Status::Opened);
    for (const QString& term : terms) {
        QCOMPARE(search(term), fullScan(term));
    }

    // The library file holds the schema's statements first, then only plain indexes and plain
    // tables: any SQLite, one without FTS5 too, can write it.
    QStringList stored;
    for (const QString& row :
         LibraryFixture::scalar("SELECT group_concat(type || ' ' || sql, char(10)) FROM (SELECT * "
                                "FROM main.sqlite_master WHERE name NOT LIKE 'sqlite%' ORDER BY rowid)")
             .toString()
             .split('\n')) {
        stored << row.section(' ', 1);
    }
    QStringList expected;
    for (const QString& statement : LibraryFile::schemaStatements()) {
        if (!statement.contains("sqlite_stat1")) {
            expected << QString(statement).remove(QRegularExpression(";$"));
        }
    }
    QCOMPARE(stored.mid(0, expected.size()), expected);
    for (const QString& extra : stored.mid(expected.size())) {
        QVERIFY2(extra.startsWith("CREATE INDEX") || extra.startsWith("CREATE UNIQUE INDEX") ||
                     extra.startsWith("CREATE TABLE lirenta_"),
                 qPrintable(extra));
    }
    query = QSqlQuery();
    QVERIFY(query.exec("INSERT INTO books_search (books_search) VALUES ('integrity-check')"));
}

void TestBooks::saveCoverFile_movesFileOverAnyOldOne_butNeverTheDefault()
{
    Book book(nullptr, 0);
    QVERIFY(book.insertItem());
    const QString target = library->dataDir() + QString::number(book.getId()) + ".jpg";
    QVERIFY(!book.saveCoverFile(target));
    QCOMPARE(book.getCoverFile(), QString(":/icons/images/book.png"));

    TestEnvironment::writeFile(target, "OLD COVER");
    const QString temporary = writeTemporaryCover();
    book.setCoverFile(temporary);
    QVERIFY(book.saveCoverFile(target));
    QCOMPARE(book.getCoverFile(), target);
    QVERIFY(!QFile::exists(temporary));
    QCOMPARE(LibraryFixture::scalar("SELECT coverFile FROM items").toString(), target);
    QFile stored(target);
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), QByteArray("JPEG"));
}

void TestBooks::deleteItem_removesRowsButLeavesAuthorsAndFiles()
{
    Book book(nullptr, 0);
    book.addAuthor("Octavia Butler");
    const QString path = library->writeFile("kindred.pdf", "%PDF kindred");
    book.addFile(path);
    QVERIFY(book.insertBook());
    const QString cover = TestEnvironment::writeFile(library->dataDir() + "cover-kept.jpg", "C");
    book.setCoverFile(cover);

    QVERIFY(book.deleteItem());
    QCOMPARE(LibraryFixture::rowCount("items"), 0);
    QCOMPARE(LibraryFixture::rowCount("items_authors"), 0);
    QCOMPARE(LibraryFixture::rowCount("files"), 0);
    QCOMPARE(LibraryFixture::rowCount("authors"), 1);
    QVERIFY(QFile::exists(path));
    QVERIFY(QFile::exists(cover));
}

// A web page's own row fails: the item, its files and the page leave nothing behind.
void TestBooks::failingOwnRow_leavesNothing()
{
    QVERIFY(QSqlQuery().exec("CREATE TRIGGER fail BEFORE INSERT ON webpages BEGIN SELECT RAISE(ABORT, 'x'); END"));
    WebPage page(nullptr, -1);
    page.setTitle("Never");
    page.addFile(library->writeFile("never.pdf", "%PDF"));
    QVERIFY(!page.insertWebPage());
    QCOMPARE(LibraryFixture::rowCount("items"), 0);
    QCOMPARE(LibraryFixture::rowCount("files"), 0);
    QCOMPARE(page.getId(), -1);
}

LIRENTA_TEST_MAIN(TestBooks)
#include "TestBooks.moc"
