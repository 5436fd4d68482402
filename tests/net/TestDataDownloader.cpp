#include "Authors.h"
#include "Book.h"
#include "DataDownloader.h"
#include "LibraryFixture.h"
#include "NetworkReplies.h"
#include "StandInServer.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>

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
    NetworkReplies::setTransferTimeoutMs(30000);
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
        QTest::qWait(100);
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
    QTest::newRow("connection dropped") << "close"
                                        << "could not be reached";
    QTest::newRow("never answers") << "hang"
                                   << "did not answer in time";
}

void TestDataDownloader::failedLookups_announceNothing()
{
    QFETCH(QString, id);
    QFETCH(QString, reasonContains);
    NetworkReplies::setTransferTimeoutMs(700);
    DataDownloader downloader;
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
    QTest::qWait(300);
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

LIRENTA_TEST_MAIN(TestDataDownloader)
#include "TestDataDownloader.moc"
