#include "Author.h"

#include "Logging.h"

#include <QSqlError>
#include <QStringList>

Author::Author(QObject*, int authorId) : aid(authorId)
{
    if (aid >= 0) {
        dbQueryToAuthor(dbRead());
    }
}

Author::Author(QObject*, const QString& typedName) : name(typedName)
{
    if (typedName.isEmpty()) {
        return;
    }
    dbQueryToAuthor(dbRead(typedName));
    // A match keeps its aid but takes the name exactly as typed.
    if (!(name.isEmpty() && !firstName.isEmpty() && !lastName.isEmpty())) {
        setName(typedName);
    }
}

void Author::setName(const QString& fullName)
{
    name = fullName;
    lastName = name.split(QLatin1Char(' '), Qt::KeepEmptyParts).last().trimmed();
    // Only the trailing last name goes: "Anna Maria Anna" is Anna Maria, "Daniel Dan" is Daniel.
    QString rest = name.trimmed();
    if (!lastName.isEmpty() && rest.endsWith(lastName)) {
        rest.chop(lastName.size());
    }
    firstName = rest.trimmed();
}

void Author::setSortName(const QString& fileAs)
{
    const int comma = int(fileAs.indexOf(QLatin1Char(',')));
    if (comma <= 0) {
        return;
    }
    lastName = fileAs.left(comma).trimmed();
    firstName = fileAs.mid(comma + 1).trimmed();
}

void Author::setStored(int authorId, const QString& fullName, const QString& first, const QString& last)
{
    aid = authorId;
    name = fullName;
    firstName = first;
    lastName = last;
}

QSqlQuery Author::dbRead()
{
    QSqlQuery query;
    query.prepare("SELECT * FROM authors WHERE aid = :aid LIMIT 1");
    query.bindValue(":aid", aid);
    query.exec();
    query.next();
    return query;
}

QSqlQuery Author::dbRead(const QString& typedName)
{
    QSqlQuery query;
    // Case-insensitive for ASCII letters, as LIKE is, while '%' and '_' are plain characters.
    query.prepare("SELECT * FROM authors WHERE name = :name COLLATE NOCASE LIMIT 1");
    query.bindValue(":name", typedName);
    query.exec();
    query.next();
    return query;
}

void Author::dbQueryToAuthor(const QSqlQuery& query)
{
    if (!query.isValid()) {
        aid = 0;
        name.clear();
        firstName.clear();
        lastName.clear();
        return;
    }
    aid = query.value(0).toInt();
    name = query.value(1).toString();
    firstName = query.value(2).toString();
    lastName = query.value(3).toString();
}

bool Author::dbCreate()
{
    QSqlQuery query;
    query.prepare("INSERT INTO authors                  (aid, name, firstName, lastName)                  VALUES  "
                  "                (:aid, :name, :firstName, :lastName)");
    query.bindValue(":name", name);
    query.bindValue(":firstName", firstName);
    query.bindValue(":lastName", lastName);
    if (!query.exec()) {
        qCDebug(lcStore) << query.lastError();
        return false;
    }
    aid = query.lastInsertId().toInt();
    return true;
}

bool Author::dbUpdate()
{
    if (aid < 1) {
        return false;
    }
    QSqlQuery query;
    query.prepare("UPDATE authors SET                      name = :name, firstName = :firstName, lastName = "
                  ":lastName                     WHERE aid = :aid");
    query.bindValue(":name", name);
    query.bindValue(":firstName", firstName);
    query.bindValue(":lastName", lastName);
    query.bindValue(":aid", aid);
    const bool ok = query.exec();
    if (!ok) {
        qCDebug(lcStore) << query.lastError();
    }
    return ok;
}

bool Author::insertAuthor()
{
    return aid > 0 ? dbUpdate() : dbCreate();
}

bool Author::dbDestroy()
{
    QSqlQuery query;
    query.prepare("DELETE FROM authors WHERE aid = :aid LIMIT 1");
    query.bindValue(":aid", aid);
    return query.exec();
}

bool Author::deleteAuthor()
{
    return aid > 0 && dbDestroy();
}

QString Author::aidToName(int authorId)
{
    QSqlQuery query;
    query.prepare("SELECT name FROM authors WHERE aid = :aid LIMIT 1");
    query.bindValue(":aid", authorId);
    if (!query.exec()) {
        qCDebug(lcStore) << "sql error:"
                         << "aidToName in Author" << query.lastError();
        return QString();
    }
    return query.next() ? query.value(0).toString() : QString();
}

QVariantMap Author::toVariant() const
{
    QVariantMap map;
    map.insert("name", name);
    map.insert("firstName", firstName);
    map.insert("lastName", lastName);
    return map;
}
