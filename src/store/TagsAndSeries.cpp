#include "TagsAndSeries.h"

#include "Logging.h"
#include "SharedTexts.h"
#include "SortKey.h"
#include "SqliteRows.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {
QStringList readingOrder(QStringList names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return SortKey::less(a, b); });
    return names;
}

QList<int> iids(QSqlQuery& query)
{
    QList<int> found;
    if (!query.exec()) {
        qCWarning(lcStore) << query.lastError().text();
        return found;
    }
    while (query.next()) {
        found << query.value(0).toInt();
    }
    return found;
}
} // namespace

QString TagsAndSeries::tagsText() const
{
    if (tags.size() == 1) {
        return tags.first(); // shared, not copied
    }
    return tags.join(QStringLiteral(", "));
}

QString TagsAndSeries::seriesText() const
{
    if (series.isEmpty() || number <= 0) {
        return series;
    }
    return series + QLatin1Char(' ') + QString::number(number, 'g', 6);
}

QStringList TagsAndSeries::parseTags(const QString& text)
{
    QStringList parsed;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QString tag = part.simplified();
        if (!tag.isEmpty() && !parsed.contains(tag, Qt::CaseInsensitive)) {
            parsed << tag;
        }
    }
    return parsed;
}

bool TagsAndSeries::createTables()
{
    QSqlQuery query;
    for (const char* statement :
         {"CREATE TABLE IF NOT EXISTS lirenta_tags (iid INTEGER, tag TEXT)",
          "CREATE INDEX IF NOT EXISTS lirenta_tags_iid ON lirenta_tags (iid)",
          "CREATE INDEX IF NOT EXISTS lirenta_tags_tag ON lirenta_tags (tag COLLATE NOCASE)",
          "CREATE TABLE IF NOT EXISTS lirenta_series (iid INTEGER PRIMARY KEY, name TEXT, number REAL)"}) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCWarning(lcStore) << "tags and series:" << query.lastError().text();
            return false;
        }
    }
    return true;
}

TagsAndSeries TagsAndSeries::read(int iid)
{
    TagsAndSeries read;
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT tag FROM lirenta_tags WHERE iid = :iid ORDER BY rowid"));
    query.bindValue(QStringLiteral(":iid"), iid);
    if (query.exec()) {
        while (query.next()) {
            read.tags << query.value(0).toString();
        }
    }
    query.prepare(QStringLiteral("SELECT name, number FROM lirenta_series WHERE iid = :iid"));
    query.bindValue(QStringLiteral(":iid"), iid);
    if (query.exec() && query.next()) {
        read.series = query.value(0).toString();
        read.number = query.value(1).toDouble();
    }
    return read;
}

QHash<int, TagsAndSeries> TagsAndSeries::readAll(const QSqlDatabase& db)
{
    QHash<int, TagsAndSeries> all;
    SharedTexts names;
    SqliteRows tags(db, QStringLiteral("SELECT iid, tag FROM lirenta_tags ORDER BY rowid"));
    while (tags.next()) {
        all[tags.value(0).toInt()].tags << names.shared(tags.value(1).toString());
    }
    SqliteRows series(db, QStringLiteral("SELECT iid, name, number FROM lirenta_series"));
    while (series.next()) {
        TagsAndSeries& entry = all[series.value(0).toInt()];
        entry.series = names.shared(series.value(1).toString());
        entry.number = series.value(2).toDouble();
    }
    return all;
}

bool TagsAndSeries::write(int iid) const
{
    if (!remove(iid)) {
        return false;
    }
    QSqlQuery query;
    query.prepare(QStringLiteral("INSERT INTO lirenta_tags (iid, tag) VALUES (:iid, :tag)"));
    for (const QString& tag : tags) {
        query.bindValue(QStringLiteral(":iid"), iid);
        query.bindValue(QStringLiteral(":tag"), tag);
        if (!query.exec()) {
            qCWarning(lcStore) << "tag not kept:" << query.lastError().text();
            return false;
        }
    }
    if (series.isEmpty()) {
        return true;
    }
    query.prepare(QStringLiteral("INSERT INTO lirenta_series (iid, name, number) VALUES (:iid, :name, :number)"));
    query.bindValue(QStringLiteral(":iid"), iid);
    query.bindValue(QStringLiteral(":name"), series);
    query.bindValue(QStringLiteral(":number"), number > 0 ? QVariant(number) : QVariant());
    if (!query.exec()) {
        qCWarning(lcStore) << "series not kept:" << query.lastError().text();
        return false;
    }
    return true;
}

bool TagsAndSeries::remove(int iid)
{
    QSqlQuery query;
    for (const char* statement :
         {"DELETE FROM lirenta_tags WHERE iid = :iid", "DELETE FROM lirenta_series WHERE iid = :iid"}) {
        query.prepare(QString::fromLatin1(statement));
        query.bindValue(QStringLiteral(":iid"), iid);
        if (!query.exec()) {
            qCWarning(lcStore) << "tags and series:" << query.lastError().text();
            return false;
        }
    }
    return true;
}

QStringList TagsAndSeries::tagsInUse()
{
    QStringList found;
    QSqlQuery query(QStringLiteral("SELECT DISTINCT tag FROM lirenta_tags"));
    while (query.next()) {
        if (!found.contains(query.value(0).toString(), Qt::CaseInsensitive)) {
            found << query.value(0).toString();
        }
    }
    return readingOrder(found);
}

QStringList TagsAndSeries::seriesInUse()
{
    QStringList found;
    QSqlQuery query(QStringLiteral("SELECT DISTINCT name FROM lirenta_series"));
    while (query.next()) {
        found << query.value(0).toString();
    }
    return readingOrder(found);
}

QList<int> TagsAndSeries::booksTagged(const QString& tag)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT DISTINCT iid FROM lirenta_tags WHERE tag = :tag COLLATE NOCASE"));
    query.bindValue(QStringLiteral(":tag"), tag);
    return iids(query);
}

QList<int> TagsAndSeries::booksInSeries(const QString& series)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT iid FROM lirenta_series WHERE name = :name ORDER BY number"));
    query.bindValue(QStringLiteral(":name"), series);
    return iids(query);
}
