#include "Authors.h"
#include "Book.h"
#include "GoogleBooksApi.h"
#include "LibraryFixture.h"
#include "ServiceEndpoints.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QTest>
#include <QUrlQuery>

#include <memory>

// Reading Google Books replies and forming its queries, on fixed bytes.
class TestGoogleBooksApi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void searchUrl_data();
    void searchUrl();
    void endpoint_comesFromEnvironment();
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

void TestGoogleBooksApi::searchUrl_data()
{
    QTest::addColumn<QString>("isbn");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QString>("query"); // decoded value of q, or "-" for no query at all
    QTest::newRow("isbn wins over keywords") << "9780441172719"
                                             << "dune herbert"
                                             << "isbn:9780441172719";
    QTest::newRow("keywords") << ""
                              << "dune herbert"
                              << "dune herbert";
    QTest::newRow("one character is too short") << ""
                                                << "d"
                                                << "-";
    QTest::newRow("one-character isbn falls back to keywords") << "9"
                                                               << "dune"
                                                               << "dune";
    QTest::newRow("special characters are searched for") << ""
                                                         << "Q&A + More = #1"
                                                         << "Q&A + More = #1";
}

void TestGoogleBooksApi::searchUrl()
{
    QFETCH(QString, isbn);
    QFETCH(QString, keywords);
    QFETCH(QString, query);
    qunsetenv("LIRENTA_GOOGLE_BOOKS_URL");
    const QUrl url = GoogleBooksApi::searchUrl(isbn, keywords);
    QCOMPARE(url.host(), QString("www.googleapis.com"));
    QCOMPARE(url.path(), QString("/books/v1/volumes"));
    if (query == "-") {
        QVERIFY(!url.hasQuery());
        return;
    }
    const QUrlQuery items(url);
    QCOMPARE(items.queryItems(QUrl::FullyDecoded).size(), 1);
    QCOMPARE(items.queryItemValue("q", QUrl::FullyDecoded), query);
    // A '+' travels encoded, so no server reads it as a blank.
    QVERIFY(!url.toEncoded().contains('+'));
}

void TestGoogleBooksApi::endpoint_comesFromEnvironment()
{
    qputenv("LIRENTA_GOOGLE_BOOKS_URL", "http://127.0.0.1:9/books/v1/volumes");
    QCOMPARE(GoogleBooksApi::searchUrl("", "solaris").toString(),
             QString("http://127.0.0.1:9/books/v1/volumes?q=solaris"));
    qunsetenv("LIRENTA_GOOGLE_BOOKS_URL");
    QCOMPARE(ServiceEndpoints::googleBooksVolumes().toString(), QString("https://www.googleapis.com/books/v1/volumes"));
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
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("html") << QByteArray("<html>Service Unavailable</html>");
    QTest::newRow("array") << QByteArray("[1,2]");
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
