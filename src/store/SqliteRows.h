#pragma once

#include <QString>

class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

// The rows of one statement, read straight from SQLite on a connection's own handle, for
// reading a whole library at once. Text comes out of SQLite as UTF-8 and goes into a QString
// in one step, with no result cache between: a QSqlQuery has SQLite convert every text to
// UTF-16 first, which made up most of the time the opening of a large library spent reading.
// Rows are read like a QSqlQuery's: next(), isValid() and value(column), whose field converts
// as a QVariant would, straight from SQLite's value.
class SqliteRows
{
public:
    class Field
    {
    public:
        Field(sqlite3_stmt* statement, int column) : statement(statement), column(column) {}
        bool isNull() const;
        int toInt() const { return int(toLongLong()); }
        uint toUInt() const { return uint(toLongLong()); }
        qlonglong toLongLong() const;
        double toDouble() const;
        QString toString() const;

    private:
        sqlite3_stmt* statement; // null off a row: a null field
        int column;
    };

    SqliteRows(const QSqlDatabase& db, const QString& statement);
    ~SqliteRows();
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    // The statement was prepared and no step has failed.
    bool isActive() const { return statement && !failed; }
    bool next();
    bool isValid() const { return onRow; }
    Field value(int column) const { return Field(onRow ? statement : nullptr, column); }
    QString lastError() const;

private:
    sqlite3* handle = nullptr;
    sqlite3_stmt* statement = nullptr;
    bool onRow = false;
    bool failed = false;
};
