#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.1 server on loopback for the stand-in services. One request per connection.
class StandInHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QUrl url;                              // path and query, as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    struct Response
    {
        enum class Action {
            Reply,
            CloseWithoutReply, // drop the connection without a word
            NeverReply,        // keep the connection open and say nothing
        };
        int status = 200;
        QByteArray contentType = "application/json; charset=UTF-8";
        QByteArray body;
        Action action = Action::Reply;
    };

    using Handler = std::function<Response(const Request&)>;

    explicit StandInHttpServer(Handler handler, QObject* parent = nullptr);
    // Listens on 127.0.0.1; port 0 takes a free one. Returns the port, or 0 on failure.
    quint16 listen(quint16 port);

private:
    void serve(QTcpSocket* socket);

    Handler handler;
    QTcpServer* server;
};
