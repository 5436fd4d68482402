#pragma once

#include "NetworkReplies.h"

#include <QObject>
#include <QString>

class Book;
class QNetworkReply;

// Turns one Google Books volume into a filled, unsaved book with its cover in a temporary
// file of its own, announced with bookDownloaded; or reports why it could not.
class DataDownloader : public QObject
{
    Q_OBJECT
    Q_MOC_INCLUDE("Book.h")

public:
    // Transfers that stall for `transferTimeoutMs` fail.
    explicit DataDownloader(QObject* parent = nullptr,
                            int transferTimeoutMs = NetworkReplies::defaultTransferTimeoutMs);
    ~DataDownloader() override;

    // The book being filled. Callers may attach to it right after googleInfoDownload.
    Book* book = nullptr;

    bool saveCoverFileTmp(const QByteArray& data);
    QString temporaryCoverPath() const { return coverPath; }

Q_SIGNALS:
    // The receiver owns the book from here on.
    void bookDownloaded(Book* book);
    void downloadFailed(const QString& reason);

public Q_SLOTS:
    void googleInfoDownload(const QString& url);
    void googleInfoPopulate(QNetworkReply* reply);
    void processCoverFile(QNetworkReply* reply);

private:
    void announce();
    void fail(const QString& reason);
    static bool isWebAddress(const QString& url);
    QNetworkReply* get(const QString& url, qint64 maxBytes);

    QString coverPath;
    int transferTimeoutMs;
    bool announced = false;
    int lookup = 0;
};
