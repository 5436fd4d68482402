#include "OwnConnection.h"

#include <QUuid>

OwnConnection::OwnConnection(const QString& purpose, const QString& path, const QString& connectOptions)
    : name(QStringLiteral("lirenta-%1-%2").arg(purpose, QUuid::createUuid().toString(QUuid::WithoutBraces)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(connectOptions);
    db.open();
}

OwnConnection::~OwnConnection()
{
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}
