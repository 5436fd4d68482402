#include "DataDownloader.h"

#include "Book.h"
#include "GoogleBooksApi.h"
#include "Logging.h"
#include "NetworkAccess.h"
#include "NetworkReplies.h"
#include "TemporaryCover.h"

#include <QNetworkReply>
#include <QSaveFile>

DataDownloader::DataDownloader(QObject* parent, int transferTimeoutMs)
    : QObject(parent), book(new Book(nullptr, -1)), transferTimeoutMs(transferTimeoutMs)
{
}

DataDownloader::~DataDownloader()
{
    if (!announced) {
        delete book;
    }
}

bool DataDownloader::isWebAddress(const QString& url)
{
    const QString scheme = QUrl(url).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QNetworkReply* DataDownloader::get(const QString& url, qint64 maxBytes)
{
    QNetworkReply* reply = NetworkAccess::get(NetworkReplies::request(QUrl(url), transferTimeoutMs), this);
    NetworkReplies::capSize(reply, maxBytes);
    return reply;
}

void DataDownloader::googleInfoDownload(const QString& url)
{
    if (!announced) {
        delete book;
    }
    book = new Book(nullptr, -1);
    announced = false;
    const int current = ++lookup;
    // Each look-up has its own temporary cover, so covers of look-ups in flight never mix.
    coverPath = TemporaryCover::newPath();
    if (!isWebAddress(url)) {
        fail(tr("The address of the book's information is not a web address."));
        return;
    }
    QNetworkReply* reply = get(url, NetworkReplies::maxJsonBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply, current] {
        reply->deleteLater();
        if (current == lookup) {
            googleInfoPopulate(reply);
        }
    });
}

void DataDownloader::googleInfoPopulate(QNetworkReply* reply)
{
    const QString reason = NetworkReplies::failureReason(reply);
    if (!reason.isEmpty()) {
        fail(reason);
        return;
    }
    QString thumbnail;
    if (!GoogleBooksApi::fillBook(reply->readAll(), book, &thumbnail)) {
        fail(tr("The reply was not a Google Books volume."));
        return;
    }
    // A reply names the cover; only a web address is fetched, never a local file or other scheme.
    if (thumbnail.isEmpty() || !isWebAddress(thumbnail)) {
        announce();
        return;
    }
    const int current = lookup;
    QNetworkReply* coverReply = get(thumbnail, NetworkReplies::maxImageBytes);
    connect(coverReply, &QNetworkReply::finished, this, [this, coverReply, current] {
        coverReply->deleteLater();
        if (current == lookup) {
            processCoverFile(coverReply);
        }
    });
}

void DataDownloader::processCoverFile(QNetworkReply* reply)
{
    const QString reason = NetworkReplies::failureReason(reply);
    const QByteArray data = reason.isEmpty() ? reply->readAll() : QByteArray();
    if (!reason.isEmpty()) {
        qCDebug(lcNet) << "cover not downloaded:" << reason;
    }
    // Without cover bytes the book is announced as it is, with no cover.
    if (!saveCoverFileTmp(data)) {
        announce();
    }
}

bool DataDownloader::saveCoverFileTmp(const QByteArray& data)
{
    if (data.isEmpty()) {
        return false;
    }
    QSaveFile file(coverPath);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit()) {
        book->setCoverFile(coverPath);
    } else {
        qCDebug(lcNet) << "cannot write" << coverPath << file.errorString();
    }
    announce();
    return true;
}

void DataDownloader::announce()
{
    announced = true;
    Q_EMIT bookDownloaded(book);
}

void DataDownloader::fail(const QString& reason)
{
    qCDebug(lcNet) << "look-up failed:" << reason;
    Q_EMIT downloadFailed(reason);
}
