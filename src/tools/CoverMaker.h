#pragma once

#include <QImage>
#include <QObject>
#include <QQueue>
#include <QThreadPool>

class QWidget;

// Covers for books that have none: the first page of a PDF, or the cover image an EPUB's
// package names. Pictures are made one at a time on a thread of their own, so the window stays
// responsive; a downloaded or chosen cover is never replaced (the book is checked again just
// before its cover is stored). A file that cannot be read keeps the default cover and is noted
// in the log.
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
    bool isIdle() const { return queue.isEmpty() && !busy; }

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
    void startNext();
    void store(int iid, const QImage& image);

    QQueue<int> queue;
    QThreadPool pool;
    bool busy = false;
};
