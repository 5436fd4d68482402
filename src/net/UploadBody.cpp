#include "UploadBody.h"

#include <cstring>

UploadBody::UploadBody(const QByteArray& headBytes, const QString& filePath, const QByteArray& tailBytes,
                       QObject* parent)
    : QIODevice(parent), head(headBytes), file(filePath), tail(tailBytes)
{
}

bool UploadBody::open(OpenMode mode)
{
    if ((mode & WriteOnly) || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return QIODevice::open(mode);
}

void UploadBody::close()
{
    file.close();
    QIODevice::close();
}

qint64 UploadBody::size() const
{
    return head.size() + file.size() + tail.size();
}

bool UploadBody::seek(qint64 position)
{
    return position >= 0 && position <= size() && QIODevice::seek(position);
}

qint64 UploadBody::readData(char* data, qint64 maxSize)
{
    qint64 done = 0;
    qint64 position = pos();
    const qint64 fileSize = file.size();
    while (done < maxSize && position < size()) {
        qint64 chunk = 0;
        if (position < head.size()) {
            chunk = qMin(maxSize - done, qint64(head.size()) - position);
            std::memcpy(data + done, head.constData() + position, size_t(chunk));
        } else if (position < head.size() + fileSize) {
            if (!file.seek(position - head.size())) {
                return done > 0 ? done : -1;
            }
            chunk = file.read(data + done, qMin(maxSize - done, head.size() + fileSize - position));
            if (chunk <= 0) {
                return done > 0 ? done : -1;
            }
        } else {
            const qint64 offset = position - head.size() - fileSize;
            chunk = qMin(maxSize - done, qint64(tail.size()) - offset);
            std::memcpy(data + done, tail.constData() + offset, size_t(chunk));
        }
        done += chunk;
        position += chunk;
    }
    return done;
}
