#include "Authors.h"
#include "Book.h"
#include "GoogleBooksApi.h"
#include "LibraryFixture.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QTest>

#include <memory>

// Reading Google Books replies, on fixed bytes.
class TestGoogleBooksApi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fillBook_readsTheVolumeFields();
    void fillBook_refusesWhatIsNotAnObject_data();
    void fillBook_refusesWhatIsNotAnObject();
    void parseSearch_readsTitlesAuthorsPagesAndLinks();

private:
    std::unique_ptr<LibraryFixture> library;
};

void TestGoogleBooksApi::initTestCase()
{
    library = std::make_unique<LibraryFixture>();
}

void TestGoogleBooksApi::fillBook_readsTheVolumeFields()
{
    const QByteArray json = R"({"volumeInfo": {"title": "T", "publisher": "P", "publishedDate": "2001-02",
        "description": "<b>D</b>", "pageCount": 352, "averageRating": 3.5,
        "industryIdentifiers": [{"type": "ISBN_13", "identifier": "111"}, {"type": "ISBN_10", "identifier": "222"},
                                {"type": "ISBN_13", "identifier": "333"}, {"type": "OTHER", "identifier": "x"}],
        "authors": ["B Second", "A First", "B Second"], "imageLinks": {"thumbnail": "http://x/t.jpg"},
        "categories": ["ignored"]}})";
    Book book(nullptr, -1);
    QString thumbnail;
    QVERIFY(GoogleBooksApi::fillBook(json, &book, &thumbnail));
    QCOMPARE(book.getTitle(), QString("T"));
    QCOMPARE(book.getPublisher(), QString("P"));
    QCOMPARE(book.getDatePublished(), QString("2001-02"));
    QCOMPARE(book.getDescription(), QString("<b>D</b>"));
    QCOMPARE(book.getPageCount(), QString("352"));
    QCOMPARE(book.getIsbn13(), QString("333"));
    QCOMPARE(book.getIsbn10(), QString("222"));
    QCOMPARE(book.getAuthors()->render(), QString("B Second, A First"));
    QCOMPARE(book.getRating(), 4);
    QCOMPARE(thumbnail, QString("http://x/t.jpg"));
}

void TestGoogleBooksApi::fillBook_refusesWhatIsNotAnObject_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("html") << QByteArray("<html>Service Unavailable</html>");
    QTest::newRow("cut off") << QByteArray(R"({"volumeInfo": {"title": "T")");
}

void TestGoogleBooksApi::fillBook_refusesWhatIsNotAnObject()
{
    QFETCH(QByteArray, body);
    Book book(nullptr, -1);
    book.setTitle("untouched");
    QString thumbnail;
    QVERIFY(!GoogleBooksApi::fillBook(body, &book, &thumbnail));
    QCOMPARE(book.getTitle(), QString("untouched"));
}

void TestGoogleBooksApi::parseSearch_readsTitlesAuthorsPagesAndLinks()
{
    const QByteArray json = R"({"totalItems": 2, "items": [
        {"selfLink": "http://a/1", "volumeInfo": {"title": "One", "authors": ["X", "Y"], "pageCount": 10}},
        {"selfLink": "http://a/2", "volumeInfo": {"title": "Two"}}]})";
    QList<GoogleBooksApi::Volume> volumes;
    QVERIFY(GoogleBooksApi::parseSearch(json, &volumes));
    QCOMPARE(volumes.size(), 2);
    QCOMPARE(volumes.at(0).authors, QString("X, Y"));
    QCOMPARE(volumes.at(0).pageCount, QString("10"));
    QCOMPARE(volumes.at(1).selfLink, QString("http://a/2"));
    QVERIFY(GoogleBooksApi::parseSearch(R"({"totalItems": 0})", &volumes));
    QVERIFY(volumes.isEmpty());
    QVERIFY(!GoogleBooksApi::parseSearch("nonsense", &volumes));
}

LIRENTA_TEST_MAIN(TestGoogleBooksApi)
#include "TestGoogleBooksApi.moc"
