#include "MainMenus.h"

#include "ui_MainWindow.h"

#include "ItemViews.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "PdfReader.h"
#include "Prompt.h"
#include "searchbox.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

MainMenus::MainMenus(MainWindow* window, Ui::MainWindow* ui, searchbox* searchBox, bool readOnly)
    : QObject(window), window(window), ui(ui), searchBox(searchBox)
{
    setUpFileAndLibrary(readOnly);
    setUpEdit(readOnly);
    setUpView();
    setUpTabKeys();
    setUpHelp();
    showShortcutsInTips();
}

QString MainMenus::keyText(const QKeySequence& keys)
{
    return keys.toString(QKeySequence::NativeText).replace(QLatin1String("Backtab"), QLatin1String("Tab"));
}

void MainMenus::setUpFileAndLibrary(bool readOnly)
{
    ui->actionOpen->setShortcuts(QKeySequence::Open);
    connect(ui->actionOpen_2, &QAction::triggered, ui->actionOpen, &QAction::trigger);
    ui->actionOpen_2->setShortcuts(QKeySequence::Open);
    ui->actionOpen_2->setShortcutContext(Qt::WidgetShortcut); // the tool bar's Open holds the key
    QList<QKeySequence> quitKeys = QKeySequence::keyBindings(QKeySequence::Quit);
    if (!quitKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Q))) {
        quitKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_Q));
    }
    ui->actionQuit->setShortcuts(quitKeys);
    ui->actionQuit->setShortcutContext(Qt::ApplicationShortcut);
    ui->actionRecent_Files->setMenu(new QMenu(window));
    connect(ui->actionRecent_Files->menu(), &QMenu::aboutToShow, this, &MainMenus::fillRecentFilesMenu);

    // The tool bar's Add menu and the Library menu's Add say the same words for the same actions.
    const QList<std::tuple<QAction*, QAction*, QString>> adding = {
        {ui->actionAddEbook, ui->actionSingle_eBook, tr("Single Book")},
        {ui->actionAdd_Mutiple, ui->actionMultiple_eBooks, tr("Books from a Folder")},
        {ui->actionAdd_Mutiple_Recusive, ui->actionMultiple_eBooks_2, tr("Books from a Folder and Its Subfolders")}};
    auto* addButton = qobject_cast<QToolButton*>(ui->toolbar->widgetForAction(ui->actionAdd));
    auto* addMenu = new QMenu(addButton ? static_cast<QWidget*>(addButton) : window);
    addMenu->setStyleSheet("QMenu {    } ");
    for (const auto& [tool, entry, text] : adding) {
        tool->setText(text);
        tool->setToolTip(text);
        tool->setIconVisibleInMenu(true);
        entry->setText(text);
        addMenu->addAction(tool);
        connect(entry, &QAction::triggered, tool, &QAction::trigger);
        for (QAction* action : {tool, entry}) {
            action->setEnabled(!readOnly);
        }
    }
    if (addButton) {
        addButton->setMenu(addMenu);
        addButton->setPopupMode(QToolButton::InstantPopup);
    }
    QAction* makeCovers = ui->menuFile->addAction(tr("Make Missing Covers"), window, &MainWindow::makeMissingCovers);
    makeCovers->setObjectName(QStringLiteral("actionMakeCovers"));
    makeCovers->setEnabled(!readOnly);
    if (readOnly) {
        for (QAction* action : {ui->actionAdd, ui->actionAddEbook, ui->actionAdd_Mutiple,
                                ui->actionAdd_Mutiple_Recusive, ui->actionConvert, ui->actionSingle_eBook,
                                ui->actionMultiple_eBooks, ui->actionMultiple_eBooks_2, makeCovers}) {
            action->setEnabled(false);
            action->setToolTip(tr("The library is read-only."));
        }
    }
}

// The item actions act on the items of a view that has the focus; typing in a field, the reader
// or the browser keeps its own keys.
void MainMenus::setUpEdit(bool readOnly)
{
    QAction* selectAll = ui->menuEdit->addAction(tr("Select All"), this, [this] {
        if (ItemViews* view = window->currentView()) {
            view->selectAll();
        }
    });
    selectAll->setObjectName(QStringLiteral("actionSelectAll"));
    selectAll->setShortcuts(QKeySequence::SelectAll);
    QAction* remove = ui->menuEdit->addAction(tr("Delete"), this, [this, readOnly] {
        if (ItemViews* view = window->currentView(); view && !readOnly) {
            view->deleteSelected();
        }
    });
    remove->setObjectName(QStringLiteral("actionDelete"));
    remove->setShortcuts(QKeySequence::Delete);
    remove->setEnabled(!readOnly);
    QAction* properties = ui->menuEdit->addAction(tr("Properties"), this, [this] {
        if (ItemViews* view = window->currentView()) {
            view->showProperties();
        }
    });
    properties->setObjectName(QStringLiteral("actionProperties"));
    properties->setShortcuts(
        {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    ui->menuEdit->addSeparator();
    // Find looks inside the PDF on screen; elsewhere it goes to the library's search box.
    QAction* find = ui->menuEdit->addAction(tr("Find"), searchBox, [this] {
        if (auto* pdf = qobject_cast<PdfReader*>(ui->tabWidget->currentWidget())) {
            pdf->focusFind();
        } else {
            searchBox->focusField();
        }
    });
    find->setObjectName(QStringLiteral("actionFind"));
    find->setShortcuts(QKeySequence::Find);
    viewActions = {selectAll, remove, properties};
    for (QAction* action : std::as_const(viewActions)) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    window->addAction(find);
}

void MainMenus::setUpView()
{
    ui->actionView->setText(tr("Icon View"));
    ui->actionList->setText(tr("Detailed View"));
    ui->actionView->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    ui->actionList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
    ui->menuView->addAction(ui->actionView);
    ui->menuView->addAction(ui->actionList);
    ui->menuView->addSeparator();
    ui->menuView->addAction(ui->actionNotes);
    ui->menuView->addSeparator();
    // The search scope, remembered per tab like the terms.
    QMenu* menu = ui->menuView->addMenu(tr("Search Scope"));
    menu->setObjectName(QStringLiteral("menuSearchScope"));
    auto* group = new QActionGroup(this);
    for (const auto& [text, name, scope] :
         {std::tuple{tr("Titles and Descriptions"), "actionSearchTitles", SearchScope::TitlesAndDescriptions},
          std::tuple{tr("Everything"), "actionSearchEverything", SearchScope::Everything},
          std::tuple{tr("Inside Books"), "actionSearchInsideBooks", SearchScope::InsideBooks}}) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        group->addAction(action);
        scopes.append({action, scope});
    }
    scopes.first().first->setChecked(true);
    connect(group, &QActionGroup::triggered, this, [this](QAction* chosen) {
        for (const auto& [action, scope] : std::as_const(scopes)) {
            if (action == chosen) {
                Q_EMIT scopeChosen(scope);
            }
        }
    });
    searchBox->setScopeMenu(menu);
}

void MainMenus::showScope(SearchScope shown, bool enabled)
{
    for (const auto& [action, scope] : std::as_const(scopes)) {
        action->setEnabled(enabled);
        if (scope == shown) {
            action->setChecked(true);
        }
    }
}

void MainMenus::showPresentation(ItemViews* view, bool grid)
{
    QAction* chosen = grid ? ui->actionView : ui->actionList;
    QAction* other = grid ? ui->actionList : ui->actionView;
    // Triggering a checked entry unchecks it; it stays checked, and nothing changes.
    if (!chosen->isChecked()) {
        chosen->setChecked(true);
        return;
    }
    other->setChecked(false);
    if (view && (view->getCurrentView() == 1) != grid) {
        view->toggleView();
    }
}

void MainMenus::showPresentationOf(ItemViews* view)
{
    const bool grid = view && view->getCurrentView() == 1;
    ui->actionView->setChecked(grid);
    ui->actionList->setChecked(view && !grid);
    ui->actionList->setEnabled(view != nullptr);
    ui->actionView->setEnabled(view != nullptr);
}

void MainMenus::setUpTabKeys()
{
    QTabWidget* tabs = ui->tabWidget;
    auto* closeTab = new QAction(tr("Close Tab"), window);
    closeTab->setObjectName(QStringLiteral("actionCloseTab"));
    closeTab->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(closeTab, &QAction::triggered, window, [this, tabs] { window->closeTab(tabs->currentIndex()); });
    auto* nextTab = new QAction(tr("Next Tab"), window);
    nextTab->setShortcuts(QKeySequence::NextChild);
    connect(nextTab, &QAction::triggered, tabs,
            [tabs] { tabs->setCurrentIndex((tabs->currentIndex() + 1) % tabs->count()); });
    auto* previousTab = new QAction(tr("Previous Tab"), window);
    previousTab->setShortcuts(QKeySequence::PreviousChild);
    connect(previousTab, &QAction::triggered, tabs,
            [tabs] { tabs->setCurrentIndex((tabs->currentIndex() + tabs->count() - 1) % tabs->count()); });
    for (QAction* action : {closeTab, nextTab, previousTab}) {
        window->addAction(action);
        ui->menuView->addAction(action);
    }
}

void MainMenus::setUpHelp()
{
    QAction* keys = ui->menuHelp->addAction(tr("Keyboard Shortcuts"), this, [this] {
        Prompt::information(window, tr("Keyboard Shortcuts"), shortcutLines().join(QLatin1Char('\n')));
    });
    keys->setObjectName(QStringLiteral("actionKeyboardShortcuts"));
    ui->menuHelp->insertAction(ui->actionCredits, ui->actionNotices);
    ui->menuHelp->insertAction(ui->actionCredits, keys);
    ui->menuHelp->insertSeparator(ui->actionCredits);
}

QStringList MainMenus::shortcutLines() const
{
    QStringList lines;
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->shortcuts().isEmpty() || action->text().isEmpty()) {
            continue;
        }
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts()) {
            keys << keyText(key);
        }
        keys.removeDuplicates();
        lines << QString(action->text()).remove(QLatin1Char('&')) + QStringLiteral(": ") +
                     keys.join(QStringLiteral(", "));
    }
    // Keys that belong to a field or a pane rather than to a menu entry.
    lines << tr("Open the selected item's properties: %1").arg(keyText(QKeySequence(Qt::Key_Return)))
          << tr("Bold, in the notes: %1").arg(keyText(QKeySequence::Bold))
          << tr("Italic, in the notes: %1").arg(keyText(QKeySequence::Italic))
          << tr("Underline, in the notes: %1").arg(keyText(QKeySequence::Underline))
          << tr("Clear the search, in the search field: %1").arg(keyText(QKeySequence(Qt::Key_Escape)));
    lines.sort(Qt::CaseInsensitive);
    lines.removeDuplicates();
    return lines;
}

// Shortcuts show in tool tips too.
void MainMenus::showShortcutsInTips()
{
    for (QAction* action : window->findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty()) {
            const QString tip =
                action->toolTip().isEmpty() ? QString(action->text()).remove(QLatin1Char('&')) : action->toolTip();
            action->setToolTip(tip + QStringLiteral(" (") + keyText(action->shortcut()) + QLatin1Char(')'));
        }
    }
}

void MainMenus::fillRecentFilesMenu()
{
    QMenu* menu = ui->actionRecent_Files->menu();
    menu->clear();
    const QStringList recent = LibrarySettings().recentFiles();
    for (const QString& path : recent) {
        QAction* entry =
            menu->addAction(QFileInfo(path).fileName(), window, [this, path] { window->openInReader(path); });
        entry->setToolTip(path);
        entry->setStatusTip(path);
    }
    if (recent.isEmpty()) {
        menu->addAction(tr("No recent files"))->setEnabled(false);
    } else {
        menu->addSeparator();
        menu->addAction(tr("Clear List"), this, [] { LibrarySettings().clearRecentFiles(); });
    }
}
