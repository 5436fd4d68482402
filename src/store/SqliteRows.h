#pragma once

#include <QString>
#include <QVariant>

class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

// The rows of one statement, read straight from SQLite on a connection's own handle, for
// reading a whole library at once. Text comes out of SQLite as UTF-8 and goes into a QString
// in one step, with no result cache between: a QSqlQuery has SQLite convert every text to
// UTF-16 first, which made up most of the time the opening of a large library spent reading.
// Rows are read like a QSqlQuery's: next(), isValid() and value(column).
class SqliteRows
{
public:
    SqliteRows(const QSqlDatabase& db, const QString& statement);
    ~SqliteRows();
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    // The statement was prepared and no step has failed.
    bool isActive() const { return statement && !failed; }
    bool next();
    bool isValid() const { return onRow; }
    // As a QSqlQuery gives it: a number, a text, bytes, or a null QVariant for NULL.
    QVariant value(int column) const;
    QString lastError() const;

private:
    sqlite3* handle = nullptr;
    sqlite3_stmt* statement = nullptr;
    bool onRow = false;
    bool failed = false;
};
