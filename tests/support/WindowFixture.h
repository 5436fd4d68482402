#pragma once

#include "LibraryTuning.h"

#include <QString>
#include <QStringList>

#include <memory>

class ItemViews;
class LibraryDatabase;
class MainWindow;
class QListWidget;
class QTabWidget;
class QTableWidget;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// A user's session for flow tests: a library in the test's HOME with four books by three
// authors (Dune and Dune Messiah by Frank Herbert, Foundation, Solaris) and one web page, the
// main window over it, and the prompt seam emptied. Mix it into a test class and call
// seedLibrary() from init() and closeWindow() from cleanup().
class WindowFixture
{
public:
    // The grid as the user sees it: on screen (a search reaches a hidden grid when it is shown).
    static int visibleCells(ItemViews* view);
    static QStringList storedTitles();
    // The titles of what the view counts as selected, sorted.
    static QStringList selectedTitles(ItemViews* view);
    // The texts of an item's children in the tree, only those shown if asked.
    static QStringList childTexts(const QTreeWidgetItem* parent, bool shownOnly = false);
    // The texts of a list's entries, in order, only those shown if asked.
    static QStringList listTexts(const QListWidget* list, bool shownOnly = false);
    // Opens the view's context menu and triggers the entries named by `pick`, a path such as
    // {"Open", "b.pdf"}; returns the entries seen on the way ("Open/b.pdf" for submenus).
    static QStringList runMenu(ItemViews* view, const QStringList& pick);
    // As the menu's Delete does it, with "Yes" answered in advance.
    static void deleteSelection(ItemViews* view);

protected:
    void seedLibrary();
    void closeWindow();
    MainWindow* start();
    // Quit as the user does, then start again on the same library.
    MainWindow* restart();

    QTabWidget* tabs() const;
    QTreeWidget* tree() const;
    // A top-level entry of the library tree, opened as a user opens it (its entries are listed then).
    QTreeWidgetItem* branch(int index) const;
    ItemViews* viewAt(int index) const;
    QTableWidget* table(int index) const;
    QTextEdit* noteEdit() const;
    void selectTitle(int index, const QString& title) const;
    // The titles of the rows a search leaves shown in a tab's table, sorted.
    QStringList shownTitles(int index) const;

    // The library the window opens, made with `tuning` at each start.
    std::unique_ptr<LibraryDatabase> library;
    LibraryTuning tuning;
    std::unique_ptr<MainWindow> window;
    QString dataDir;
    QString booksDir;
};
