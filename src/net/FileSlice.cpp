#include "FileSlice.h"

FileSlice::FileSlice(const QString& path, qint64 offset, qint64 length) : file(path), offset(offset), length(length)
{
}

bool FileSlice::open(OpenMode mode)
{
    if ((mode & WriteOnly) || !file.open(QIODevice::ReadOnly) || !file.seek(offset)) {
        return false;
    }
    return QIODevice::open(mode);
}

void FileSlice::close()
{
    file.close();
    QIODevice::close();
}

bool FileSlice::seek(qint64 position)
{
    return position >= 0 && position <= length && file.seek(offset + position) && QIODevice::seek(position);
}

qint64 FileSlice::readData(char* data, qint64 maxSize)
{
    const qint64 left = length - (file.pos() - offset);
    if (left <= 0) {
        return 0;
    }
    return file.read(data, std::min(maxSize, left));
}
