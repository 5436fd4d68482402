#pragma once

#include <QFile>
#include <QIODevice>

// An upload body read straight from disk: fixed head bytes, the file, fixed tail bytes,
// so a file of any size is sent without holding it in memory.
class UploadBody : public QIODevice
{
    Q_OBJECT

public:
    UploadBody(const QByteArray& head, const QString& filePath, const QByteArray& tail, QObject* parent = nullptr);

    bool open(OpenMode mode) override;
    void close() override;
    qint64 size() const override;
    bool isSequential() const override { return false; }
    bool seek(qint64 position) override;
    QString errorText() const { return file.errorString(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray head;
    QFile file;
    QByteArray tail;
};
