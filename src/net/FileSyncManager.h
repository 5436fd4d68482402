#pragma once

#include <QDialog>
#include <QList>
#include <QMap>
#include <QSet>

#include <memory>

namespace Ui {
class FileSyncManager;
}

class Book;
class Books;
class ItemFile;
class QListWidgetItem;
class QNetworkReply;

// Uploads the library to the cloud service: every book record as JSON, then, one at a time,
// the check of every file and the upload of those the service does not hold yet.
class FileSyncManager : public QDialog
{
    Q_OBJECT

public:
    explicit FileSyncManager(QWidget* parent = nullptr);
    ~FileSyncManager() override;

    // Starts a new run over the library as it is now, unless one is still going.
    void startRun();
    bool isRunning() const;

    void addUploadItem(Book* book);
    void uploadData(Book* book);
    void uploadFileCheck(ItemFile* file);
    void uploadFile(ItemFile* file);
    bool isComplete() const { return complete; }
    bool isHalted() const { return halted; }
    int pendingRecordUploads() const { return recordsInFlight; }

    static QString displayTitle(const QString& title);

Q_SIGNALS:
    // The check and upload phases are over (the record uploads may still be on their way).
    void finished();
    // Everything of the run is over, record uploads included.
    void runEnded();
    // The service refused the stored token: the user has to log in again.
    void tokenRejected();

public Q_SLOTS:
    void syncUploadFileQueueCheck();
    void syncUploadFileQueueUpload();

private Q_SLOTS:
    void uploadFileCheckFinished(QNetworkReply* reply);
    void uploadFileCheckFinished(QNetworkReply* reply, ItemFile* asked);
    void updateDataTransferProgress(qint64 readBytes, qint64 totalBytes);
    void fileUploadFinished(QNetworkReply* reply);
    void dataUploadFinished(QNetworkReply* reply);

private:
    void reportFile(ItemFile* file, const QString& outcome);
    void summariseWhenDone();
    // True (and tokenRejected emitted once a run) when the reply refuses the token.
    bool refusesToken(QNetworkReply* reply);

    struct Counts
    {
        int recordsSent = 0;
        int filesThere = 0;
        int filesUploaded = 0;
        int filesFailed = 0;
    };

    std::unique_ptr<Ui::FileSyncManager> ui;
    QString baseUrl;
    QMap<QString, ItemFile*> md5Map;
    QString guid;
    QString token;
    QList<Book*> bookList;
    QList<ItemFile*> checkQueue;
    QList<ItemFile*> uploadQueue;
    Books* library;
    qint64 uploadStartTime = 0;
    QMap<QNetworkReply*, QListWidgetItem*> recordEntries;
    int recordsInFlight = 0;
    bool complete = false;
    bool halted = false;
    bool summarised = false;
    bool tokenRefused = false;
    Counts counts;
    QSet<QString> queuedMd5s;
    QList<ItemFile*> deferredCopies;
};
