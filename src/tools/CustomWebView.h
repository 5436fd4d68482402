#pragma once

#include <QWebEngineView>

// The browser's view: every link and every new window stays in this one view.
class CustomWebView : public QWebEngineView
{
    Q_OBJECT

public:
    explicit CustomWebView(QWidget* parent = nullptr);

public Q_SLOTS:
    void showLink(const QUrl& link);

protected:
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType type) override;
};
