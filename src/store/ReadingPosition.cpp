#include "ReadingPosition.h"

#include "LibraryFile.h"
#include "Logging.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

int ReadingPosition::itemOf(const QString& path, QString* title)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT f.iid, COALESCE(b.title, w.title, f.fileName) FROM files f LEFT JOIN books b "
                                 "ON b.iid = f.iid LEFT JOIN webpages w ON w.iid = f.iid WHERE f.filePath = :path "
                                 "COLLATE NOCASE LIMIT 1"));
    query.bindValue(QStringLiteral(":path"), QFileInfo(path).absoluteFilePath());
    if (!query.exec() || !query.next()) {
        return -1;
    }
    if (title) {
        *title = query.value(1).toString();
    }
    return query.value(0).toInt();
}

ReadingPosition ReadingPosition::load(const QString& path, const QString& md5)
{
    ReadingPosition position;
    const int iid = itemOf(path);
    if (iid < 1 || md5.isEmpty()) {
        return position;
    }
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT chapter, scroll, zoom FROM lirenta_reading_positions WHERE iid = :iid AND "
                                 "fileMd5 = :md5"));
    query.bindValue(QStringLiteral(":iid"), iid);
    query.bindValue(QStringLiteral(":md5"), md5);
    if (query.exec() && query.next()) {
        position.chapter = query.value(0).toString();
        // Places kept before they were fractions were pixels; those start at the chapter's top.
        const double scroll = query.value(1).toDouble();
        position.scroll = scroll >= 0 && scroll <= 1 ? scroll : 0;
        const double zoom = query.value(2).toDouble();
        position.zoom = zoom > 0 || zoom == FitWidth || zoom == FitPage ? zoom : 1.0;
        position.valid = true;
    }
    return position;
}

bool ReadingPosition::save(const QString& path, const QString& md5, const ReadingPosition& position)
{
    const int iid = itemOf(path);
    if (iid < 1 || md5.isEmpty() || LibraryFile::isOpenReadOnly()) {
        return false;
    }
    QSqlQuery query;
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO lirenta_reading_positions (iid, fileMd5, chapter, scroll, "
                                 "zoom) VALUES (:iid, :md5, :chapter, :scroll, :zoom)"));
    query.bindValue(QStringLiteral(":iid"), iid);
    query.bindValue(QStringLiteral(":md5"), md5);
    query.bindValue(QStringLiteral(":chapter"), position.chapter);
    query.bindValue(QStringLiteral(":scroll"), position.scroll);
    query.bindValue(QStringLiteral(":zoom"), position.zoom);
    if (!query.exec()) {
        qCWarning(lcStore) << "reading position not kept:" << query.lastError().text();
        return false;
    }
    return true;
}
