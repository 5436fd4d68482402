#include "SqlStatement.h"

#include "Logging.h"

#include <QSqlError>
#include <QSqlQuery>

bool SqlStatement::run(QSqlQuery& query)
{
    if (query.exec()) {
        return true;
    }
    qCDebug(lcStore) << query.lastQuery() << query.lastError().text();
    return false;
}
