#include "SqliteRows.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

SqliteRows::SqliteRows(const QSqlDatabase& db, const QString& sql)
{
    const QVariant driverHandle = db.driver() ? db.driver()->handle() : QVariant();
    if (!driverHandle.isValid() || qstrcmp(driverHandle.typeName(), "sqlite3*") != 0) {
        return;
    }
    handle = *static_cast<sqlite3* const*>(driverHandle.constData());
    const QByteArray text = sql.toUtf8();
    if (!handle || sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
}

SqliteRows::~SqliteRows()
{
    sqlite3_finalize(statement);
}

bool SqliteRows::next()
{
    onRow = false;
    if (!isActive()) {
        return false;
    }
    const int result = sqlite3_step(statement);
    if (result == SQLITE_ROW) {
        onRow = true;
    } else if (result != SQLITE_DONE) {
        failed = true;
    }
    return onRow;
}

bool SqliteRows::Field::isNull() const
{
    return !statement || sqlite3_column_type(statement, column) == SQLITE_NULL;
}

qlonglong SqliteRows::Field::toLongLong() const
{
    return statement ? sqlite3_column_int64(statement, column) : 0;
}

double SqliteRows::Field::toDouble() const
{
    return statement ? sqlite3_column_double(statement, column) : 0.0;
}

QString SqliteRows::Field::toString() const
{
    if (isNull()) {
        return QString();
    }
    // Numbers come out as SQLite writes them, which is how they were stored by this program.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

QString SqliteRows::lastError() const
{
    if (!handle) {
        return QStringLiteral("the connection is not an SQLite one");
    }
    return QString::fromUtf8(sqlite3_errmsg(handle));
}
