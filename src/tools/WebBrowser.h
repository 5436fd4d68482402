#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class WebBrowser;
}

class CustomWebView;
class Item;
class WebPage;
struct ViewItem;

// A small web browser in a tab, with a button that captures the page as a PDF web page item.
class WebBrowser : public QWidget
{
    Q_OBJECT
    Q_MOC_INCLUDE("Item.h")
    Q_MOC_INCLUDE("ViewItem.h")

public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    void openUrl(const QString& url);
    void disableNavigation();
    QString getUrl() const;
    CustomWebView* getWebView() const { return webView; }

    // The settings' home page ("browser/homePage"), or the built-in one.
    static QString homePage();
    // A free PDF path in `libraryDir` named after `title`: characters that cannot be in a file
    // name become "_", the path before ".pdf" is at most 248 characters, "-0", "-1"... avoid others.
    static QString capturePath(const QString& libraryDir, const QString& title);

Q_SIGNALS:
    void newViewItem(ViewItem* item);
    // The page was captured again over its earlier copy, as the user asked.
    void pageRecaptured(Item* page);
    void captureFailed(const QString& reason);

public Q_SLOTS:
    void on_btnGo_clicked();
    void on_URL_returnPressed();
    void updateUrl(const QUrl& url);
    void on_btnDownload_clicked();
    void on_toolButton_clicked();
    void loadJS();
    void on_toolButton_3_clicked();

private:
    void finishCapture(const QString& pdfPath, const QString& title, const QString& url, const QString& text,
                       int replacing);
    // The web page item captured from `url` before, if any.
    static int capturedBefore(const QString& url);
    void failCapture(const QString& reason);

    CustomWebView* webView;
    std::unique_ptr<Ui::WebBrowser> ui;
    QString pageScript;
    QString dataDir;
    QString libraryDir;
    std::unique_ptr<WebPage> captured;
    bool capturing = false;
};
