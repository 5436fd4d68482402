#include "Item.h"

#include "Author.h"
#include "Authors.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "SqlStatement.h"
#include "SqlTransaction.h"
#include "SqliteRows.h"
#include "Timestamp.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include <filesystem>

namespace {
// Moves a file, replacing whatever is at the target; falls back to copying across file systems.
bool moveReplacing(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), error);
    if (!error) {
        return true;
    }
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part)) {
        return false;
    }
    std::filesystem::rename(QFile::encodeName(part).toStdString(), QFile::encodeName(to).toStdString(), error);
    if (error) {
        QFile::remove(part);
        return false;
    }
    QFile::remove(from);
    return true;
}
} // namespace

Item::Item(QObject*, int itemId)
    : authors(std::make_unique<Authors>(nullptr)), files(std::make_unique<ItemFiles>(nullptr, 0)), iid(itemId)
{
    loadItem();
    if (coverFile.isEmpty()) {
        coverFile = defaultCoverFile();
    }
}

Item::~Item() = default;

QString Item::getFirstFilePath() const
{
    return files->getFirstFilePath();
}

void Item::addAuthor(const QString& name)
{
    authors->addAuthor(name);
}

ItemFile* Item::addFile(const QString& path)
{
    files->setItemId(iid);
    return files->addFile(path);
}

void Item::removeFile(ItemFile* file)
{
    if (file->getFid() > 0) {
        removedFileIds.append(file->getFid());
    }
    files->removeFile(file);
}

bool Item::saveFiles()
{
    for (int fid : std::as_const(removedFileIds)) {
        QSqlQuery query;
        query.prepare("DELETE FROM files WHERE fid = :fid AND iid = :iid");
        query.bindValue(":fid", fid);
        query.bindValue(":iid", iid);
        if (!SqlStatement::run(query)) {
            return false;
        }
    }
    files->setItemId(iid);
    if (!files->saveFiles()) {
        return false;
    }
    removedFileIds.clear();
    return true;
}

void Item::setStoredItem(const SqliteRows& query, int first)
{
    iid = query.value(first).toInt();
    type = query.value(first + 1).toString();
    coverFile = query.value(first + 2).toString();
    created = query.value(first + 3).toUInt();
    updated = query.value(first + 4).toUInt();
    rating = query.value(first + 5).toInt();
    if (coverFile.isEmpty()) {
        coverFile = defaultCoverFile();
    }
    files->setItemId(iid);
}

void Item::reloadItem()
{
    authors->removeAuthors();
    files->clear();
    removedFileIds.clear();
    coverFile.clear();
    loadItem();
    if (coverFile.isEmpty()) {
        coverFile = defaultCoverFile();
    }
}

void Item::loadItem()
{
    if (iid < 1) {
        return;
    }
    dbQueryToItem(itemDbRead());
    dbReadItemAuthors();
    dbReadItemFiles();
}

QSqlQuery Item::itemDbRead()
{
    QSqlQuery query;
    query.prepare("SELECT * FROM items WHERE iid = :iid LIMIT 1");
    query.bindValue(":iid", iid);
    query.exec();
    query.next();
    return query;
}

void Item::dbQueryToItem(const QSqlQuery& query)
{
    const bool onRow = query.isValid();
    const auto value = [&](int column) { return onRow ? query.value(column) : QVariant(); };
    type = value(1).toString();
    coverFile = value(2).toString();
    created = value(3).toUInt();
    updated = value(4).toUInt();
    rating = value(5).toInt();
}

void Item::dbReadItemAuthors()
{
    QSqlQuery query;
    query.prepare("SELECT * FROM items_authors WHERE items_authors.iid = :iid");
    query.bindValue(":iid", iid);
    if (query.exec()) {
        while (query.next()) {
            authors->addAuthor(query.value(1).toInt());
        }
    }
}

void Item::dbReadItemFiles()
{
    // Stamp the list first so every loaded file carries its owner's id, not 0.
    files->setItemId(iid);
    QSqlQuery query;
    query.prepare("SELECT fid FROM files WHERE iid = :iid");
    query.bindValue(":iid", iid);
    if (query.exec()) {
        while (query.next()) {
            files->addFile(query.value(0).toInt());
        }
    }
}

bool Item::insertItem()
{
    const Keys keys = rememberKeys();
    SqlTransaction transaction;
    if (writeItem() && transaction.commit()) {
        return true;
    }
    transaction.rollback();
    restoreKeys(keys);
    return false;
}

bool Item::saveRecord()
{
    const Keys keys = rememberKeys();
    const int previousOwnKey = ownKey();
    SqlTransaction transaction;
    const bool written = writeItem() && writeOwnRows() && saveFiles();
    const CoverMove cover =
        written ? moveCoverFile(LibrarySettings().dataDir() + QString::number(iid) + ".jpg") : CoverMove::Failed;
    if (cover == CoverMove::Failed || !transaction.commit()) {
        transaction.rollback();
        if (cover == CoverMove::Moved) {
            undoCoverMove(coverFile, keys.coverFile);
        }
        restoreKeys(keys);
        setOwnKey(previousOwnKey);
        return false;
    }
    saved();
    return true;
}

// The item row, its authors and its author links; the caller holds the transaction.
bool Item::writeItem()
{
    if (iid < 1) {
        if (itemDbCreate() < 1) {
            return false;
        }
    } else {
        qCDebug(lcStore) << "db update called on item.";
        if (!itemDbUpdate()) {
            return false;
        }
    }
    if (!authors->insertAuthors()) {
        return false;
    }

    QSqlQuery query;
    query.prepare("DELETE FROM items_authors                  WHERE iid = :iid");
    query.bindValue(":iid", iid);
    if (!SqlStatement::run(query)) {
        return false;
    }
    query.prepare("INSERT INTO items_authors                  (iid, aid)                  VALUES                  "
                  "(:iid, :aid)");
    for (int i = 0; i < authors->count(); ++i) {
        query.bindValue(":iid", iid);
        query.bindValue(":aid", authors->getAuthor(i)->getAid());
        if (!SqlStatement::run(query)) {
            return false;
        }
    }
    return true;
}

int Item::itemDbCreate()
{
    const quint32 now = Timestamp::now();
    QSqlQuery query;
    query.prepare("INSERT INTO items                  (type, created, updated, rating)                  VALUES      "
                  "            (:type, :created, :updated, :rating)");
    query.bindValue(":type", type);
    query.bindValue(":created", now);
    query.bindValue(":updated", now);
    query.bindValue(":rating", rating);
    if (!SqlStatement::run(query)) {
        return -1;
    }
    iid = query.lastInsertId().toInt();
    return iid;
}

bool Item::itemDbUpdate()
{
    if (iid < 1) {
        return false;
    }
    QSqlQuery query;
    query.prepare("UPDATE items SET updated = :updated, type = :type, rating=:rating WHERE iid = :iid");
    query.bindValue(":iid", iid);
    query.bindValue(":type", type);
    query.bindValue(":updated", Timestamp::now());
    query.bindValue(":rating", rating);
    return SqlStatement::run(query);
}

bool Item::setRating(int value)
{
    const int previous = rating;
    rating = value;
    if (itemDbUpdate()) {
        return true;
    }
    // A stored record keeps saying what is stored; an unstored one keeps the value for its insert.
    if (iid >= 1) {
        rating = previous;
    }
    return false;
}

bool Item::deleteItem()
{
    SqlTransaction transaction;
    if (!itemDbDestroy()) {
        return false;
    }
    QSqlQuery query;
    query.prepare("DELETE FROM items_authors                  WHERE iid = :iid");
    query.bindValue(":iid", iid);
    if (!SqlStatement::run(query)) {
        return false;
    }
    query.prepare("DELETE FROM files WHERE iid = :iid");
    query.bindValue(":iid", iid);
    if (!SqlStatement::run(query)) {
        return false;
    }
    // The item's note goes with it rather than lingering without an owner.
    query.prepare("DELETE FROM notes WHERE iid = :iid");
    query.bindValue(":iid", iid);
    if (!SqlStatement::run(query)) {
        return false;
    }
    return transaction.commit();
}

bool Item::itemDbDestroy()
{
    if (iid < 1) {
        return false;
    }
    QSqlQuery query;
    query.prepare("DELETE FROM items WHERE iid = :iid LIMIT 1");
    query.bindValue(":iid", iid);
    return SqlStatement::run(query);
}

bool Item::saveCoverFile(const QString& path)
{
    return moveCoverFile(path) == CoverMove::Moved;
}

Item::CoverMove Item::moveCoverFile(const QString& path)
{
    QFile current(coverFile);
    if (!current.open(QIODevice::ReadWrite)) {
        return CoverMove::NothingToMove;
    }
    current.close();

    const QString original = coverFile;
    // A cover already at the target (an earlier look-up, say) is replaced, not kept.
    if (!moveReplacing(original, path)) {
        qCDebug(lcStore) << "cannot move cover" << original << "to" << path;
        return CoverMove::Failed;
    }
    QSqlQuery query;
    query.prepare("UPDATE items SET coverFile = :coverFile WHERE iid = :iid");
    query.bindValue(":iid", iid);
    query.bindValue(":coverFile", path);
    if (!SqlStatement::run(query)) {
        undoCoverMove(path, original);
        return CoverMove::Failed;
    }
    coverFile = path;
    return CoverMove::Moved;
}

void Item::undoCoverMove(const QString& movedTo, const QString& originalPath)
{
    if (movedTo != originalPath) {
        moveReplacing(movedTo, originalPath);
    }
    coverFile = originalPath;
}

bool Item::updateCoverFile()
{
    QSqlQuery query;
    query.prepare("UPDATE items SET coverFile = :coverFile WHERE iid = :iid");
    query.bindValue(":iid", iid);
    query.bindValue(":coverFile", coverFile);
    return SqlStatement::run(query);
}

Item::Keys Item::rememberKeys() const
{
    Keys keys;
    keys.iid = iid;
    keys.coverFile = coverFile;
    for (int i = 0; i < authors->count(); ++i) {
        keys.authorIds << authors->getAuthor(i)->getAid();
    }
    for (int i = 0; i < files->count(); ++i) {
        keys.fileIds << files->getFile(i)->getFid();
    }
    return keys;
}

void Item::restoreKeys(const Keys& keys)
{
    iid = keys.iid;
    for (int i = 0; i < authors->count() && i < keys.authorIds.count(); ++i) {
        authors->getAuthor(i)->setAid(keys.authorIds.at(i));
    }
    for (int i = 0; i < files->count() && i < keys.fileIds.count(); ++i) {
        files->getFile(i)->setFid(keys.fileIds.at(i));
        files->getFile(i)->setId(keys.iid);
    }
    files->setItemId(keys.iid);
}
