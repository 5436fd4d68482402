#include "Author.h"
#include "Authors.h"
#include "Book.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibraryFixture.h"
#include "TestEnvironment.h"
#include "WebPage.h"

#include <QApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

#include <memory>

// The item part of a record, driven through Book (the item type most records have) and WebPage.
class TestItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void unstoredItem_updateRatingAndDeleteTouchNothing();
    void saveCoverFile_movesFileOverAnyOldOne_butNeverTheDefault();
    void deleteItem_removesRowsButLeavesAuthorsAndFiles();
    void failingOwnRow_leavesNothing();

private:
    QString writeCover(const QString& name, const QByteArray& content) const;
    std::unique_ptr<LibraryFixture> library;
};

void TestItem::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
}

void TestItem::cleanup()
{
    library.reset();
}

QString TestItem::writeCover(const QString& name, const QByteArray& content) const
{
    return TestEnvironment::writeFile(library->dataDir() + name, content);
}

void TestItem::unstoredItem_updateRatingAndDeleteTouchNothing()
{
    Book book(nullptr, 0);
    QVERIFY(!book.itemDbUpdate());
    QVERIFY(!book.setRating(4));
    QCOMPARE(book.getRating(), 4);
    QVERIFY(!book.deleteItem());
    QCOMPARE(LibraryFixture::rowCount("items"), 0);

    QVERIFY(book.insertItem());
    QVERIFY(book.getId() > 0);
    QCOMPARE(LibraryFixture::rowCount("items"), 1);
    QCOMPARE(LibraryFixture::scalar("SELECT rating FROM items").toInt(), 4);
}

void TestItem::saveCoverFile_movesFileOverAnyOldOne_butNeverTheDefault()
{
    Book book(nullptr, 0);
    QVERIFY(book.insertItem());
    const QString target = library->dataDir() + QString::number(book.getId()) + ".jpg";
    QVERIFY(!book.saveCoverFile(target));
    QCOMPARE(book.getCoverFile(), QString(":/icons/images/book.png"));

    writeCover(QString::number(book.getId()) + ".jpg", "OLD COVER");
    const QString temporary = writeCover("coverfile-tmp.jpg", "NEW COVER");
    book.setCoverFile(temporary);
    QVERIFY(book.saveCoverFile(target));
    QCOMPARE(book.getCoverFile(), target);
    QVERIFY(!QFile::exists(temporary));
    QCOMPARE(LibraryFixture::scalar("SELECT coverFile FROM items").toString(), target);
    QFile stored(target);
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), QByteArray("NEW COVER"));
}

void TestItem::deleteItem_removesRowsButLeavesAuthorsAndFiles()
{
    Book book(nullptr, 0);
    book.addAuthor("Octavia Butler");
    const QString path = library->writeFile("kindred.pdf", "%PDF kindred");
    book.addFile(path);
    QVERIFY(book.insertBook());
    const QString cover = writeCover("cover-kept.jpg", "C");
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
void TestItem::failingOwnRow_leavesNothing()
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

LIRENTA_TEST_MAIN(TestItem)
#include "TestItem.moc"
