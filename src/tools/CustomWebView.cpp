#include "CustomWebView.h"

#include "BrowserPage.h"
#include "WebViewSettings.h"

CustomWebView::CustomWebView(QWidget* parent) : QWebEngineView(parent)
{
    setPage(new BrowserPage(this));
    WebViewSettings::applyBrowserSettings(settings());
    setObjectName("webView");
}

void CustomWebView::showLink(const QUrl& link)
{
    load(link);
    show();
}

QWebEngineView* CustomWebView::createWindow(QWebEnginePage::WebWindowType)
{
    return this;
}
