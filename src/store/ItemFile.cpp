#include "ItemFile.h"

#include "LibrarySettings.h"
#include "Logging.h"
#include "SharedTexts.h"
#include "SqliteRows.h"
#include "Timestamp.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

ItemFile::ItemFile(QObject*, const QString& path)
{
    setFileInfo(path);
}

ItemFile::ItemFile(QObject*, int fileId) : fid(fileId)
{
    dbRead();
    refreshFromDisk();
}

ItemFile::ItemFile(QObject*, QSqlQuery query)
{
    queryToItemFile(query);
    refreshFromDisk();
}

// A loaded file takes its details from the disk again; the stored MD5 stays while the size
// still agrees, so saving the item again keeps it.
void ItemFile::refreshFromDisk()
{
    if (filePath.isEmpty()) {
        return;
    }
    const QString storedMd5 = fileMd5;
    const qint64 storedSize = fileSize;
    setFileInfo(filePath);
    if (fileSize == storedSize) {
        fileMd5 = storedMd5;
    } else {
        setFileMD5(); // the content changed: the stored digest no longer describes it
    }
}

ItemFile* ItemFile::fromStoredRow(const SqliteRows& query, SharedTexts* texts)
{
    auto* file = new ItemFile;
    file->queryToItemFile(query);
    file->fileMd5.clear();
    if (texts) {
        file->fileType = texts->shared(file->fileType);
        file->fileExtension = texts->shared(file->fileExtension);
    }
    return file;
}

QString ItemFile::getFileMd5()
{
    if (fileMd5.isEmpty()) {
        setFileMD5();
    }
    return fileMd5;
}

// Rows loaded in bulk leave it to be worked out here: few of a whole library's files are opened.
QString ItemFile::getAbsoluteFilePath() const
{
    if (absoluteFilePath.isEmpty() && !filePath.isEmpty()) {
        return QFileInfo(filePath).absoluteFilePath();
    }
    return absoluteFilePath;
}

bool ItemFile::setFileInfo(const QString& path)
{
    filePath = path;
    fileMd5.clear();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    firstBytes = QString::fromLatin1(file.read(50).toHex());
    const QFileInfo info(file);
    fileName = info.fileName();
    fileExtension = info.suffix();
    fileType = fileExtension.toLower();
    fileSize = info.size();
    absoluteFilePath = info.absoluteFilePath();
    return true;
}

void ItemFile::setFirstBytes(int count)
{
    QFile file(filePath);
    if (file.open(QIODevice::ReadOnly)) {
        firstBytes = QString::fromLatin1(file.read(count).toHex());
    }
}

bool ItemFile::setFileMD5()
{
    if (!QFileInfo::exists(filePath)) {
        return false;
    }
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString digest = md5Of(file);
    if (digest.isEmpty()) {
        return false;
    }
    fileMd5 = digest;
    return true;
}

QString ItemFile::md5Of(QFile& file)
{
    QCryptographicHash hash(QCryptographicHash::Md5);
    // Large chunks keep the hash near disk speed; memory stays at one chunk whatever the file size.
    QByteArray chunk(4 * 1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(chunk.data(), chunk.size());
        if (read < 0) {
            return QString();
        }
        if (read == 0) {
            break;
        }
        hash.addData(QByteArrayView(chunk.constData(), read));
    }
    return QString::fromLatin1(hash.result().toHex());
}

bool ItemFile::hasDuplicate(const QString& statement, bool withFirstBytes)
{
    QSqlQuery query;
    query.prepare(statement);
    // The same as LIKE without wildcards (ASCII letters in any case), but answered by an index.
    query.bindValue(":filePath", filePath);
    if (withFirstBytes) {
        query.bindValue(":firstBytes", firstBytes);
        query.bindValue(":fileSize", fileSize);
    }
    if (!query.exec()) {
        qCDebug(lcStore) << query.lastError();
        return false;
    }
    return query.next();
}

bool ItemFile::hasDuplicateQuick()
{
    return hasDuplicate("SELECT filePath FROM files WHERE filePath = :filePath COLLATE NOCASE OR (firstBytes = "
                        ":firstBytes AND fileSize = :fileSize) LIMIT 1",
                        true);
}

const QStringList& ItemFile::bookSuffixes()
{
    static const QStringList suffixes = {QStringLiteral("pdf"), QStringLiteral("epub"), QStringLiteral("mobi"),
                                         QStringLiteral("chm"), QStringLiteral("txt"),  QStringLiteral("html"),
                                         QStringLiteral("htm")};
    return suffixes;
}

bool ItemFile::isBookFile(const QString& path)
{
    return bookSuffixes().contains(QFileInfo(path).suffix().toLower());
}

bool ItemFile::opensInReader(const QString& path)
{
    static const QStringList readable = {QStringLiteral("epub"), QStringLiteral("txt"), QStringLiteral("html"),
                                         QStringLiteral("htm")};
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) {
        return !LibrarySettings().pdfInDesktopViewer();
    }
    return readable.contains(suffix);
}

int ItemFile::holderOfSameContent()
{
    QSqlQuery query;
    query.prepare("SELECT iid, filePath, fileMd5 FROM files WHERE fileSize = :fileSize AND firstBytes = :firstBytes");
    query.bindValue(":fileSize", fileSize);
    query.bindValue(":firstBytes", firstBytes);
    if (!query.exec()) {
        qCDebug(lcStore) << query.lastError();
        return -1;
    }
    while (query.next()) {
        if (fileMd5.isEmpty()) {
            setFileMD5();
        }
        QString storedMd5 = query.value(2).toString();
        if (storedMd5.isEmpty()) {
            // Not fingerprinted when it was added: its file tells.
            ItemFile stored(nullptr, query.value(1).toString());
            storedMd5 = stored.getFileMd5();
        }
        if (!fileMd5.isEmpty() && storedMd5 == fileMd5) {
            return query.value(0).toInt();
        }
    }
    return -1;
}

bool ItemFile::hasDuplicateFilePath()
{
    return hasDuplicate("SELECT filePath FROM files WHERE filePath = :filePath COLLATE NOCASE LIMIT 1", false);
}

bool ItemFile::hasDuplicateMD5()
{
    if (fileMd5.isEmpty()) {
        setFileMD5();
    }
    if (fileMd5.isEmpty()) {
        return false;
    }
    QSqlQuery query;
    query.prepare("SELECT filePath FROM files WHERE fileMd5 = :md5 LIMIT 1");
    query.bindValue(":md5", fileMd5);
    if (!query.exec()) {
        qCDebug(lcStore) << query.lastError();
        return false;
    }
    return query.next() && !query.value(0).toString().isEmpty();
}

bool ItemFile::saveFile()
{
    qCDebug(lcStore) << "save file called";
    return fid < 1 ? dbCreate() : dbUpdate();
}

bool ItemFile::dbCreate()
{
    setFileMD5();
    const quint32 now = Timestamp::now();
    QSqlQuery query;
    query.prepare("INSERT INTO files                  (fileName, filePath, fileType, fileExtension, fileMd5, "
                  "fileSize, firstBytes, iid, created, updated)                  VALUES                  "
                  "(:fileName, :filePath, :fileType, :fileExtension, :fileMd5, :fileSize, :firstBytes, :iid, "
                  ":created, :updated)");
    query.bindValue(":fileName", fileName);
    query.bindValue(":filePath", filePath);
    query.bindValue(":fileType", fileType);
    query.bindValue(":fileExtension", fileExtension);
    query.bindValue(":fileMd5", fileMd5);
    query.bindValue(":fileSize", fileSize);
    query.bindValue(":firstBytes", firstBytes);
    query.bindValue(":iid", iid);
    query.bindValue(":created", now);
    query.bindValue(":updated", now);
    if (!query.exec()) {
        qCDebug(lcStore) << query.lastError();
        return false;
    }
    fid = query.lastInsertId().toInt();
    return true;
}

void ItemFile::dbRead()
{
    if (fid <= 0) {
        return;
    }
    QSqlQuery query;
    query.prepare("SELECT * FROM files WHERE fid = :fid LIMIT 1");
    query.bindValue(":fid", fid);
    query.exec();
    query.next();
    queryToItemFile(query);
}

bool ItemFile::dbUpdate()
{
    // A row loaded in bulk carries no digest: the stored one then stays as it is.
    QSqlQuery query;
    query.prepare("UPDATE files SET                     fileName = :fileName,                    filePath = "
                  ":filePath,                    fileType = :fileType,                    fileExtension = "
                  ":fileExtension,                    fileMD5 = COALESCE(NULLIF(:fileMD5, ''), fileMD5),               "
                  "     fileSize = "
                  ":fileSize,                    firstBytes = :firstBytes,                    updated = "
                  ":updated,                    iid = :iid WHERE fid = :fid");
    query.bindValue(":fileName", fileName);
    query.bindValue(":filePath", filePath);
    query.bindValue(":fileType", fileType);
    query.bindValue(":fileExtension", fileExtension);
    query.bindValue(":fileMD5", fileMd5);
    query.bindValue(":fileSize", fileSize);
    query.bindValue(":firstBytes", firstBytes);
    query.bindValue(":updated", Timestamp::now());
    query.bindValue(":iid", iid);
    query.bindValue(":fid", fid);
    if (!query.exec()) {
        qCDebug(lcStore) << query.lastError();
        return false;
    }
    return true;
}

bool ItemFile::dbDestroy()
{
    if (fid <= 0) {
        return false;
    }
    QSqlQuery query;
    query.prepare("DELETE FROM files WHERE fid = :fid LIMIT 1");
    query.bindValue(":fid", fid);
    return query.exec();
}

template <typename Row> void ItemFile::queryToItemFile(const Row& query)
{
    if (!query.isValid()) {
        // Off a row (no such fid) every field becomes empty or zero.
        fid = 0;
        fileName.clear();
        filePath.clear();
        fileType.clear();
        fileExtension.clear();
        fileMd5.clear();
        fileSize = 0;
        firstBytes.clear();
        iid = 0;
        created = 0;
        updated = 0;
        return;
    }
    fid = query.value(0).toInt();
    fileName = query.value(1).toString();
    filePath = query.value(2).toString();
    fileType = query.value(3).toString();
    fileExtension = query.value(4).toString();
    fileMd5 = query.value(5).toString();
    fileSize = query.value(6).toLongLong();
    firstBytes = query.value(7).toString();
    iid = query.value(8).toInt();
    created = query.value(9).toUInt();
    updated = query.value(10).toUInt();
}

template void ItemFile::queryToItemFile(const QSqlQuery&);
template void ItemFile::queryToItemFile(const SqliteRows&);

QVariantMap ItemFile::toVariant() const
{
    QVariantMap map;
    map.insert("fileName", fileName);
    map.insert("filePath", filePath);
    map.insert("fileType", fileType);
    map.insert("fileExtension", fileExtension);
    map.insert("fileMd5", fileMd5);
    map.insert("fileSize", QString::number(fileSize));
    map.insert("firstBytes", firstBytes);
    map.insert("iid", QString::number(iid));
    map.insert("created", QString::number(created));
    map.insert("updated", QString::number(updated));
    qCDebug(lcStore) << map.value("created");
    return map;
}

bool ItemFile::hasPdfContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

QString ItemFile::unusableReason(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QCoreApplication::translate("ItemFile", "The file %1 cannot be read.").arg(path);
    }
    if (file.size() == 0) {
        return QCoreApplication::translate("ItemFile", "The file %1 is empty.").arg(path);
    }
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0 && file.read(5) != "%PDF-") {
        return QCoreApplication::translate("ItemFile", "The file %1 is named as a PDF but is not one.").arg(path);
    }
    return QString();
}
