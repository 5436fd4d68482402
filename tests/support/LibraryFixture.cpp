#include "LibraryFixture.h"

#include "LibraryDatabase.h"
#include "LibrarySettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

LibraryFixture::LibraryFixture()
{
    QDir().mkpath(dataDir());
    QDir().mkpath(filesDir());
    LibrarySettings settings;
    settings.setValue("dataDir", dataDir());
    settings.sync();
    open = LibraryDatabase::open(dataDir()).isOpen();
}

LibraryFixture::~LibraryFixture()
{
    LibraryDatabase::close();
}

QString LibraryFixture::writeFile(const QString& relativePath, const QByteArray& content) const
{
    const QString path = filesDir() + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        return QString();
    }
    return path;
}

QVariant LibraryFixture::scalar(const QString& statement)
{
    QSqlQuery query;
    if (!query.exec(statement) || !query.next()) {
        return QVariant();
    }
    return query.value(0);
}

int LibraryFixture::rowCount(const QString& table)
{
    return scalar("SELECT COUNT(*) FROM " + table).toInt();
}
