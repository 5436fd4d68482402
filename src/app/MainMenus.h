#pragma once

#include "SearchScope.h"

#include <QList>
#include <QObject>

class ItemViews;
class MainWindow;
class QAction;
class QKeySequence;
class searchbox;

namespace Ui {
class ItemViews;
class MainWindow;
} // namespace Ui

// The main window's menus, tool bar menus and keys: every entry does something, the usual keys
// reach the usual actions, and Help lists them all.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    MainMenus(MainWindow* window, Ui::MainWindow* ui, searchbox* searchBox, bool readOnly);

    // Select All, Delete and Properties: each item view takes them, for the keys to reach it.
    QList<QAction*> itemActions() const { return viewActions; }
    // The scope entries follow the tab in front; they are off where there is nothing to search.
    void showScope(SearchScope scope, bool enabled);
    // A key as people write it: "Ctrl+Shift+Tab", not "Ctrl+Shift+Backtab".
    static QString keyText(const QKeySequence& keys);
    // The View menu's Icon View (`grid`) or Detailed View: the view in front switches to it,
    // and exactly one of the two stays checked.
    void showPresentation(ItemViews* view, bool grid);
    // The two follow the tab in front; they are off where there is nothing to show that way.
    void showPresentationOf(ItemViews* view);
    // Every key of the window, one line each: "Action: key".
    QStringList shortcutLines() const;

Q_SIGNALS:
    void scopeChosen(SearchScope scope);

private:
    void setUpFileAndLibrary(bool readOnly);
    void setUpEdit(bool readOnly);
    void setUpView();
    void setUpTabKeys();
    void setUpHelp();
    void fillRecentFilesMenu();
    void showShortcutsInTips();

    MainWindow* window;
    Ui::MainWindow* ui;
    searchbox* searchBox;
    QList<QAction*> viewActions;
    QList<std::pair<QAction*, SearchScope>> scopes;
};
