#pragma once

#include <QImage>
#include <QObject>
#include <QQueue>
#include <QThreadPool>

#include <optional>

class QWidget;

// Covers for books that have none: the first page of a PDF, or the cover image an EPUB's
// package names. Pictures are made and encoded on two threads of their own, one for PDFs and one
// for the rest, so the window stays responsive; a downloaded or chosen cover is never replaced (the book is checked
// again just before its cover is stored). A file that cannot be read keeps the default cover and is noted in the log.
class CoverMaker : public QObject
{
    Q_OBJECT

public:
    explicit CoverMaker(QObject* parent = nullptr);
    ~CoverMaker() override;

    // Makes the book's cover when it has none.
    void request(int iid);
    // Every book without a cover, with a progress dialog that can be cancelled. Gives how
    // many covers were made.
    int makeMissing(QWidget* parent);
    bool isIdle() const { return queue.isEmpty() && !held && !laneBusy[0] && !laneBusy[1]; }

    // The picture for a book file (PDF or EPUB); a null image, with the reason, when there is none.
    static QImage coverImage(const QString& path, QString* problem);
    // The first page of a PDF, its white margins cut away.
    static QImage firstPage(const QString& path, QString* problem);
    static QImage epubCover(const QString& path, QString* problem);
    static QImage trimmed(const QImage& page);

Q_SIGNALS:
    void coverMade(int iid);
    // One book was dealt with, whether a cover came of it or not.
    void jobEnded(int iid);
    void idle();

private:
    enum class Lane { Pdf, Other };
    struct Job
    {
        int iid = 0;
        QString path;
    };
    static Lane laneOf(const QString& path);
    void startNext();
    void launch(const Job& job, Lane lane);
    void store(int iid, const QString& written);

    QQueue<int> queue;
    std::optional<Job> held; // taken from the queue, waiting for its lane
    QThreadPool pools[2];
    bool laneBusy[2] = {false, false};
};
