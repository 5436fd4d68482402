#pragma once

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;
class QObject;
class QByteArray;
class QIODevice;

// The program's one network access manager: look-ups, sync, the update check and login share
// its connections, and timeouts, proxies and TLS settings are set here, in one place. Each
// reply belongs to the object that asked for it, so it ends (and is aborted) with that object.
class NetworkAccess
{
public:
    static QNetworkAccessManager* manager();
    static QNetworkReply* get(const QNetworkRequest& request, QObject* owner);
    static QNetworkReply* post(const QNetworkRequest& request, const QByteArray& body, QObject* owner);
    static QNetworkReply* post(const QNetworkRequest& request, QIODevice* body, QObject* owner);
};
