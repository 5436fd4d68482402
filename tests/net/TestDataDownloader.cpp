#include "Authors.h"
#include "Book.h"
#include "DataDownloader.h"
#include "GoogleBooksApi.h"
#include "LibraryFixture.h"
#include "NetworkReplies.h"
#include "QtModules.h"
#include "StandInServer.h"
#include "TestEnvironment.h"

// Google Books look-ups: replies read from fixed bytes, and fetched from the stand-in service.
class TestDataDownloader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void twoLookupsInFlight_keepTheirOwnCovers();
    void noCoverOrAnEmptyOne_isAnnouncedOnceWithTheDefault();
    void failedLookups_announceNothing_data();
    void failedLookups_announceNothing();
    void newerLookup_supersedesTheOlder();
    void onlyWebAddresses_areFetched();
    void fillBook_readsTheVolumeFields();

private:
    QString volume(const QString& id) const
    {
        return server->address().resolved(QUrl("/books/v1/volumes/" + id)).toString();
    }
    std::unique_ptr<StandInServer> server;
    std::unique_ptr<LibraryFixture> library;
};

void TestDataDownloader::initTestCase()
{
    server = std::make_unique<StandInServer>("googlebooks-standin");
    QVERIFY(server->isRunning());
}

void TestDataDownloader::init()
{
    library = std::make_unique<LibraryFixture>();
}

void TestDataDownloader::cleanup()
{
    library.reset();
}

void TestDataDownloader::twoLookupsInFlight_keepTheirOwnCovers()
{
    DataDownloader first;
    DataDownloader second;
    QSignalSpy firstDone(&first, &DataDownloader::bookDownloaded);
    QSignalSpy secondDone(&second, &DataDownloader::bookDownloaded);
    first.googleInfoDownload(volume("dune"));
    second.googleInfoDownload(volume("solaris"));
    QTRY_COMPARE(firstDone.size() + secondDone.size(), 2);
    std::unique_ptr<Book> dune(firstDone.first().first().value<Book*>());
    std::unique_ptr<Book> solaris(secondDone.first().first().value<Book*>());
    QVERIFY(dune->getCoverFile() != solaris->getCoverFile());
    QFile a(dune->getCoverFile());
    QFile b(solaris->getCoverFile());
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QVERIFY(a.readAll() != b.readAll());
}

void TestDataDownloader::noCoverOrAnEmptyOne_isAnnouncedOnceWithTheDefault()
{
    for (const char* id : {"dune-messiah", "empty-cover"}) {
        DataDownloader downloader;
        QSignalSpy announced(&downloader, &DataDownloader::bookDownloaded);
        downloader.googleInfoDownload(volume(id));
        QVERIFY(announced.wait());
        std::unique_ptr<Book> book(announced.first().first().value<Book*>());
        QVERIFY(!book->getTitle().isEmpty());
        QCOMPARE(book->getCoverFile(), QString(":/icons/images/book.png"));
        // Every reply the look-up made has ended, and none announced the book again.
        QTRY_VERIFY(downloader.findChildren<QNetworkReply*>().isEmpty());
        QCOMPARE(announced.size(), 1);
    }
}

void TestDataDownloader::failedLookups_announceNothing_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("reasonContains");
    QTest::newRow("quota") << "status-429"
                           << "quota";
    QTest::newRow("not JSON") << "garbage"
                              << "not a Google Books volume";
    QTest::newRow("JSON, but no volume") << "notobject"
                                         << "not a Google Books volume";
    QTest::newRow("connection dropped") << "close"
                                        << "could not be reached";
    QTest::newRow("never answers") << "hang"
                                   << "did not answer in time";
    // The stand-in keeps to its folder: a volume one folder up and back is no volume.
    QTest::newRow("id with encoded slashes") << "..%2Fvolumes%2Fdune"
                                             << "HTTP 404";
    QTest::newRow("id with encoded dots") << "%2e%2e%2Fvolumes%2Fdune"
                                          << "HTTP 404";
}

void TestDataDownloader::failedLookups_announceNothing()
{
    QFETCH(QString, id);
    QFETCH(QString, reasonContains);
    DataDownloader downloader(nullptr, 700);
    QSignalSpy announced(&downloader, &DataDownloader::bookDownloaded);
    QSignalSpy failed(&downloader, &DataDownloader::downloadFailed);
    downloader.googleInfoDownload(volume(id));
    QVERIFY(failed.wait(10000));
    QVERIFY2(failed.first().first().toString().contains(reasonContains), qPrintable(failed.first().first().toString()));
    QCOMPARE(announced.size(), 0);
}

void TestDataDownloader::newerLookup_supersedesTheOlder()
{
    DataDownloader downloader;
    QSignalSpy announced(&downloader, &DataDownloader::bookDownloaded);
    downloader.googleInfoDownload(volume("dune"));
    downloader.googleInfoDownload(volume("dune-messiah"));
    QVERIFY(announced.wait());
    QTRY_VERIFY(downloader.findChildren<QNetworkReply*>().isEmpty()); // the older look-up ended too
    QCOMPARE(announced.size(), 1);
    std::unique_ptr<Book> book(announced.first().first().value<Book*>());
    QCOMPARE(book->getTitle(), QString("Dune Messiah"));
}

void TestDataDownloader::onlyWebAddresses_areFetched()
{
    DataDownloader downloader;
    QSignalSpy failed(&downloader, &DataDownloader::downloadFailed);
    downloader.googleInfoDownload("file:///etc/passwd");
    QVERIFY(failed.wait(2000) || failed.size() == 1);
    QVERIFY(failed.first().first().toString().contains("not a web address"));
}

void TestDataDownloader::fillBook_readsTheVolumeFields()
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

LIRENTA_TEST_MAIN(TestDataDownloader)

#include "TestDataDownloader.moc"
