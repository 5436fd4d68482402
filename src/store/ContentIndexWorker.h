#pragma once

#include "ContentIndex.h"

#include <QObject>
#include <QString>

#include <atomic>

// The indexing of book contents, in a thread of its own with its own connections: it compares
// the library's book files with what the index holds, drops what went and reads what is new
// or changed (size, modification time or MD5), one book at a time, until nothing is left.
class ContentIndexWorker : public QObject
{
    Q_OBJECT

public:
    ContentIndexWorker(const QString& libraryPath, const QString& indexPath, const QString& identity);

    // Asked from any thread; the worker sees them between books.
    std::atomic<bool> stopping{false};
    std::atomic<bool> paused{false};
    std::atomic<bool> rescanWanted{false};
    ContentText::Limits limits;

public Q_SLOTS:
    // Indexes until nothing is left, the work is paused or stopped.
    void run();

Q_SIGNALS:
    void progress(int done, int total);
    void skipped(const QString& path, const QString& reason);
    void idle();

private:
    struct Book
    {
        int iid = 0;
        QString path;
        ContentIndex::Fingerprint fingerprint;
    };
    // The books with a file whose words can be read, and which of them need reading.
    bool plan(ContentIndex& index, QList<Book>* todo, int* total);
    void report(int done, int total, bool now);

    QString libraryPath;
    QString indexPath;
    QString identity;
    qint64 lastReport = 0;
};
