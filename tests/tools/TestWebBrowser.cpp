#include "BrowserPage.h"
#include "CustomWebView.h"
#include "ItemFiles.h"
#include "ItemViews.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "StandInHttpServer.h"
#include "TestEnvironment.h"
#include "ViewItem.h"
#include "WebBrowser.h"
#include "WebPage.h"

class TestWebBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void capturePath_avoidsExistingFiles();
    void localPage_cannotReadOtherLocalFiles();
    void navigation_onlyToWebAndLocalAddresses_data();
    void navigation_onlyToWebAndLocalAddresses();
    void capture_storesPdfTextAndCover();
    void cloudTab_disablesTheAddressButStillCaptures();
    void capturedPage_appearsInAnOpenWebPagesTab();

private:
    LibraryDatabase database;
    QString pageUrl(const QString& title) const;
    void load(WebBrowser& browser, const QString& url);
    WebPage capture(WebBrowser& browser);

    std::unique_ptr<StandInHttpServer> server;
    quint16 port = 0;
    std::unique_ptr<MainWindow> window;
    QString libraryDir;
};

void TestWebBrowser::initTestCase()
{
    server = std::make_unique<StandInHttpServer>([](const StandInHttpServer::Request& request) {
        StandInHttpServer::Response response;
        response.contentType = "text/html; charset=UTF-8";
        const QString title = request.url.path().startsWith("/cloud/")
                                  ? QString("Cloud Home")
                                  : QUrlQuery(request.url).queryItemValue("title", QUrl::FullyDecoded);
        response.body = QString("<html><head><title>%1</title></head><body><h1>Hello capture</h1>"
                                "<p>Words on the page.</p></body></html>")
                            .arg(title.toHtmlEscaped())
                            .toUtf8();
        return response;
    });
    port = server->listen(0);
    QVERIFY(port > 0);
}

void TestWebBrowser::init()
{
    LibrarySettings().clear();
    QDir(QDir::homePath()).removeRecursively();
    QDir().mkpath(QDir::homePath());
    LibrarySettings().setValue("browser/homePage", "about:blank");
    window = std::make_unique<MainWindow>(database);
    QVERIFY(window->isStartedUp());
    libraryDir = window->getLibraryDir();
}

void TestWebBrowser::cleanup()
{
    window.reset();
    database.close();
}

QString TestWebBrowser::pageUrl(const QString& title) const
{
    QUrl url(QString("http://127.0.0.1:%1/page").arg(port));
    QUrlQuery query;
    query.addQueryItem("title", QString(title).replace('+', "%2B"));
    url.setQuery(query);
    return url.toString();
}

void TestWebBrowser::load(WebBrowser& browser, const QString& url)
{
    QSignalSpy loaded(browser.getWebView(), &QWebEngineView::loadFinished);
    browser.openUrl(url);
    QVERIFY(loaded.wait(20000));
    QVERIFY(loaded.last().first().toBool());
}

WebPage TestWebBrowser::capture(WebBrowser& browser)
{
    QSignalSpy captured(&browser, &WebBrowser::newViewItem);
    browser.findChild<QToolButton*>("btnDownload")->click();
    if (!captured.wait(30000)) {
        return WebPage(nullptr, 0);
    }
    return WebPage(nullptr, captured.first().first().value<ViewItem*>()->id);
}

void TestWebBrowser::capturePath_avoidsExistingFiles()
{
    const QString dir = QDir::homePath() + "/pdfs/";
    QDir().mkpath(dir);
    QStringList made;
    for (int i = 0; i < 3; ++i) {
        const QString path = WebBrowser::capturePath(dir, "T");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        made << QFileInfo(path).fileName();
    }
    QCOMPARE(made, QStringList({"T.pdf", "T-0.pdf", "T-1.pdf"}));
    const QString longPath = WebBrowser::capturePath(dir, QString(400, 'x'));
    QCOMPARE(longPath.size(), 248 + 4);
}

// A page opened from disk in the browser (a download, a saved page) runs its scripts, and must
// not read the user's other files.
void TestWebBrowser::localPage_cannotReadOtherLocalFiles()
{
    const QString secret = TestEnvironment::writeFile(QDir::homePath() + "/private/secret.txt", "the secret");
    const QString page = TestEnvironment::writeFile(
        QDir::homePath() + "/downloads/page.html",
        QString("<html><head><title>waiting</title></head><body><script>"
                "var x = new XMLHttpRequest();"
                "x.onload = function() { document.title = 'read: ' + x.responseText; };"
                "x.onerror = function() { document.title = 'refused'; };"
                "try { x.open('GET', '%1'); x.send(); } catch (e) { document.title = 'refused'; }"
                "</script></body></html>")
            .arg(QUrl::fromLocalFile(secret).toString())
            .toUtf8());
    WebBrowser* browser = window->newBrowserTab("Local");
    load(*browser, QUrl::fromLocalFile(page).toString());
    QTRY_VERIFY(browser->getWebView()->title() != "waiting");
    QCOMPARE(browser->getWebView()->title(), QString("refused"));
}

void TestWebBrowser::navigation_onlyToWebAndLocalAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("followed");
    QTest::newRow("https") << "HTTPS://example.org/" << true;
    QTest::newRow("local file") << "file:///tmp/page.html" << true;
    QTest::newRow("the home page") << "qrc:/browser/home.html" << true;
    QTest::newRow("mail") << "mailto:someone@example.org" << false;
    QTest::newRow("browser internals") << "chrome://settings" << false;
}

void TestWebBrowser::navigation_onlyToWebAndLocalAddresses()
{
    struct Probe : BrowserPage
    {
        using BrowserPage::acceptNavigationRequest;
    };
    QFETCH(QString, address);
    QFETCH(bool, followed);
    Probe page;
    QCOMPARE(page.acceptNavigationRequest(QUrl(address), QWebEnginePage::NavigationTypeLinkClicked, true), followed);
}

void TestWebBrowser::capture_storesPdfTextAndCover()
{
    WebBrowser browser;
    browser.resize(900, 700);
    browser.show();
    load(browser, pageUrl("Capture: one+two"));
    const WebPage page = capture(browser);
    QVERIFY(page.getId() > 0);
    QCOMPARE(page.getTitle(), QString("Capture: one+two"));
    QCOMPARE(page.getUrl(), browser.getUrl());
    QVERIFY(page.getDescription().contains("Hello capture"));
    const QString pdf = page.getFirstFilePath();
    QCOMPARE(pdf, libraryDir + "Capture_ one_two.pdf");
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QCOMPARE(page.getCoverFile(), window->getDataDir() + QString::number(page.getId()) + ".jpg");
    QCOMPARE(QImage(page.getCoverFile()).height(), 190);

    // The engine names an untitled page after its address; the file is never the hidden ".pdf".
    load(browser, QString("http://127.0.0.1:%1/page").arg(port));
    const QString name = QFileInfo(capture(browser).getFirstFilePath()).fileName();
    QVERIFY2(name.startsWith("127.0.0.1") && name.endsWith(".pdf"), qPrintable(name));
}

void TestWebBrowser::cloudTab_disablesTheAddressButStillCaptures()
{
    qputenv("LIRENTA_CLOUD_URL", QString("http://127.0.0.1:%1/cloud/").arg(port).toUtf8());
    window->findChild<QAction*>("actionCloud")->trigger();
    qunsetenv("LIRENTA_CLOUD_URL");
    auto* tabs = window->findChild<QTabWidget*>("tabWidget");
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QString("Cloud"));
    auto* browser = qobject_cast<WebBrowser*>(tabs->currentWidget());
    QVERIFY(browser);
    QVERIFY(!browser->findChild<QLineEdit*>("URL")->isEnabled());
    QVERIFY(browser->findChild<QToolButton*>("btnDownload")->isEnabled());
    window->show();
    QTRY_COMPARE_WITH_TIMEOUT(browser->getWebView()->title(), QString("Cloud Home"), 20000);
    const WebPage page = capture(*browser);
    QCOMPARE(page.getTitle(), QString("Cloud Home"));
}

void TestWebBrowser::capturedPage_appearsInAnOpenWebPagesTab()
{
    window->show();
    window->newWebPageTab();
    auto* tabs = window->findChild<QTabWidget*>("tabWidget");
    auto* pages = qobject_cast<ItemViews*>(tabs->widget(1));
    QCOMPARE(pages->findChild<QTableWidget*>("viewTable")->rowCount(), 0);
    window->findChild<QAction*>("actionWeb")->trigger();
    auto* browser = qobject_cast<WebBrowser*>(tabs->currentWidget());
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QString("Browser"));
    load(*browser, pageUrl("Seen At Once"));
    QVERIFY(capture(*browser).getId() > 0);
    auto* table = pages->findChild<QTableWidget*>("viewTable");
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text(), QString("Seen At Once"));

    // The same address again: Cancel captures nothing, Keep Both makes a second item, and
    // Replace puts the page as it is now in the newest one, which keeps its rating.
    Prompt::setScripted(true);
    Prompt::clearShownTexts();
    Prompt::queueAnswer(QMessageBox::Cancel);
    browser->findChild<QToolButton*>("btnDownload")->click();
    QCOMPARE(Prompt::shownTexts().size(), 1);
    QVERIFY(Prompt::shownTexts().first().startsWith("This page is in the library already."));
    Prompt::queueAnswer(QMessageBox::No);
    WebPage second = capture(*browser);
    QVERIFY(second.getId() > 0);
    QCOMPARE(table->rowCount(), 2);
    QVERIFY(second.setRating(4));
    const QString secondCopy = second.getFirstFilePath();

    Prompt::queueAnswer(QMessageBox::Yes);
    QSignalSpy recaptured(browser, &WebBrowser::pageRecaptured);
    browser->findChild<QToolButton*>("btnDownload")->click();
    QVERIFY(recaptured.wait(30000));
    Prompt::setScripted(false);
    QCOMPARE(table->rowCount(), 2);
    const WebPage replaced(nullptr, second.getId());
    QCOMPARE(replaced.getRating(), 4);
    QCOMPARE(replaced.getFiles()->count(), 1);
    QVERIFY(replaced.getFirstFilePath() != secondCopy);
    QVERIFY(QFile::exists(replaced.getFirstFilePath()));
    QVERIFY(!QFile::exists(secondCopy));
    QSqlQuery count("SELECT count(*) FROM files");
    QVERIFY(count.next());
    QCOMPARE(count.value(0).toInt(), 2);
}

LIRENTA_TEST_MAIN(TestWebBrowser)
#include "TestWebBrowser.moc"
