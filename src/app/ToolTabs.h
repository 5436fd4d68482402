#pragma once

#include <QObject>
#include <QString>

class QTabWidget;
class QWidget;
class WebBrowser;
class Item;
struct ViewItem;

// The tabs of the reader and the browser. A book has one reader tab, which comes to the front
// when it is opened again, and every file opened goes to the top of the recent files; a
// browser tab is named after the page on screen.
class ToolTabs : public QObject
{
    Q_OBJECT
    Q_MOC_INCLUDE("Item.h")
    Q_MOC_INCLUDE("ViewItem.h")

public:
    ToolTabs(QTabWidget* tabs, QWidget* window);

    // Opens the file in a reader tab; false (with a word to the user) when there is no such file.
    bool openReader(const QString& path);
    // Opens the file at a page (PDF) or chapter (EPUB), counted from 0, with `words` marked.
    void openReaderAt(const QString& path, int number, const QStringList& words);
    // Lets the user choose a book file to read, and opens it.
    void chooseAndOpen();
    WebBrowser* openBrowser(const QString& title);

Q_SIGNALS:
    // A browser tab captured its page into the library.
    void pageCaptured(ViewItem* item);
    void pageRecaptured(Item* page);

private:
    static void rememberRecentFile(const QString& path);

    QTabWidget* tabs;
    QWidget* window;
};
