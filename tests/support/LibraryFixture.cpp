#include "LibraryFixture.h"

#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "QtModules.h"
#include "TestEnvironment.h"

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
    return TestEnvironment::writeFile(filesDir() + relativePath, content);
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
