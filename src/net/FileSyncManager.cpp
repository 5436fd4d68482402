#include "FileSyncManager.h"

#include "ui_FileSyncManager.h"

#include "Book.h"
#include "Books.h"
#include "CloudApi.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "NetworkAccess.h"
#include "NetworkReplies.h"
#include "UploadBody.h"

#include <QDateTime>
#include <QFileInfo>
#include <QNetworkReply>

FileSyncManager::FileSyncManager(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FileSyncManager>()), library(nullptr)
{
    ui->setupUi(this);
    LibrarySettings settings;
    guid = settings.guid();
    baseUrl = settings.baseUrl();
    startRun();
}

void FileSyncManager::startRun()
{
    if (isRunning()) {
        return;
    }
    // Each run starts from the library as it is now, so what changed since the last one goes too.
    token = LibrarySettings().cloudToken();
    ui->uploadList->clear();
    ui->fileUploadList->clear();
    md5Map.clear();
    bookList.clear();
    checkQueue.clear();
    uploadQueue.clear();
    recordEntries.clear();
    queuedMd5s.clear();
    deferredCopies.clear();
    counts = Counts();
    complete = false;
    halted = false;
    summarised = false;
    tokenRefused = false;
    delete library;
    library = new Books(this, QString(), -1);
    const QList<Book*> books = library->getBooksList();
    for (Book* book : books) {
        qCDebug(lcNet) << "Adding books to the list of files to be synced.";
        addUploadItem(book);
        uploadData(book);
    }
    syncUploadFileQueueCheck();
}

bool FileSyncManager::isRunning() const
{
    return library && ((!complete && !halted) || recordsInFlight > 0);
}

// Once the files are done and every record has its answer: one line that sums the run up.
void FileSyncManager::summariseWhenDone()
{
    if (summarised || (!complete && !halted) || recordsInFlight > 0) {
        return;
    }
    summarised = true;
    QString line =
        tr("Records sent: %1 (every record goes each time), files already there: %2, files uploaded: %3, files "
           "failed: %4")
            .arg(counts.recordsSent)
            .arg(counts.filesThere)
            .arg(counts.filesUploaded)
            .arg(counts.filesFailed);
    if (halted) {
        line += tr(" (stopped early)");
    }
    auto* entry = new QListWidgetItem(line, ui->fileUploadList);
    QFont bold = entry->font();
    bold.setBold(true);
    entry->setFont(bold);
    ui->fileUploadList->scrollToItem(entry);
    // The outcome is what the user came for: its tab comes to the front, and the title says it too.
    ui->syncTabs->setCurrentWidget(ui->uploadTab);
    setWindowTitle(line);
    Q_EMIT runEnded();
}

bool FileSyncManager::refusesToken(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 401 && status != 403) {
        return false;
    }
    if (!tokenRefused) {
        tokenRefused = true;
        new QListWidgetItem(tr("The service no longer accepts your login; please log in again."), ui->fileUploadList);
        Q_EMIT tokenRejected();
    }
    return true;
}

FileSyncManager::~FileSyncManager() = default;

QString FileSyncManager::displayTitle(const QString& title)
{
    return title.size() > 50 ? title.left(50) + QLatin1String("...") : title;
}

void FileSyncManager::addUploadItem(Book* book)
{
    bookList.append(book);
    qCDebug(lcNet) << book->getTitle();
    new QListWidgetItem(QIcon(book->getCoverFile()), displayTitle(book->getTitle()), ui->uploadList);
    ItemFiles* files = book->getFiles();
    for (int i = 0; i < files->count(); ++i) {
        ItemFile* file = files->getFile(i);
        checkQueue.append(file);
        md5Map.insert(file->getFileMd5(), file);
    }
}

void FileSyncManager::uploadData(Book* book)
{
    qCDebug(lcNet) << "Starting upload data process";
    QNetworkRequest request = NetworkReplies::request(CloudApi::endpoint("upload/data/", {{"cloudToken", token}}));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json; charset=utf-8");
    qCDebug(lcNet) << "Making post request with the data for upload.";
    QNetworkReply* reply = NetworkAccess::post(request, book->toJSON().toUtf8(), this);
    recordEntries.insert(reply, ui->uploadList->item(bookList.indexOf(book)));
    ++recordsInFlight;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { dataUploadFinished(reply); });
}

void FileSyncManager::dataUploadFinished(QNetworkReply* reply)
{
    qCDebug(lcNet) << "Data uploading finished.";
    reply->deleteLater();
    --recordsInFlight;
    const QString reason = NetworkReplies::failureReason(reply);
    qCDebug(lcNet) << "reply data: " << reply->readAll();
    if (reason.isEmpty()) {
        ++counts.recordsSent;
    } else {
        refusesToken(reply);
    }
    if (QListWidgetItem* entry = recordEntries.take(reply)) {
        entry->setToolTip(reason.isEmpty() ? tr("Record uploaded") : tr("Record not uploaded: %1").arg(reason));
        if (!reason.isEmpty()) {
            entry->setText(entry->text() + QStringLiteral("  —  ") + tr("not uploaded: %1").arg(reason));
        }
    }
    ui->labelDlSpeed->setText("0 kB/s");
    summariseWhenDone();
}

void FileSyncManager::syncUploadFileQueueCheck()
{
    const QString count = QString::number(checkQueue.size());
    if (checkQueue.isEmpty()) {
        qCDebug(lcNet) << "Calling the file queue: " + count;
        syncUploadFileQueueUpload();
        return;
    }
    uploadFileCheck(checkQueue.takeFirst());
    qCDebug(lcNet) << "Current count for check queue is; should be decreasing: " + count;
}

void FileSyncManager::uploadFileCheck(ItemFile* file)
{
    qCDebug(lcNet) << "Starting upload check for " + file->getFilePath();
    const QUrl url = CloudApi::endpoint("upload/check/", {{"md5", file->getFileMd5()},
                                                          {"fileSize", QString::number(file->getFileSize())},
                                                          {"cloudToken", token},
                                                          {"firstBytes", file->getFirstBytes()}});
    qCDebug(lcNet) << "Making get request for uploadCheck.";
    QNetworkReply* reply = NetworkAccess::get(NetworkReplies::request(url), this);
    NetworkReplies::capSize(reply, NetworkReplies::maxJsonBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply, file] { uploadFileCheckFinished(reply, file); });
}

void FileSyncManager::uploadFileCheckFinished(QNetworkReply* reply)
{
    uploadFileCheckFinished(reply, nullptr);
}

// `file` is the one asked about: identical files share an MD5, yet each is reported by its own name.
void FileSyncManager::uploadFileCheckFinished(QNetworkReply* reply, ItemFile* asked)
{
    qCDebug(lcNet) << "uploadCheck request has finished, got reply.";
    reply->deleteLater();
    bool exists = false;
    QString md5;
    const QString reason = NetworkReplies::failureReason(reply);
    if (refusesToken(reply)) {
        halted = true;
        Q_EMIT finished();
        summariseWhenDone();
        return;
    }
    if (!reason.isEmpty() || !CloudApi::parseCheck(reply->readAll(), &exists, &md5)) {
        qCDebug(lcNet) << "Did not get expected response from server. Halted upload queue.";
        if (!reason.isEmpty()) {
            qCDebug(lcNet) << "Error: " + reason;
        }
        halted = true;
        new QListWidgetItem(tr("The service did not answer as expected; the upload stopped. %1").arg(reason),
                            ui->fileUploadList);
        Q_EMIT finished();
        summariseWhenDone();
        return;
    }
    ItemFile* file = asked ? asked : md5Map.value(md5, nullptr);
    if (!exists) {
        qCDebug(lcNet) << "File does not exist, looking to upload it.";
        // Two identical files need one upload; the second is there once the first arrived.
        if (file && !queuedMd5s.contains(file->getFileMd5())) {
            queuedMd5s.insert(file->getFileMd5());
            uploadQueue.append(file);
        } else if (file) {
            deferredCopies.append(file);
        }
    } else {
        qCDebug(lcNet) << "File exists remotely, got md5.";
        if (file) {
            ++counts.filesThere;
            reportFile(file, tr("already there"));
        }
    }
    syncUploadFileQueueCheck();
}

void FileSyncManager::reportFile(ItemFile* file, const QString& outcome)
{
    new QListWidgetItem(QFileInfo(file->getFilePath()).fileName() + QStringLiteral(": ") + outcome, ui->fileUploadList);
}

void FileSyncManager::syncUploadFileQueueUpload()
{
    uploadStartTime = QDateTime::currentMSecsSinceEpoch();
    if (uploadQueue.isEmpty()) {
        for (ItemFile* copy : std::as_const(deferredCopies)) {
            ++counts.filesThere;
            reportFile(copy, tr("already there (same content as another file)"));
        }
        deferredCopies.clear();
        complete = true;
        Q_EMIT finished();
        summariseWhenDone();
        return;
    }
    uploadFile(uploadQueue.takeFirst());
}

void FileSyncManager::uploadFile(ItemFile* file)
{
    qCDebug(lcNet) << "Starting upload file process for " + file->getFilePath();
    auto* body =
        new UploadBody(CloudApi::uploadBodyHead(file->getFilePath()), file->getFilePath(), CloudApi::uploadBodyTail());
    if (!body->open(QIODevice::ReadOnly)) {
        qCDebug(lcNet) << "File does not exist, skipping to next file";
        ++counts.filesFailed;
        reportFile(file, tr("skipped, the file is missing"));
        delete body;
        syncUploadFileQueueUpload();
        return;
    }
    const QUrl url = CloudApi::endpoint("upload/file/", {{"cloudToken", token},
                                                         {"md5", file->getFileMd5()},
                                                         {"fileSize", QString::number(file->getFileSize())},
                                                         {"firstBytes", file->getFirstBytes()},
                                                         {"fileType", file->getFileType()}});
    QNetworkRequest request = NetworkReplies::request(url);
    request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + CloudApi::boundary());
    request.setHeader(QNetworkRequest::ContentLengthHeader, body->size());
    qCDebug(lcNet) << "Making post request with the file for upload.";
    QNetworkReply* reply = NetworkAccess::post(request, body, this);
    body->setParent(reply);
    reply->setProperty("path", file->getFilePath());
    connect(reply, &QNetworkReply::uploadProgress, this, &FileSyncManager::updateDataTransferProgress);
    connect(reply, &QNetworkReply::finished, this, [this, reply, file] {
        const QString reason = NetworkReplies::failureReason(reply);
        ++(reason.isEmpty() ? counts.filesUploaded : counts.filesFailed);
        reportFile(file, reason.isEmpty() ? tr("uploaded") : tr("failed: %1").arg(reason));
        fileUploadFinished(reply);
    });
}

void FileSyncManager::updateDataTransferProgress(qint64 readBytes, qint64 totalBytes)
{
    // In thousandths: byte counts of files over 2 GiB do not fit the bar's int.
    ui->uploadProgress->setMaximum(1000);
    ui->uploadProgress->setValue(totalBytes > 0 ? int(readBytes * 1000 / totalBytes) : 0);
    // At least one millisecond, so the first progress report never divides by zero.
    const qint64 elapsed = qMax<qint64>(1, QDateTime::currentMSecsSinceEpoch() - uploadStartTime);
    ui->labelDlSpeed->setText(CloudApi::speedText(qint64(readBytes * 1000.0 / elapsed)));
}

void FileSyncManager::fileUploadFinished(QNetworkReply* reply)
{
    qCDebug(lcNet) << "File uploading finished.";
    reply->readAll();
    ui->uploadProgress->setValue(0);
    reply->deleteLater();
    syncUploadFileQueueUpload();
}
