#include "FileStream.h"

#include <QIODevice>
#include <QTcpSocket>

namespace {
const qint64 chunk = 1 << 20;
const qint64 queued = 4 << 20; // what may wait in the socket's buffer
} // namespace

FileStream::FileStream(QIODevice* source, QTcpSocket* socket) : QObject(socket), source(source), socket(socket)
{
    connect(socket, &QTcpSocket::bytesWritten, this, &FileStream::feed);
    connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    feed();
}

FileStream::~FileStream() = default;

void FileStream::feed()
{
    while (socket->bytesToWrite() < queued && !source->atEnd()) {
        const QByteArray bytes = source->read(chunk);
        if (bytes.isEmpty()) {
            break; // a read error: the client sees the download cut short
        }
        socket->write(bytes);
    }
    if (source->atEnd() || socket->state() != QAbstractSocket::ConnectedState) {
        disconnect(socket, nullptr, this, nullptr);
        deleteLater();
    }
}
