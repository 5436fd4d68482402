#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class ItemFile;
class QSqlDatabase;

// What hangs on the library's items, read for all of them at once: the file rows and the
// author links. For a whole library this is as much work as reading the
// records themselves, so it can be read on a connection of its own in a second thread while
// the caller reads the records.
class ItemAttachments
{
public:
    struct AuthorLink
    {
        int aid = 0;
        QString name;
        QString firstName;
        QString lastName;
    };

    ItemAttachments() = default;
    ~ItemAttachments();
    ItemAttachments(const ItemAttachments&) = delete;
    ItemAttachments& operator=(const ItemAttachments&) = delete;

    // Reads everything on the library's connection; null when a read failed.
    static std::unique_ptr<ItemAttachments> read();
    // Reads everything on a read-only connection to the library's file, made and closed in the
    // calling thread; null when that connection cannot be opened.
    static std::unique_ptr<ItemAttachments> readOnOwnConnection(const QString& databaseName,
                                                                const QString& connectOptions);

    // The item's files, still owned here until handed over: several threads may read at once.
    QList<ItemFile*> filesOf(int iid) const { return files.value(iid); }
    // The caller owns the item's files from now on.
    void handOverFiles(int iid) { files.remove(iid); }
    QList<AuthorLink> authorsOf(int iid) const { return authors.value(iid); }

private:
    bool readFrom(const QSqlDatabase& db);

    QHash<int, QList<ItemFile*>> files;
    QHash<int, QList<AuthorLink>> authors;
};
