#include "ItemFiles.h"
#include "LibraryFixture.h"
#include "TestEnvironment.h"
#include "ViewItem.h"
#include "WebPage.h"
#include "WebPages.h"

#include <QApplication>
#include <QSqlQuery>
#include <QTest>

#include <memory>

class TestWebPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void capture_thenLoad_keepsEveryField();
    void editing_neverChangesUrlOrCreated();
    void failingInsert_leavesNothing();

private:
    int capture(const QString& title, const QString& url, quint32 created, const QString& description = QString());
    std::unique_ptr<LibraryFixture> library;
};

void TestWebPages::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
}

void TestWebPages::cleanup()
{
    library.reset();
}

int TestWebPages::capture(const QString& title, const QString& url, quint32 created, const QString& description)
{
    WebPage page(nullptr, -1);
    page.setTitle(title);
    page.setUrl(url);
    page.setDescription(description);
    if (!page.insertWebPage()) {
        return -1;
    }
    QSqlQuery().exec(QString("UPDATE webpages SET created = %1 WHERE iid = %2").arg(created).arg(page.getId()));
    return page.getId();
}

void TestWebPages::capture_thenLoad_keepsEveryField()
{
    WebPage page(nullptr, -1);
    QVERIFY(page.getCreated() > 0);
    page.setTitle("Qt Documentation");
    page.setUrl("https://doc.qt.io/");
    page.setDescription(QString("word ").repeated(30));
    page.addFile(library->writeFile("Qt Documentation.pdf", QByteArray(1500000, 'd')));
    QVERIFY(page.insertWebPage());
    QVERIFY(page.getWid() > 0);

    WebPage loaded(nullptr, page.getId());
    QCOMPARE(loaded.getTitle(), QString("Qt Documentation"));
    QCOMPARE(loaded.getUrl(), QString("https://doc.qt.io/"));
    QCOMPARE(loaded.getDescription(), page.getDescription());
    QCOMPARE(loaded.getCreated(), page.getCreated());
    QCOMPARE(loaded.getType(), QString("WebPage"));
    const ViewItem* view = loaded.getViewItem();
    QCOMPARE(view->type, QString("WebPage"));
    QCOMPARE(view->url, QString("https://doc.qt.io/"));
    QCOMPARE(view->created, QString::number(page.getCreated()));
    QVERIFY(view->description.endsWith("..."));
    QCOMPARE(view->size, QString("1.50"));
    QCOMPARE(view->filePath, library->filesDir() + "Qt Documentation.pdf");
    QCOMPARE(view->items.size(), 1);
    QVERIFY(view->authors.isEmpty());
}

void TestWebPages::editing_neverChangesUrlOrCreated()
{
    const int iid = capture("Before", "https://example.org/a", 1234);
    WebPage page(nullptr, iid);
    page.setTitle("After");
    page.setDescription("edited");
    page.setUrl("https://elsewhere.example/");
    page.setCreated();
    QVERIFY(page.insertWebPage());
    QCOMPARE(LibraryFixture::rowCount("webpages"), 1);
    QCOMPARE(LibraryFixture::scalar("SELECT title FROM webpages").toString(), QString("After"));
    QCOMPARE(LibraryFixture::scalar("SELECT url FROM webpages").toString(), QString("https://example.org/a"));
    QCOMPARE(LibraryFixture::scalar("SELECT created FROM webpages").toUInt(), 1234u);
}

void TestWebPages::failingInsert_leavesNothing()
{
    QVERIFY(QSqlQuery().exec("CREATE TRIGGER fail BEFORE INSERT ON webpages BEGIN SELECT RAISE(ABORT, 'x'); END"));
    WebPage page(nullptr, -1);
    page.setTitle("Never");
    page.addFile(library->writeFile("never.pdf", "%PDF"));
    QVERIFY(!page.insertWebPage());
    QCOMPARE(LibraryFixture::rowCount("items"), 0);
    QCOMPARE(LibraryFixture::rowCount("files"), 0);
    QCOMPARE(page.getWid(), -1);
    QCOMPARE(page.getId(), -1);
}

LIRENTA_TEST_MAIN(TestWebPages)
#include "TestWebPages.moc"
