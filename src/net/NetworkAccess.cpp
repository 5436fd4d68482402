#include "NetworkAccess.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>

QNetworkAccessManager* NetworkAccess::manager()
{
    // Made on first use, on the window's thread, and gone with the application.
    static QNetworkAccessManager* const shared = new QNetworkAccessManager(QCoreApplication::instance());
    return shared;
}

QNetworkReply* NetworkAccess::get(const QNetworkRequest& request, QObject* owner)
{
    QNetworkReply* reply = manager()->get(request);
    reply->setParent(owner);
    return reply;
}

QNetworkReply* NetworkAccess::post(const QNetworkRequest& request, const QByteArray& body, QObject* owner)
{
    QNetworkReply* reply = manager()->post(request, body);
    reply->setParent(owner);
    return reply;
}

QNetworkReply* NetworkAccess::post(const QNetworkRequest& request, QIODevice* body, QObject* owner)
{
    QNetworkReply* reply = manager()->post(request, body);
    reply->setParent(owner);
    return reply;
}
