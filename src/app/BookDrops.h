#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

class BookAdding;
class MainWindow;
class QMimeData;

// What the main window does with a drop: one book file opens the book dialog with it, several
// files or a folder go to the batch import (every file listed, whether it can be imported or
// not), a web address opens in the browser. A drop with no book and no folder is refused.
class BookDrops : public QObject
{
    Q_OBJECT

public:
    enum class Kind { None, OneBook, SeveralBooks, WebAddress };
    static Kind kindOf(const QMimeData* data, QStringList* paths = nullptr, QUrl* address = nullptr);

    // Takes the window's drags and drops.
    BookDrops(MainWindow* window, BookAdding* adding);
    // Takes the drop; its dialogs open once the drop has ended.
    bool drop(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindow* window;
    BookAdding* adding;
};
