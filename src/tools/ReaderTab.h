#pragma once

#include <QWidget>

// A tab that shows one book file: it knows the file, the library item that holds it (if
// any, for its note) and keeps the reader's place when it closes.
class ReaderTab : public QWidget
{
    Q_OBJECT

public:
    ReaderTab(QWidget* parent, const QString& path);

    QString bookPath() const { return path; }
    // The library item holding the file, or -1 for a file from outside the library.
    int itemId() const { return iid; }
    QString itemTitle() const { return title; }
    // Stores where the reader is in a book of the library; also done when the tab closes.
    virtual void keepPosition() = 0;

private:
    QString path;
    int iid = -1;
    QString title;
};
