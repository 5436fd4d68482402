#pragma once

#include <QString>
#include <QWebEngineUrlRequestInterceptor>

// What a page in the reader may load: files inside the book's own folder (its chapters,
// pictures and style sheets) and inline data, nothing else on the disk and nothing remote.
class ReaderRequestGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    explicit ReaderRequestGuard(QObject* parent = nullptr);

    void setRoot(const QString& folder);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
    // Whether a page may load this address.
    bool allows(const QUrl& url) const;

private:
    QString root;
};
