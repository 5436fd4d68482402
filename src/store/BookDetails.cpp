#include "BookDetails.h"

#include "Logging.h"

#include <QSqlError>
#include <QSqlQuery>

BookDetails BookDetails::read(int iid)
{
    BookDetails details;
    QSqlQuery query;
    query.prepare("SELECT own, location, haveRead, readDate, want, language FROM lirenta_book_details "
                  "WHERE iid = :iid");
    query.bindValue(":iid", iid);
    if (!query.exec() || !query.next()) {
        return details;
    }
    details.own = query.value(0).toBool();
    details.location = query.value(1).toString();
    details.haveRead = query.value(2).toBool();
    details.readDate = QDate::fromString(query.value(3).toString(), Qt::ISODate);
    details.want = query.value(4).toBool();
    details.language = query.value(5).toString();
    return details;
}

bool BookDetails::write(int iid) const
{
    QSqlQuery query;
    query.prepare("INSERT OR REPLACE INTO lirenta_book_details (iid, own, location, haveRead, readDate, want, "
                  "language) VALUES (:iid, :own, :location, :haveRead, :readDate, :want, :language)");
    query.bindValue(":iid", iid);
    query.bindValue(":own", own ? 1 : 0);
    query.bindValue(":location", location);
    query.bindValue(":haveRead", haveRead ? 1 : 0);
    query.bindValue(":readDate", readDate.isValid() ? readDate.toString(Qt::ISODate) : QString());
    query.bindValue(":want", want ? 1 : 0);
    query.bindValue(":language", language);
    if (!query.exec()) {
        qCWarning(lcStore) << "book details not saved:" << query.lastError().text();
        return false;
    }
    return true;
}

bool BookDetails::remove(int iid)
{
    QSqlQuery query;
    query.prepare("DELETE FROM lirenta_book_details WHERE iid = :iid");
    query.bindValue(":iid", iid);
    // A library opened read-only may predate the table; then there is nothing to remove.
    return query.exec() || query.lastError().text().contains(QLatin1String("no such table"));
}
