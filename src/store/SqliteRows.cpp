#include "SqliteRows.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <dlfcn.h>
#include <link.h>
#include <sqlite3.h>

namespace {
// The path of the loaded Qt SQLite driver plugin, if any.
QByteArray loadedDriverPath()
{
    QByteArray found;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            const QByteArray name(info->dlpi_name);
            if (name.contains("libqsqlite")) {
                *static_cast<QByteArray*>(data) = name;
                return 1;
            }
            return 0;
        },
        &found);
    return found;
}
} // namespace

bool SqliteRows::driverSharesSqlite()
{
    // The driver's own lookup of an SQLite function finds this program's copy only when the
    // driver is linked to the same shared library; a driver with SQLite built in finds its own.
    static const bool shared = [] {
        const QByteArray path = loadedDriverPath();
        void* driver = path.isEmpty() ? nullptr : dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
        if (!driver) {
            return false;
        }
        const bool same = dlsym(driver, "sqlite3_prepare_v2") == reinterpret_cast<void*>(&sqlite3_prepare_v2);
        dlclose(driver);
        return same;
    }();
    return shared;
}

SqliteRows::SqliteRows(const QSqlDatabase& db, const QString& sql, Access access) : query(db)
{
    const QVariant driverHandle = db.driver() ? db.driver()->handle() : QVariant();
    throughQt = access == Access::ThroughQt || !driverHandle.isValid() ||
                qstrcmp(driverHandle.typeName(), "sqlite3*") != 0 || !driverSharesSqlite();
    if (throughQt) {
        query.setForwardOnly(true);
        failed = !query.exec(sql);
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
    if (throughQt) {
        onRow = query.next();
        failed = !onRow && query.lastError().isValid();
        return onRow;
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
    if (!rows) {
        return true;
    }
    return rows->throughQt ? rows->query.isNull(column) : sqlite3_column_type(rows->statement, column) == SQLITE_NULL;
}

qlonglong SqliteRows::Field::toLongLong() const
{
    if (!rows) {
        return 0;
    }
    return rows->throughQt ? rows->query.value(column).toLongLong() : sqlite3_column_int64(rows->statement, column);
}

double SqliteRows::Field::toDouble() const
{
    if (!rows) {
        return 0.0;
    }
    return rows->throughQt ? rows->query.value(column).toDouble() : sqlite3_column_double(rows->statement, column);
}

QString SqliteRows::Field::toString() const
{
    if (isNull()) {
        return QString();
    }
    if (rows->throughQt) {
        return rows->query.value(column).toString();
    }
    // Numbers come out as SQLite writes them, which is how they were stored by this program.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows->statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(rows->statement, column));
}

QString SqliteRows::lastError() const
{
    if (throughQt) {
        return query.lastError().text();
    }
    if (!handle) {
        return QStringLiteral("the connection is not an SQLite one");
    }
    return QString::fromUtf8(sqlite3_errmsg(handle));
}
