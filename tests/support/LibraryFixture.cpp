#include "LibraryFixture.h"

#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "QtModules.h"
#include "SqlTransaction.h"
#include "TestEnvironment.h"

LibraryFixture::LibraryFixture(const LibraryTuning& tuning) : database(tuning)
{
    QDir().mkpath(dataDir());
    QDir().mkpath(filesDir());
    LibrarySettings settings;
    settings.setValue("dataDir", dataDir());
    settings.sync();
    open = database.open(dataDir()).isOpen();
}

LibraryFixture::~LibraryFixture()
{
    database.close();
}

bool LibraryFixture::reopen()
{
    database.close();
    open = database.open(dataDir()).isOpen();
    return open;
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

bool LibraryFixture::addNumberedBooks(const QString& word, int count, int digits)
{
    SqlTransaction transaction;
    QSqlQuery item;
    QSqlQuery book;
    item.prepare("INSERT INTO items (type, coverFile, created, updated, rating) VALUES ('Book', '', 0, 0, ?)");
    book.prepare("INSERT INTO books (title, description, iid) VALUES (?, '', ?)");
    for (int n = 1; n <= count; ++n) {
        item.addBindValue(n % 6);
        book.addBindValue(QString("%1 %2").arg(word).arg(n, digits, 10, QChar('0')));
        if (!item.exec()) {
            return false;
        }
        book.addBindValue(item.lastInsertId());
        if (!book.exec()) {
            return false;
        }
    }
    return transaction.commit();
}
