#pragma once

#include <QFile>
#include <QIODevice>

// A part of a file as a device of its own, from `offset` for `length` bytes: what a range
// request asks for, streamed as any file is.
class FileSlice : public QIODevice
{
public:
    FileSlice(const QString& path, qint64 offset, qint64 length);

    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return false; }
    qint64 size() const override { return length; }
    bool seek(qint64 position) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile file;
    qint64 offset;
    qint64 length;
};
