#include "StandInHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
const char* reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}
} // namespace

StandInHttpServer::StandInHttpServer(Handler requestHandler, QObject* parent)
    : QObject(parent), handler(std::move(requestHandler)), server(new QTcpServer(this))
{
    connect(server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

quint16 StandInHttpServer::listen(quint16 port)
{
    return server->listen(QHostAddress::LocalHost, port) ? server->serverPort() : 0;
}

void StandInHttpServer::serve(QTcpSocket* socket)
{
    // Collect the whole request (headers, then Content-Length bytes of body) before answering.
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0 || socket->property("answered").toBool()) {
        return;
    }
    Request request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.url = QUrl::fromEncoded(requestLine.value(1));
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines.at(i).indexOf(':');
        if (colon > 0) {
            request.headers.insert(lines.at(i).left(colon).trimmed().toLower(), lines.at(i).mid(colon + 1).trimmed());
        }
    }
    const int length = request.headers.value("content-length", "0").toInt();
    request.body = buffer.mid(headerEnd + 4);
    if (request.body.size() < length) {
        return;
    }
    request.body.truncate(length);
    socket->setProperty("answered", true);

    const Response response = handler(request);
    if (response.action == Response::Action::NeverReply) {
        return;
    }
    if (response.action == Response::Action::CloseWithoutReply) {
        socket->abort();
        return;
    }
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += response.body;
    socket->write(out);
    socket->disconnectFromHost();
}
