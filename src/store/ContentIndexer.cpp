#include "ContentIndexer.h"

#include "ContentIndexWorker.h"
#include "LibrarySettings.h"

#include <QThread>

ContentIndexer::ContentIndexer(QObject* parent) : QObject(parent)
{
}

ContentIndexer::~ContentIndexer()
{
    stop();
}

void ContentIndexer::start(const QString& libraryPath, const QString& indexPath, const QString& identity)
{
    stop();
    thread = new QThread(this);
    thread->setObjectName(QStringLiteral("content-indexer"));
    worker = new ContentIndexWorker(libraryPath, indexPath, identity);
    worker->paused = isPaused();
    if (bookTimeLimit > 0) {
        worker->limits.maxMilliseconds = bookTimeLimit;
    }
    worker->moveToThread(thread);
    connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &ContentIndexWorker::progress, this, [this](int doneNow, int totalNow) {
        done = doneNow;
        total = totalNow;
        Q_EMIT progress(done, total);
    });
    connect(worker, &ContentIndexWorker::skipped, this, &ContentIndexer::skipped);
    connect(worker, &ContentIndexWorker::idle, this, [this] {
        idle = true;
        // A change that came in as the run ended is taken in now.
        if (worker && worker->rescanWanted && !worker->paused) {
            worker->rescanWanted = false;
            runWorker();
            return;
        }
        Q_EMIT finished();
    });
    thread->start(QThread::IdlePriority);
    runWorker();
}

void ContentIndexer::stop()
{
    if (!thread) {
        return;
    }
    worker->stopping = true;
    thread->quit();
    thread->wait();
    delete thread;
    thread = nullptr;
    worker = nullptr;
    idle = true;
}

void ContentIndexer::runWorker()
{
    if (!worker) {
        return;
    }
    if (!idle) {
        // The run under way plans again once its current book is in.
        worker->rescanWanted = true;
        return;
    }
    idle = false;
    QMetaObject::invokeMethod(worker, &ContentIndexWorker::run, Qt::QueuedConnection);
}

void ContentIndexer::rescan()
{
    runWorker();
}

void ContentIndexer::setPaused(bool paused)
{
    LibrarySettings().setValue(QStringLiteral("contentIndex/paused"), paused);
    if (worker) {
        worker->paused = paused;
    }
    if (!paused) {
        runWorker();
    }
}

bool ContentIndexer::isPaused() const
{
    return LibrarySettings().value(QStringLiteral("contentIndex/paused"), false).toBool();
}

void ContentIndexer::setBookTimeLimit(int milliseconds)
{
    bookTimeLimit = milliseconds;
    if (worker) {
        worker->limits.maxMilliseconds = milliseconds;
    }
}
