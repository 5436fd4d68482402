#include "ItemFiles.h"

#include "ItemFile.h"

ItemFiles::ItemFiles(QObject*, int itemId) : iid(itemId)
{
}

ItemFiles::~ItemFiles()
{
    qDeleteAll(files);
}

ItemFile* ItemFiles::getFirstFile() const
{
    return files.isEmpty() ? nullptr : files.first();
}

QString ItemFiles::getFirstFilePath() const
{
    return files.isEmpty() ? QString() : files.first()->getFilePath();
}

QStringList ItemFiles::getFilePaths() const
{
    QStringList paths;
    paths.reserve(files.size());
    for (const ItemFile* file : files) {
        paths << file->getFilePath();
    }
    return paths;
}

ItemFile* ItemFiles::addFile(const QString& path)
{
    auto* file = new ItemFile(nullptr, path);
    file->setId(iid);
    files.append(file);
    return file;
}

ItemFile* ItemFiles::addFile(int fid)
{
    auto* file = new ItemFile(nullptr, fid);
    file->setId(iid);
    files.append(file);
    return file;
}

void ItemFiles::addStoredFile(ItemFile* file)
{
    file->setId(iid);
    files.append(file);
}

void ItemFiles::removeFile(ItemFile* file)
{
    if (files.removeOne(file)) {
        delete file;
    }
}

void ItemFiles::clear()
{
    qDeleteAll(files);
    files.clear();
}

bool ItemFiles::saveFiles()
{
    bool ok = true;
    for (ItemFile* file : files) {
        file->setId(iid);
        ok = file->saveFile() && ok;
    }
    return ok;
}

QString ItemFiles::render() const
{
    double total = 0;
    for (const ItemFile* file : files) {
        total += double(file->getFileSize());
    }
    return QString::number(total / 1000000.0, 'f', 2);
}

QVariantList ItemFiles::toVariant() const
{
    QVariantList list;
    for (const ItemFile* file : files) {
        list << file->toVariant();
    }
    return list;
}
