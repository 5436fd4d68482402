#include "BookCovers.h"

#include "Item.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "SqlStatement.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

QList<int> BookCovers::withoutCover()
{
    QList<int> found;
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT iid FROM items WHERE type = 'Book' AND (coverFile IS NULL OR coverFile = '' "
                                 "OR coverFile = :default) ORDER BY iid"));
    query.bindValue(QStringLiteral(":default"), Item::defaultCoverFile());
    if (!query.exec()) {
        qCWarning(lcStore) << "covers:" << query.lastError().text();
        return found;
    }
    while (query.next()) {
        found << query.value(0).toInt();
    }
    return found;
}

bool BookCovers::needsCover(int iid, QString* firstFile)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT items.coverFile, (SELECT filePath FROM files WHERE files.iid = items.iid "
                                 "ORDER BY fid LIMIT 1) FROM items WHERE iid = :iid AND type = 'Book'"));
    query.bindValue(QStringLiteral(":iid"), iid);
    if (!query.exec() || !query.next()) {
        return false;
    }
    const QString cover = query.value(0).toString();
    *firstFile = query.value(1).toString();
    return (cover.isEmpty() || cover == Item::defaultCoverFile()) && !firstFile->isEmpty();
}

QString BookCovers::located(const QString& stored)
{
    if (stored.isEmpty() || stored.startsWith(QLatin1Char(':')) || QFileInfo::exists(stored)) {
        return stored;
    }
    const QString moved = LibrarySettings().dataDir() + QFileInfo(stored).fileName();
    return QFileInfo::exists(moved) ? moved : stored;
}

bool BookCovers::record(int iid, const QString& coverFile)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("UPDATE items SET coverFile = :cover WHERE iid = :iid"));
    query.bindValue(QStringLiteral(":cover"), coverFile);
    query.bindValue(QStringLiteral(":iid"), iid);
    return SqlStatement::run(query);
}
