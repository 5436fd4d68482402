#include "GoogleBooksApi.h"

#include "Book.h"
#include "ServiceEndpoints.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QtMath>

namespace {

bool parseObject(const QByteArray& json, QJsonObject* object)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return false;
    }
    *object = document.object();
    return true;
}

QString numberText(const QJsonValue& value)
{
    return value.isDouble() ? QString::number(value.toInteger()) : value.toString();
}
} // namespace

QUrl GoogleBooksApi::searchUrl(const QString& isbn, const QString& keywords)
{
    QUrl url = ServiceEndpoints::googleBooksVolumes();
    QString value;
    if (isbn.size() >= 2) {
        value = QStringLiteral("isbn:") + isbn;
    } else if (keywords.size() >= 2) {
        value = keywords;
    } else {
        return url;
    }
    // Encoded as a query value, so '&', '#', '+' and '=' are searched for, not interpreted.
    url.setQuery(QStringLiteral("q=") + QString::fromLatin1(QUrl::toPercentEncoding(value)), QUrl::StrictMode);
    return url;
}

bool GoogleBooksApi::fillBook(const QByteArray& json, Book* book, QString* thumbnail)
{
    QJsonObject volume;
    if (!parseObject(json, &volume)) {
        return false;
    }
    const QJsonObject info = volume.value("volumeInfo").toObject();
    book->setTitle(info.value("title").toString());
    book->setPublisher(info.value("publisher").toString());
    book->setDatePublished(info.value("publishedDate").toString());
    book->setDescription(info.value("description").toString());
    book->setPageCount(numberText(info.value("pageCount")));
    for (const QJsonValue& entry : info.value("industryIdentifiers").toArray()) {
        const QJsonObject identifier = entry.toObject();
        const QString type = identifier.value("type").toString();
        if (type == QLatin1String("ISBN_10")) {
            book->setIsbn10(identifier.value("identifier").toString());
        } else if (type == QLatin1String("ISBN_13")) {
            book->setIsbn13(identifier.value("identifier").toString());
        }
    }
    for (const QJsonValue& author : info.value("authors").toArray()) {
        book->addAuthor(author.toString());
    }
    // A fractional average (3.5) rounds to the nearest star.
    book->setAverageRating(qRound(info.value("averageRating").toDouble()));
    *thumbnail = info.value("imageLinks").toObject().value("thumbnail").toString();
    return true;
}

bool GoogleBooksApi::parseSearch(const QByteArray& json, QList<Volume>* volumes)
{
    QJsonObject answer;
    if (!parseObject(json, &answer)) {
        return false;
    }
    volumes->clear();
    for (const QJsonValue& entry : answer.value("items").toArray()) {
        const QJsonObject item = entry.toObject();
        const QJsonObject info = item.value("volumeInfo").toObject();
        QStringList authors;
        for (const QJsonValue& author : info.value("authors").toArray()) {
            authors << author.toString();
        }
        volumes->append({info.value("title").toString(), authors.join(QLatin1String(", ")),
                         numberText(info.value("pageCount")), item.value("selfLink").toString()});
    }
    return true;
}
