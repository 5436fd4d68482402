#pragma once

#include <QSqlQuery>
#include <QString>

class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

// The rows of one statement, for reading a whole library at once. Where Qt's SQLite driver uses
// the same SQLite library as Lirenta, they are read straight from SQLite on the connection's own
// handle: text comes out as UTF-8 and goes into a QString in one step, with no result cache
// between (a QSqlQuery has SQLite convert every text to UTF-16 first, which made up most of the
// time the opening of a large library spent reading). A driver with an SQLite of its own is
// never handed to a second copy of SQLite: its rows are read through a QSqlQuery.
// Rows are read like a QSqlQuery's: next(), isValid() and value(column), whose field converts
// as a QVariant would.
class SqliteRows
{
public:
    enum class Access { Fastest, ThroughQt };

    class Field
    {
    public:
        Field(const SqliteRows* rows, int column) : rows(rows), column(column) {}
        bool isNull() const;
        int toInt() const { return int(toLongLong()); }
        uint toUInt() const { return uint(toLongLong()); }
        qlonglong toLongLong() const;
        double toDouble() const;
        QString toString() const;

    private:
        const SqliteRows* rows; // null off a row: a null field
        int column;
    };

    SqliteRows(const QSqlDatabase& db, const QString& statement, Access access = Access::Fastest);
    ~SqliteRows();
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    // Whether Qt's SQLite driver is linked to the same SQLite library as this program, so its
    // handles may be used here. Found out once, from the loaded driver.
    static bool driverSharesSqlite();

    // The statement was prepared and no step has failed.
    bool isActive() const { return throughQt ? query.isActive() && !failed : statement && !failed; }
    bool next();
    bool isValid() const { return onRow; }
    Field value(int column) const { return Field(onRow ? this : nullptr, column); }
    QString lastError() const;

private:
    bool throughQt = false;
    QSqlQuery query;
    sqlite3* handle = nullptr;
    sqlite3_stmt* statement = nullptr;
    bool onRow = false;
    bool failed = false;
};
