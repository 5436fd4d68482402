#include "ItemAttachments.h"

#include "ItemFile.h"
#include "Logging.h"
#include "OwnConnection.h"
#include "SharedTexts.h"
#include "SqliteRows.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

ItemAttachments::~ItemAttachments()
{
    // Files nobody took (items that are not in the caller's list).
    for (const QList<ItemFile*>& rest : std::as_const(files)) {
        qDeleteAll(rest);
    }
}

std::unique_ptr<ItemAttachments> ItemAttachments::read()
{
    auto attachments = std::make_unique<ItemAttachments>();
    if (!attachments->readFrom(QSqlDatabase::database())) {
        attachments.reset();
    }
    return attachments;
}

std::unique_ptr<ItemAttachments> ItemAttachments::readOnOwnConnection(const QString& databaseName,
                                                                      const QString& connectOptions)
{
    auto attachments = std::make_unique<ItemAttachments>();
    bool read = false;
    {
        const OwnConnection connection(QStringLiteral("attachments"), databaseName,
                                       connectOptions.contains(QLatin1String("QSQLITE_OPEN_READONLY"))
                                           ? connectOptions
                                           : connectOptions + QStringLiteral(";QSQLITE_OPEN_READONLY"));
        QSqlDatabase db = connection.database();
        read = db.isOpen() && attachments->readFrom(db);
        if (!read) {
            qCWarning(lcStore) << "reading files and authors on a second connection failed:" << db.lastError().text();
        }
    }
    if (!read) {
        attachments.reset();
    }
    return attachments;
}

bool ItemAttachments::readFrom(const QSqlDatabase& db)
{
    SqliteRows stored(db, QStringLiteral("SELECT * FROM files ORDER BY fid"));
    SharedTexts texts;
    while (stored.next()) {
        ItemFile* file = ItemFile::fromStoredRow(stored, &texts);
        files[file->getId()].append(file);
    }
    if (!stored.isActive()) {
        return false;
    }
    // Books of one author share the author's name strings instead of holding copies.
    QHash<int, AuthorLink> authorsById;
    SqliteRows query(db, QStringLiteral("SELECT items_authors.iid, authors.aid, authors.name, authors.firstName, "
                                        "authors.lastName FROM items_authors JOIN authors ON authors.aid = "
                                        "items_authors.aid ORDER BY items_authors.rowid"));
    while (query.next()) {
        const int aid = query.value(1).toInt();
        auto known = authorsById.constFind(aid);
        if (known == authorsById.cend()) {
            known = authorsById.insert(
                aid, {aid, query.value(2).toString(), query.value(3).toString(), query.value(4).toString()});
        }
        authors[query.value(0).toInt()].append(*known);
    }
    return query.isActive();
}
