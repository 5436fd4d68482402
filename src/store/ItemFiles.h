#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

class ItemFile;
class QObject;

// The ordered files of one item; the first is the item's main file. Owns its files.
class ItemFiles
{
public:
    ItemFiles(QObject* parent, int iid);
    ~ItemFiles();
    ItemFiles(const ItemFiles&) = delete;
    ItemFiles& operator=(const ItemFiles&) = delete;

    void setItemId(int itemId) { iid = itemId; }
    bool isEmpty() const { return files.isEmpty(); }
    int count() const { return int(files.count()); }
    ItemFile* getFile(int index) const { return files.at(index); }
    ItemFile* getFirstFile() const;
    QString getFirstFilePath() const;
    QStringList getFilePaths() const;

    ItemFile* addFile(const QString& path);
    ItemFile* addFile(int fid);
    void addStoredFile(ItemFile* file);
    // Takes the file out of the list and deletes the object; the row and the disk file stay.
    void removeFile(ItemFile* file);
    // Deletes every file object; rows and disk files stay.
    void clear();
    bool saveFiles();
    QString render() const;
    QVariantList toVariant() const;

private:
    QList<ItemFile*> files;
    int iid = 0;
};
