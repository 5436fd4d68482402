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
    void search_isCappedAt500AndKeepsUnlistedBooks();
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
