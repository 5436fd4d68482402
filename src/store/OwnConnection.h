#pragma once

#include <QSqlDatabase>
#include <QString>

// A connection of its own to a database file, for a check or for work in a second thread:
// made and opened here, closed and removed when it goes, in the thread that made it. Queries
// on it and copies of database() must go before it does.
class OwnConnection
{
public:
    OwnConnection(const QString& purpose, const QString& path, const QString& connectOptions = QString());
    ~OwnConnection();
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;

    bool isOpen() const { return database().isOpen(); }
    QSqlDatabase database() const { return QSqlDatabase::database(name, false); }

private:
    QString name;
};
