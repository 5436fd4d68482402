#include "Notes.h"

#include "Logging.h"

#include <QSqlError>
#include <QSqlQuery>

QString Notes::read(int iid)
{
    QSqlQuery query;
    query.prepare("SELECT note FROM notes WHERE iid = :iid LIMIT 1");
    query.bindValue(":iid", iid);
    if (!query.exec()) {
        qCDebug(lcStore) << "note not read:" << query.lastError();
        return QString();
    }
    return query.next() ? query.value(0).toString() : QString();
}

bool Notes::write(int iid, const QString& html)
{
    if (iid < 1) {
        return false;
    }
    QSqlQuery query;
    query.prepare("UPDATE notes SET                 note = :note WHERE iid = :iid");
    query.bindValue(":iid", iid);
    query.bindValue(":note", html);
    if (!query.exec()) {
        qCWarning(lcStore) << "note not saved:" << query.lastError().text();
        return false;
    }
    if (query.numRowsAffected() > 0) {
        return true;
    }
    query.prepare("INSERT INTO notes                      (iid, note)                      VALUES                      "
                  "(:iid, :note)");
    query.bindValue(":iid", iid);
    query.bindValue(":note", html);
    if (!query.exec()) {
        qCWarning(lcStore) << "note not saved:" << query.lastError().text();
        return false;
    }
    return true;
}
