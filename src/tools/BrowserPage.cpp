#include "BrowserPage.h"

#include "Logging.h"

BrowserPage::BrowserPage(QObject* parent) : QWebEnginePage(parent)
{
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    static const QStringList allowed = {"http", "https", "file", "data", "about", "qrc", "blob"};
    if (!allowed.contains(url.scheme().toLower())) {
        qCDebug(lcTools) << "refused navigation to" << url;
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType)
{
    // A link or script asking for a new window opens here instead.
    return this;
}
