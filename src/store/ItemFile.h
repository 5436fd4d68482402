#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QObject;
class QSqlQuery;
class SharedTexts;
class SqliteRows;

// One file of a library item: where it lives, what it is, its fingerprint (first 50 bytes,
// MD5) and its row in "files".
class ItemFile
{
public:
    ItemFile(QObject* parent, const QString& path);
    ItemFile(QObject* parent, int fid);
    ItemFile(QObject* parent, QSqlQuery query);
    // A file as its stored row describes it; the disk is not consulted (for loading many at once).
    static ItemFile* fromStoredRow(const SqliteRows& row, SharedTexts* texts = nullptr);

    QString getFilePath() const { return filePath; }
    QString getAbsoluteFilePath() const;
    QString getFileName() const { return fileName; }
    QString getFileExtension() const { return fileExtension; }
    QString getFileType() const { return fileType; }
    QString getFirstBytes() const { return firstBytes; }
    int getFid() const { return fid; }
    qint64 getFileSize() const { return fileSize; }
    int getId() const { return iid; }
    quint32 getCreated() const { return created; }
    quint32 getUpdated() const { return updated; }
    QString getFileMd5();

    void setId(int itemId) { iid = itemId; }
    void setFid(int fileId) { fid = fileId; }

    bool setFileInfo(const QString& path);
    void setFirstBytes(int count);
    bool setFileMD5();

    bool hasDuplicateQuick();
    bool hasDuplicateFilePath();
    bool hasDuplicateMD5();
    // Whether the built-in reader shows the file (EPUB, text, HTML), by its name.
    static bool opensInReader(const QString& path);
    // The kinds of book file the library keeps, by suffix: PDF, EPUB, MOBI, CHM, text and HTML.
    static const QStringList& bookSuffixes();
    static bool isBookFile(const QString& path);
    // The item holding a file of the same content (same size and MD5), or -1.
    int holderOfSameContent();

    bool saveFile();
    bool dbCreate();
    void dbRead();
    bool dbUpdate();
    bool dbDestroy();
    bool deleteFile() { return dbDestroy(); }
    // Row: a QSqlQuery or SqliteRows positioned on a files row (or off a row).
    template <typename Row> void queryToItemFile(const Row& query);

    QVariantMap toVariant() const;

    // MD5 of a file's whole content as lower-case hex, read in chunks; empty when unreadable.
    static QString md5Of(QFile& file);
    // Why the file cannot be added as a book (unreadable, empty, or named .pdf without being a
    // PDF), in words for the user; empty when it can.
    static QString unusableReason(const QString& path);
    // Whether the file's content starts as every PDF does ("%PDF-").
    static bool hasPdfContent(const QString& path);

private:
    ItemFile() = default; // for rows read in bulk: nothing is looked up on disk
    void refreshFromDisk();
    bool hasDuplicate(const QString& statement, bool withFirstBytes);

    int fid = -1;
    QString filePath;
    QString fileMd5;
    qint64 fileSize = 0;
    QString firstBytes;
    QString fileName;
    QString fileType;
    QString fileExtension;
    QString absoluteFilePath;
    int iid = 0;
    quint32 created = 0;
    quint32 updated = 0;
};
