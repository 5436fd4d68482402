#pragma once

#include <QList>
#include <QString>

#include <memory>

class Authors;
class ItemFile;
class ItemFiles;
class SqliteRows;
class QObject;
class QSqlQuery;

// The part of every library record kept in "items": key, type, cover, times and rating, with
// the item's authors (links in "items_authors") and its files (rows in "files").
class Item
{
public:
    Item(QObject* parent, int iid);
    virtual ~Item();
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    int getId() const { return iid; }
    void setId(int itemId) { iid = itemId; }
    QString getType() const { return type; }
    void setType(const QString& itemType) { type = itemType; }
    QString getCoverFile() const { return coverFile; }
    void setCoverFile(const QString& path) { coverFile = path; }
    int getRating() const { return rating; }
    quint32 getCreated() const { return created; }
    quint32 getUpdated() const { return updated; }
    Authors* getAuthors() const { return authors.get(); }
    ItemFiles* getFiles() const { return files.get(); }
    QString getFirstFilePath() const;

    void addAuthor(const QString& name);
    ItemFile* addFile(const QString& path);
    // Takes a file off the item; its row goes at the next save, the file on disk stays.
    void removeFile(ItemFile* file);
    bool saveFiles();
    // Reads the item part again from the library, dropping unsaved changes to it.
    void reloadItem();
    // The item row's fields from a query positioned on a row whose columns start at `first`
    // in the items table's order (iid, type, coverFile, created, updated, rating).
    void setStoredItem(const SqliteRows& row, int first);

    void loadItem();
    bool insertItem();
    int itemDbCreate();
    bool itemDbUpdate();
    bool setRating(int value);
    bool deleteItem();
    bool saveCoverFile(const QString& path);
    bool updateCoverFile();

    static QString defaultCoverFile() { return QStringLiteral(":/icons/images/book.png"); }

protected:
    enum class CoverMove {
        Moved,
        NothingToMove, // no cover file of our own (for example the resource default)
        Failed,
    };

    // Keys handed out during a save, so a save that is rolled back can forget them again.
    struct Keys
    {
        int iid = 0;
        QString coverFile;
        QList<int> authorIds;
        QList<int> fileIds;
    };

    Keys rememberKeys() const;
    void restoreKeys(const Keys& keys);
    // Saves the whole record as one change: the item row and author links, the subclass's own
    // rows, the file rows and the cover. A failed save stores nothing and the object forgets
    // the keys it was handed, so it can be saved again.
    bool saveRecord();
    // The subclass's part of a save, inside the transaction: its own row and what hangs on it.
    virtual bool writeOwnRows() { return true; }
    // The key of the subclass's own row (bid, wid), remembered across a failed save.
    virtual int ownKey() const { return 0; }
    virtual void setOwnKey(int) {}
    // Called after a save is committed.
    virtual void saved() {}
    bool writeItem();
    CoverMove moveCoverFile(const QString& path);
    void undoCoverMove(const QString& movedTo, const QString& originalPath);

    int rating = 0;
    std::unique_ptr<Authors> authors;
    std::unique_ptr<ItemFiles> files;
    int iid = 0;
    QString coverFile;
    QString type;
    quint32 created = 0;
    quint32 updated = 0;
    QList<int> removedFileIds;

private:
    QSqlQuery itemDbRead();
    void dbQueryToItem(const QSqlQuery& query);
    void dbReadItemAuthors();
    void dbReadItemFiles();
    bool itemDbDestroy();
};
