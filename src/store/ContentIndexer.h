#pragma once

#include <QObject>
#include <QString>

class ContentIndexWorker;
class QThread;

// Keeps the index of book contents in step with the library, in a thread of its own at the
// lowest priority, so the window never waits for it. Pausing is kept across restarts; the
// work goes on from where it stopped, as the index remembers every book it has read.
class ContentIndexer : public QObject
{
    Q_OBJECT

public:
    explicit ContentIndexer(QObject* parent = nullptr);
    ~ContentIndexer() override;

    void start(const QString& libraryPath, const QString& indexPath, const QString& identity);
    void stop();
    // Books were added, changed or deleted: the index catches up.
    void rescan();
    void setPaused(bool paused);
    bool isPaused() const;
    bool isRunning() const { return thread != nullptr; }
    int doneCount() const { return done; }
    int totalCount() const { return total; }
    bool isIdle() const { return idle; }
    // Reading one book may take this long before it is skipped.
    void setBookTimeLimit(int milliseconds);

Q_SIGNALS:
    void progress(int done, int total);
    void skipped(const QString& path, const QString& reason);
    // Nothing is left to read (or the work is paused).
    void finished();

private:
    void runWorker();

    QThread* thread = nullptr;
    ContentIndexWorker* worker = nullptr;
    int done = 0;
    int total = 0;
    bool idle = true;
    int bookTimeLimit = -1;
};
