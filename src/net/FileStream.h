#pragma once

#include <QObject>

#include <memory>

class QIODevice;
class QTcpSocket;

// Sends a file's bytes down a socket a mebibyte at a time, as fast as the socket takes them,
// without holding the file in memory; ends itself when all is sent or the client goes.
class FileStream : public QObject
{
public:
    FileStream(QIODevice* source, QTcpSocket* socket);
    ~FileStream() override;

private:
    void feed();

    std::unique_ptr<QIODevice> source;
    QTcpSocket* socket;
};
