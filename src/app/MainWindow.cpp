#include "MainWindow.h"

#include "ui_MainWindow.h"

#include "Author.h"
#include "Authors.h"
#include "Book.h"
#include "BookProperties.h"
#include "Books.h"
#include "CloudApi.h"
#include "ConfigApps.h"
#include "ConfigDialog.h"
#include "ConversionWizard.h"
#include "CoverMaker.h"
#include "CustomWebView.h"
#include "DataDirectories.h"
#include "FileSyncManager.h"
#include "ItemFile.h"
#include "ItemViews.h"
#include "LibraryBackup.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "Login.h"
#include "MultiSelect.h"
#include "NoticeLog.h"
#include "NoticesWindow.h"
#include "Prompt.h"
#include "Reader.h"
#include "RichTextEditor.h"
#include "ServiceEndpoints.h"
#include "TagsAndSeries.h"
#include "UpdateManager.h"
#include "Version.h"
#include "ViewItem.h"
#include "WebBrowser.h"
#include "WebPage.h"
#include "WelcomePanel.h"
#include "searchbox.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidgetItemIterator>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    QApplication::setWindowIcon(QIcon(":/svg/icons/256x256/Lirenta.png"));
    // Logging needs no set-up: categories are quiet unless QT_LOGGING_RULES enables them; the
    // warnings are kept for the Notices window all the same.
    NoticeLog::catchWarnings();
    setDataDir();
    if (!dbOpen()) {
        return;
    }
    if (!readOnly) {
        DataDirectories::removeTemporaryCovers(dataDir);
        LibraryBackup::takeIfDueInBackground(dataDir);
    }
    ui->vSplitter->setSizes({150, 800});
    ui->splitter->setSizes({700, 100});

    notes = new RichTextEditor(this);
    notes->setLibraryReadOnly(readOnly);
    ui->stackedWidget->addWidget(notes);

    searchBox = new searchbox(this);
    ui->toolbar->addSeparator();
    ui->toolbar->addWidget(searchBox);

    newBooksTab();
    welcome = new WelcomePanel(ui->tabWidget->widget(0));
    connect(welcome, &WelcomePanel::addBookRequested, ui->actionAddEbook, &QAction::trigger);
    connect(welcome, &WelcomePanel::addFolderRequested, ui->actionAdd_Mutiple_Recusive, &QAction::trigger);
    connect(this, &MainWindow::bookAdded, this, &MainWindow::updateWelcome);
    updateWelcome();
    setAcceptDrops(!readOnly);
    // The first books tab stays open, so it shows no close button.
    ui->tabWidget->tabBar()->setTabButton(0, QTabBar::RightSide, nullptr);
    ui->tabWidget->tabBar()->setTabButton(0, QTabBar::LeftSide, nullptr);
    prepareLibraryTree();
    cloudToken = LibrarySettings().cloudToken();
    conversionWizard = new ConversionWizard(this);
    conversionWizard->hide();
    connect(conversionWizard, &ConversionWizard::itemChanged, this, &MainWindow::itemChanged);
    // The books tab opened before the wizard existed.
    for (ItemViews* view : ui->tabWidget->findChildren<ItemViews*>()) {
        connect(view, &ItemViews::convertItems, conversionWizard, &ConversionWizard::convert);
    }
    buildAddMenu();
    setUpMenusAndKeys();
    if (!readOnly) {
        coverMaker = new CoverMaker(this);
        connect(coverMaker, &CoverMaker::coverMade, this, &MainWindow::coverMade);
    }
    QAction* makeCovers = ui->menuFile->addAction(tr("Make Missing Covers"), this, [this] {
        const int made = coverMaker ? coverMaker->makeMissing(this) : 0;
        statusBar()->showMessage(tr("Covers made from the books' files: %1").arg(made), 8000);
    });
    makeCovers->setObjectName(QStringLiteral("actionMakeCovers"));
    makeCovers->setEnabled(!readOnly);
    // The Library menu's entries do what the tool bar's do.
    connect(ui->actionSingle_eBook, &QAction::triggered, ui->actionAddEbook, &QAction::trigger);
    connect(ui->actionMultiple_eBooks, &QAction::triggered, ui->actionAdd_Mutiple, &QAction::trigger);
    connect(ui->actionMultiple_eBooks_2, &QAction::triggered, ui->actionAdd_Mutiple_Recusive, &QAction::trigger);
    if (readOnly) {
        for (QAction* action :
             {ui->actionAdd, ui->actionAddEbook, ui->actionAdd_Mutiple, ui->actionAdd_Mutiple_Recusive,
              ui->actionConvert, ui->actionSingle_eBook, ui->actionMultiple_eBooks, ui->actionMultiple_eBooks_2}) {
            action->setEnabled(false);
            action->setToolTip(tr("The library is read-only."));
        }
    }
    ui->mainToolbox->setCurrentIndex(0);
    restoreWindowState();
    qCDebug(lcApp) << "Finished initial loading.";
    // The update check runs on its own and shows itself only when there is news.
    new UpdateManager(this);
    startedUp = true;
}

MainWindow::~MainWindow()
{
    // Closing tabs while the window goes must not reach the panel and notes on the way out.
    if (ui->tabWidget) {
        disconnect(ui->tabWidget, nullptr, this, nullptr);
    }
}

FileSyncManager* MainWindow::getSyncManager() const
{
    return syncManager;
}

void MainWindow::setDataDir()
{
    const DataDirectories::Paths paths = DataDirectories::setDataDir();
    dataDir = paths.dataDir;
    libraryDir = paths.libraryDir;
}

bool MainWindow::dbOpen()
{
    const QString title = tr("Library database");
    for (;;) {
        const LibraryDatabase::Outcome outcome = LibraryDatabase::open(dataDir);
        switch (outcome.status) {
        case LibraryDatabase::Status::Opened:
        case LibraryDatabase::Status::Created:
            readOnly = outcome.readOnly;
            if (readOnly) {
                Prompt::information(this, title,
                                    tr("The library %1 can be read but not changed (it or its folder is "
                                       "read-only).\n\nYou can browse and read your books, but nothing you "
                                       "change can be saved.")
                                            .arg(outcome.path) +
                                        tr("\n\nAdding and importing books, deleting, rating, converting, "
                                           "capturing web pages and writing notes are switched off."));
                setWindowTitle(windowTitle() + tr(" (read-only)"));
            }
            return true;
        case LibraryDatabase::Status::CannotOpen:
            Prompt::critical(this, title,
                             tr("The library database %1 could not be opened.\n\n%2\n\nLirenta will close.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::InUse:
            Prompt::critical(this, title,
                             tr("The library database %1 is in use by another program and cannot be read now "
                                "(%2).\n\nNothing was changed. Close the other program, or wait a moment, and "
                                "start Lirenta again.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::CannotCreate:
            Prompt::critical(this, title,
                             tr("The library database %1 could not be created.\n\n%2\n\nLirenta will close.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::Damaged: {
            const QList<LibraryBackup::Contents> backups = LibraryBackup::goodBackups(dataDir);
            const auto holds = [](const LibraryBackup::Contents& backup) {
                return (backup.books == 1 ? tr("1 book") : tr("%1 books").arg(backup.books)) + tr(" and ") +
                       (backup.webPages == 1 ? tr("1 web page") : tr("%1 web pages").arg(backup.webPages));
            };
            const auto when = [](const LibraryBackup::Contents& backup) {
                return QLocale().toString(backup.takenAt.toLocalTime(), QLocale::LongFormat);
            };
            const QString damage = tr("The library database %1 is damaged or is not a Lirenta library (%2).\n\n"
                                      "It has been moved to %3 and will not be changed.")
                                       .arg(outcome.path, outcome.error, outcome.movedTo);
            QString chosen;
            if (backups.size() == 1) {
                // The offer says what the backup holds, so nobody restores an empty library by mistake.
                const LibraryBackup::Contents& only = backups.first();
                const QString offer =
                    damage + tr("\n\nRestore the backup taken on %1? It holds %2.").arg(when(only), holds(only));
                if (Prompt::question(this, title, offer, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
                    QMessageBox::Yes) {
                    chosen = only.path;
                }
            } else if (backups.size() > 1) {
                QStringList items;
                for (const LibraryBackup::Contents& backup : backups) {
                    items << tr("Taken on %1, with %2").arg(when(backup), holds(backup));
                }
                const int index =
                    Prompt::chooseItem(this, title, damage + tr("\n\nChoose a backup to restore, or Cancel:"), items);
                if (index >= 0) {
                    chosen = backups.at(index).path;
                }
            }
            if (!chosen.isEmpty() && LibraryBackup::restore(chosen, dataDir)) {
                break; // opens the restored library
            }
            const QString text = tr("The library database %1 is damaged or is not a Lirenta library (%2).\n\n"
                                    "It has been moved to %3 and will not be changed.\n\n"
                                    "Start with a new, empty library? Choose No to quit.")
                                     .arg(outcome.path, outcome.error, outcome.movedTo);
            if (Prompt::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
                QMessageBox::Yes) {
                return false;
            }
            break; // the path is free now: the next round creates a new library
        }
        }
    }
}

void MainWindow::refreshAuthorTree()
{
    if (authorsListed) {
        qDeleteAll(ui->libraryList->topLevelItem(1)->takeChildren());
        loadAuthorTree();
    }
    if (!ui->lineEdit->text().isEmpty()) {
        on_lineEdit_textChanged(ui->lineEdit->text());
    }
}

// The branches are filled when they are opened: a large library has tens of thousands of
// authors, and listing them would hold up the window for nothing while the branch is closed.
void MainWindow::prepareLibraryTree()
{
    for (const auto& [name, icon] : {std::pair{tr("Tags"), QStringLiteral(":/icons/icons/32x32/tag.png")},
                                     std::pair{tr("Series"), QStringLiteral(":/icons/icons/32x32/books.png")}}) {
        auto* branch = new QTreeWidgetItem(ui->libraryList, {name});
        branch->setIcon(0, QIcon(icon));
    }
    for (int index : {1, 3, 4}) {
        ui->libraryList->topLevelItem(index)->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    // Tags and series change in the book dialog: their branches are read again each time.
    connect(ui->libraryList, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        const QSignalBlocker quiet(ui->libraryList);
        if (item == ui->libraryList->topLevelItem(1) && !authorsListed) {
            loadAuthorTree();
        } else if (item == ui->libraryList->topLevelItem(3) || item == ui->libraryList->topLevelItem(4)) {
            loadShelves();
        }
    });
}

// Tags and series in use, each a branch entry that opens a tab of its books.
void MainWindow::loadShelves()
{
    const QList<std::pair<QTreeWidgetItem*, QStringList>> shelves = {
        {ui->libraryList->topLevelItem(3), TagsAndSeries::tagsInUse()},
        {ui->libraryList->topLevelItem(4), TagsAndSeries::seriesInUse()}};
    for (const auto& [branch, names] : shelves) {
        qDeleteAll(branch->takeChildren());
        for (const QString& name : names) {
            auto* entry = new QTreeWidgetItem(branch, {name});
            entry->setData(0, ShelfRole, name);
        }
        branch->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
    shelvesListed = true;
}

void MainWindow::loadAuthorTree()
{
    QTreeWidgetItem* branch = ui->libraryList->topLevelItem(1);
    Authors authors(nullptr);
    authors.loadAuthors(true); // an author whose last book went has no entry
    for (int i = 0; i < authors.count(); ++i) {
        const Author* author = authors.getAuthor(i);
        auto* entry = new QTreeWidgetItem(branch);
        entry->setText(0, author->getLastName() + QLatin1String(", ") + author->getFirstName());
        entry->setData(0, AuthorIdRole, author->getAid());
    }
    branch->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    authorsListed = true;
}

// Every menu entry does something, and the usual keys reach the usual actions (standard keys
// where the platform has them, and the explicit ones where it may not).
void MainWindow::setUpMenusAndKeys()
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
    ui->actionView->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    ui->actionList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));

    QAction* selectAll = ui->menuEdit->addAction(tr("Select All"), this, [this] {
        if (ItemViews* view = currentView()) {
            view->selectAll();
        }
    });
    selectAll->setObjectName(QStringLiteral("actionSelectAll"));
    selectAll->setShortcuts(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QAction* remove = ui->menuEdit->addAction(tr("Delete"), this, [this] {
        if (ItemViews* view = currentView(); view && !readOnly) {
            view->deleteSelected();
        }
    });
    remove->setObjectName(QStringLiteral("actionDelete"));
    remove->setShortcuts(QKeySequence::Delete);
    remove->setEnabled(!readOnly);
    QAction* properties = ui->menuEdit->addAction(tr("Properties"), this, [this] {
        if (ItemViews* view = currentView()) {
            view->showProperties();
        }
    });
    properties->setObjectName(QStringLiteral("actionProperties"));
    properties->setShortcuts(
        {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    ui->menuEdit->addSeparator();
    QAction* find = ui->menuEdit->addAction(tr("Find"), this, [this] { searchBox->focusField(); });
    find->setObjectName(QStringLiteral("actionFind"));
    find->setShortcuts(QKeySequence::Find);
    // The item actions act on the items of a view that has the focus; typing in a field, the
    // reader or the browser keeps its own keys.
    itemActions = {selectAll, remove, properties};
    for (QAction* action : std::as_const(itemActions)) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    for (ItemViews* view : ui->tabWidget->findChildren<ItemViews*>()) {
        view->addActions(itemActions);
    }
    addAction(find);

    ui->actionView->setText(tr("Icon View"));
    ui->actionList->setText(tr("Detailed View"));
    ui->menuView->addAction(ui->actionView);
    ui->menuView->addAction(ui->actionList);
    ui->menuView->addSeparator();
    ui->menuView->addAction(ui->actionNotes);
    ui->menuView->addSeparator();
    // The search scope, remembered per tab like the terms.
    QMenu* scopes = ui->menuView->addMenu(tr("Search Scope"));
    scopes->setObjectName(QStringLiteral("menuSearchScope"));
    auto* scopeGroup = new QActionGroup(this);
    searchTitles = scopes->addAction(tr("Titles and Descriptions"));
    searchTitles->setObjectName(QStringLiteral("actionSearchTitles"));
    searchEverything = scopes->addAction(tr("Everything"));
    searchEverything->setObjectName(QStringLiteral("actionSearchEverything"));
    for (QAction* scope : {searchTitles, searchEverything}) {
        scope->setCheckable(true);
        scopeGroup->addAction(scope);
    }
    searchTitles->setChecked(true);
    connect(scopeGroup, &QActionGroup::triggered, this, [this](QAction* chosen) {
        const bool everything = chosen == searchEverything;
        searchBox->showScope(everything);
        if (ItemViews* view = currentView()) {
            view->setSearchScope(everything ? SearchScope::Everything : SearchScope::TitlesAndDescriptions);
        }
    });
    searchBox->setScopeMenu(scopes);

    QAction* closeTab = new QAction(tr("Close Tab"), this);
    closeTab->setObjectName(QStringLiteral("actionCloseTab"));
    closeTab->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(closeTab, &QAction::triggered, this,
            [this] { on_tabWidget_tabCloseRequested(ui->tabWidget->currentIndex()); });
    QAction* nextTab = new QAction(tr("Next Tab"), this);
    nextTab->setShortcuts(QKeySequence::NextChild);
    connect(nextTab, &QAction::triggered, this,
            [this] { ui->tabWidget->setCurrentIndex((ui->tabWidget->currentIndex() + 1) % ui->tabWidget->count()); });
    QAction* previousTab = new QAction(tr("Previous Tab"), this);
    previousTab->setShortcuts(QKeySequence::PreviousChild);
    connect(previousTab, &QAction::triggered, this, [this] {
        const int count = ui->tabWidget->count();
        ui->tabWidget->setCurrentIndex((ui->tabWidget->currentIndex() + count - 1) % count);
    });
    for (QAction* action : {closeTab, nextTab, previousTab}) {
        addAction(action);
        ui->menuView->addAction(action);
    }

    ui->actionRecent_Files->setMenu(new QMenu(this));
    connect(ui->actionRecent_Files->menu(), &QMenu::aboutToShow, this, &MainWindow::fillRecentFilesMenu);

    QAction* keys = ui->menuHelp->addAction(tr("Keyboard Shortcuts"), this, [this] {
        QStringList lines;
        for (QAction* action : findChildren<QAction*>()) {
            if (!action->shortcut().isEmpty() && !action->text().isEmpty()) {
                lines << QString(action->text()).remove(QLatin1Char('&')) + QStringLiteral(": ") +
                             action->shortcut().toString(QKeySequence::NativeText);
            }
        }
        lines.sort(Qt::CaseInsensitive);
        lines.removeDuplicates();
        Prompt::information(this, tr("Keyboard Shortcuts"), lines.join(QLatin1Char('\n')));
    });
    keys->setObjectName(QStringLiteral("actionKeyboardShortcuts"));
    ui->menuHelp->insertAction(ui->actionAbout, keys);
    // Shortcuts show in tool tips too.
    for (QAction* action : findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty()) {
            const QString tip =
                action->toolTip().isEmpty() ? QString(action->text()).remove(QLatin1Char('&')) : action->toolTip();
            action->setToolTip(tip + QStringLiteral(" (") + action->shortcut().toString(QKeySequence::NativeText) +
                               QLatin1Char(')'));
        }
    }
}

// The window comes back where the user left it: place and size (maximised or not), the
// splitters, the books table's columns and its view. The first time it takes about two thirds
// of the screen, centred.
void MainWindow::restoreWindowState()
{
    LibrarySettings settings;
    if (!restoreGeometry(settings.windowGeometry())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect available = screen->availableGeometry();
            const QSize size = available.size() * 2 / 3;
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
        }
    }
    ui->splitter->restoreState(settings.splitterState());
    ui->vSplitter->restoreState(settings.vSplitterState());
    auto* books = qobject_cast<ItemViews*>(ui->tabWidget->widget(0));
    if (!books) {
        return;
    }
    QList<int> widths;
    for (const QVariant& width : settings.columnWidths()) {
        widths << width.toInt();
    }
    books->setColumnWidths(widths);
    if (settings.viewMode() == 1 && books->getCurrentView() != 1) {
        ui->actionView->setChecked(true);
        on_actionView_triggered();
    }
}

void MainWindow::saveWindowState()
{
    LibrarySettings settings;
    settings.setWindowGeometry(saveGeometry());
    settings.setSplitterState(ui->splitter->saveState());
    settings.setVSplitterState(ui->vSplitter->saveState());
    if (auto* books = qobject_cast<ItemViews*>(ui->tabWidget->widget(0))) {
        QVariantList widths;
        for (int width : books->columnWidths()) {
            widths << width;
        }
        settings.setColumnWidths(widths);
        settings.setViewMode(books->getCurrentView());
    }
}

void MainWindow::buildAddMenu()
{
    auto* button = qobject_cast<QToolButton*>(ui->toolbar->widgetForAction(ui->actionAdd));
    if (!button) {
        return;
    }
    auto* menu = new QMenu(button);
    menu->setStyleSheet("QMenu {    } ");
    for (QAction* action : {ui->actionAddEbook, ui->actionAdd_Mutiple, ui->actionAdd_Mutiple_Recusive}) {
        action->setIconVisibleInMenu(true);
        menu->addAction(action);
    }
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
}

void MainWindow::connectView(ItemViews* view)
{
    connect(view, &ItemViews::selectedViewItem, this, &MainWindow::renderInformationPanel);
    connect(view, &ItemViews::selectedViewItem, notes, &RichTextEditor::loadNoteItem);
    // Every view takes part in deletion, so an item deleted anywhere leaves every tab.
    connect(view, &ItemViews::itemDeleted, this, &MainWindow::itemDeleted);
    if (conversionWizard) {
        connect(view, &ItemViews::convertItems, conversionWizard, &ConversionWizard::convert);
    }
    connect(view, &ItemViews::selectedViewItem, this, &MainWindow::updateConvertAction);
    connect(this, &MainWindow::deleteItemFromViews, view, &ItemViews::deleteItemFromView);
    view->addActions(itemActions);
    connect(view, &ItemViews::openInReader, this, &MainWindow::openInReader);
}

ItemViews* MainWindow::newBooksTab()
{
    ui->stackedWidget->hide();
    auto* view = new ItemViews(ui->tabWidget, "Books", -1);
    const int index = ui->tabWidget->addTab(view, tr("Books"));
    view->renderItems();
    connectView(view);
    connect(this, &MainWindow::bookAdded, view, &ItemViews::addBook);
    ui->tabWidget->setTabIcon(index, QIcon(":/icons/icons/32x32/books.png"));
    ui->tabWidget->setIconSize(QSize(20, 20));
    ui->tabWidget->setCurrentIndex(index);
    return view;
}

ItemViews* MainWindow::newWebPageTab()
{
    auto* view = new ItemViews(ui->tabWidget, "WebPages", -1);
    const int index = ui->tabWidget->addTab(view, tr("Web Pages"));
    view->renderItems();
    view->setWebPageHeaders();
    connectView(view);
    connect(this, &MainWindow::webPageAdded, view, &ItemViews::addWebPage);
    ui->tabWidget->setCurrentIndex(index);
    ui->tabWidget->setTabIcon(index, QIcon(":/icons/icons/32x32/www_page.png"));
    ui->tabWidget->setIconSize(QSize(20, 20));
    return view;
}

ItemViews* MainWindow::newAuthorTab(int aid, const QString& title)
{
    ui->stackedWidget->hide();
    auto* view = new ItemViews(ui->tabWidget, "BooksAuthor", aid);
    const int index = ui->tabWidget->addTab(view, Reader::tabTitle(title));
    ui->tabWidget->setTabToolTip(index, title);
    view->renderItems();
    connectView(view);
    ui->tabWidget->setTabIcon(index, QIcon(":/icons/icons/32x32/group.png"));
    ui->tabWidget->setIconSize(QSize(20, 20));
    ui->tabWidget->setCurrentIndex(index); // opened by the user: it comes to the front
    return view;
}

ItemViews* MainWindow::newShelfTab(const QString& shelf, const QString& name)
{
    ui->stackedWidget->hide();
    auto* view = new ItemViews(ui->tabWidget, shelf, name);
    const int index = ui->tabWidget->addTab(view, Reader::tabTitle(name));
    ui->tabWidget->setTabToolTip(index, name);
    view->renderItems();
    connectView(view);
    ui->tabWidget->setTabIcon(
        index, QIcon(shelf == QLatin1String("Tags") ? ":/icons/icons/32x32/tag.png" : ":/icons/icons/32x32/books.png"));
    ui->tabWidget->setIconSize(QSize(20, 20));
    ui->tabWidget->setCurrentIndex(index);
    return view;
}

ItemViews* MainWindow::currentView() const
{
    QWidget* current = ui->tabWidget->currentWidget();
    return current && current->objectName() == QLatin1String("ItemViews") ? qobject_cast<ItemViews*>(current) : nullptr;
}

void MainWindow::renderInformationPanel(ViewItem* item)
{
    if (item) {
        ui->informationPanel->showItem(item);
    } else {
        ui->informationPanel->clear();
    }
}

void MainWindow::itemDeleted(int iid)
{
    notes->forgetItem(iid);
    Q_EMIT deleteItemFromViews(iid);
    // Several deletions in a row tidy the tree and the author tabs once, afterwards.
    if (!tidyPending) {
        tidyPending = true;
        QTimer::singleShot(0, this, &MainWindow::tidyAfterDeletions);
    }
}

// Authors left without books leave the tree, and their tabs close with a word in the status bar.
void MainWindow::tidyAfterDeletions()
{
    tidyPending = false;
    refreshAuthorTree();
    QStringList closed;
    for (int index = ui->tabWidget->count() - 1; index > 0; --index) {
        auto* view = qobject_cast<ItemViews*>(ui->tabWidget->widget(index));
        if (view && view->getType() == QLatin1String("BooksAuthor") && view->getBooks() &&
            view->getBooks()->getBooksList().isEmpty()) {
            closed << ui->tabWidget->tabText(index);
            on_tabWidget_tabCloseRequested(index);
        }
    }
    if (!closed.isEmpty()) {
        statusBar()->showMessage(tr("No books left by %1: the tab was closed.").arg(closed.join(QLatin1String("; "))));
    }
    updateWelcome();
}

void MainWindow::updateWelcome()
{
    auto* books = qobject_cast<ItemViews*>(ui->tabWidget->widget(0));
    const bool empty = books && books->getBooks() && books->getBooks()->getBooksList().isEmpty();
    welcome->setVisible(empty && !readOnly);
    if (welcome->isVisible()) {
        welcome->raise();
    }
}

MainWindow::DropKind MainWindow::dropKind(const QMimeData* data, QStringList* paths, QUrl* address)
{
    if (!data || !data->hasUrls()) {
        return DropKind::None;
    }
    const QList<QUrl> urls = data->urls();
    if (urls.size() == 1 &&
        (urls.first().scheme() == QLatin1String("http") || urls.first().scheme() == QLatin1String("https"))) {
        if (address) {
            *address = urls.first();
        }
        return DropKind::WebAddress;
    }
    static const QStringList bookTypes = {QStringLiteral("pdf"), QStringLiteral("epub"), QStringLiteral("chm"),
                                          QStringLiteral("mobi"), QStringLiteral("txt")};
    QStringList local;
    bool folder = false;
    for (const QUrl& url : urls) {
        const QFileInfo info(url.toLocalFile());
        if (!url.isLocalFile() || !info.exists()) {
            return DropKind::None;
        }
        if (info.isDir()) {
            folder = true;
        } else if (!bookTypes.contains(info.suffix().toLower())) {
            return DropKind::None;
        }
        local << info.absoluteFilePath();
    }
    if (paths) {
        *paths = local;
    }
    if (local.isEmpty()) {
        return DropKind::None;
    }
    return local.size() == 1 && !folder ? DropKind::OneBook : DropKind::SeveralBooks;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (dropKind(event->mimeData()) != DropKind::None) {
        event->acceptProposedAction();
    } else {
        event->ignore(); // the usual no-drop cursor
    }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (dropKind(event->mimeData()) != DropKind::None) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void MainWindow::dropEvent(QDropEvent* event)
{
    QStringList paths;
    QUrl address;
    const DropKind kind = dropKind(event->mimeData(), &paths, &address);
    if (kind == DropKind::None) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The dialogs open after the drop has ended, so the program the files came from is free.
    QTimer::singleShot(0, this, [this, kind, paths, address] {
        switch (kind) {
        case DropKind::OneBook:
            addBookFile(paths.first());
            break;
        case DropKind::SeveralBooks: {
            auto* import = new MultiSelect(this);
            if (import->populateTable(paths, true)) {
                runImport(import);
            } else {
                import->deleteLater();
            }
            break;
        }
        case DropKind::WebAddress:
            newBrowserTab(tr("Web Browser"))->openUrl(address.toString());
            break;
        case DropKind::None:
            break;
        }
    });
}

void MainWindow::bookAddedSlot(Book* book)
{
    qCDebug(lcApp) << "bookAddedSlot";
    // Every view keeps a copy of its own; the book handed over ends here.
    Q_EMIT bookAdded(book);
    if (coverMaker) {
        coverMaker->request(book->getId());
    }
    delete book;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A note that cannot be saved keeps the window open unless the user lets it go; when the
    // session ends from outside there is nobody to ask.
    if (notes && endingSession) {
        notes->updateNote();
    } else if (notes && !notes->saveOrAsk()) {
        event->ignore();
        return;
    }
    if (startedUp) {
        saveWindowState();
    }
    if (startedUp && !readOnly) {
        LibraryBackup::takeAtQuit(dataDir);
    }
    event->accept();
}

void MainWindow::on_actionQuit_triggered()
{
    close();
}

void MainWindow::bringToFront()
{
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
    statusBar()->showMessage(tr("Lirenta is already open on this library."), 5000);
}

void MainWindow::endSession()
{
    endingSession = true;
    close();
    // Dialogs still open run loops of their own; every loop ends.
    QCoreApplication::exit(0);
}

void MainWindow::on_actionAddEbook_triggered()
{
    addBookFile(QString());
}

void MainWindow::on_actionAdd_Mutiple_triggered()
{
    importFolder(false);
}

void MainWindow::on_actionAdd_Mutiple_Recusive_triggered()
{
    importFolder(true);
}

void MainWindow::importFolder(bool withSubfolders)
{
    auto* import = new MultiSelect(this);
    if (!import->populateTableDir(withSubfolders)) {
        import->deleteLater();
        return;
    }
    runImport(import);
}

void MainWindow::runImport(MultiSelect* import)
{
    connect(import, &MultiSelect::newBookItem, this, &MainWindow::bookAddedSlot);
    import->exec();
    // Books still downloading when the dialog closes are saved all the same.
    const auto finish = [this, import] {
        if (import->importedCount() > 0) {
            refreshAuthorTree();
        }
        import->deleteLater();
    };
    if (import->isBusy()) {
        connect(import, &MultiSelect::idle, this, finish);
    } else {
        finish();
    }
}

WebBrowser* MainWindow::newBrowserTab(const QString& title)
{
    auto* browser = new WebBrowser(ui->tabWidget);
    connect(browser, &WebBrowser::newViewItem, this, &MainWindow::webPageCaptured);
    // The tab is named after the page on screen.
    connect(browser->getWebView(), &QWebEngineView::titleChanged, this, [this, browser](const QString& pageTitle) {
        const int index = ui->tabWidget->indexOf(browser);
        if (index >= 0 && !pageTitle.isEmpty()) {
            ui->tabWidget->setTabText(index, Reader::tabTitle(pageTitle));
            ui->tabWidget->setTabToolTip(index, pageTitle);
        }
    });
    ui->tabWidget->setCurrentIndex(ui->tabWidget->addTab(browser, title));
    return browser;
}

void MainWindow::webPageCaptured(ViewItem* item)
{
    if (item && !item->items.isEmpty()) {
        statusBar()->showMessage(tr("Captured \"%1\" to %2").arg(item->title, item->filePath));
        Q_EMIT webPageAdded(static_cast<WebPage*>(item->items.first()));
    }
}

void MainWindow::on_actionWeb_triggered()
{
    newBrowserTab(tr("Browser"));
}

void MainWindow::on_actionCloud_triggered()
{
    WebBrowser* browser = newBrowserTab(tr("Cloud"));
    browser->openUrl(ServiceEndpoints::cloudBase());
    browser->disableNavigation();
}

void MainWindow::on_actionSync_triggered()
{
    if (!CloudApi::isValidToken(cloudToken)) {
        Login login(this);
        if (login.exec() != QDialog::Accepted) {
            return;
        }
        // The new token is used from now on: the next Sync neither logs in again nor opens a second window.
        cloudToken = login.getToken();
        delete syncManager;
        syncManager = nullptr;
    }
    if (!syncManager) {
        syncManager = new FileSyncManager(this);
        connect(syncManager, &FileSyncManager::tokenRejected, this, &MainWindow::loginAgain, Qt::QueuedConnection);
    } else {
        // One window: a new run starts in it (unless the last one is still going).
        syncManager->startRun();
    }
    syncManager->show();
    syncManager->raise();
}

// The service refused the stored token: it goes, the login comes back, and once the user is
// in again the sync starts over.
void MainWindow::loginAgain()
{
    cloudToken.clear();
    LibrarySettings().removeCloudToken();
    Login login(this);
    if (login.exec() != QDialog::Accepted) {
        return;
    }
    cloudToken = login.getToken();
    if (!syncManager) {
        return;
    }
    if (syncManager->isRunning()) {
        connect(syncManager, &FileSyncManager::runEnded, syncManager, &FileSyncManager::startRun,
                Qt::SingleShotConnection);
    } else {
        syncManager->startRun();
    }
}

void MainWindow::on_actionConvert_triggered()
{
    if (ItemViews* view = currentView()) {
        conversionWizard->convert(view->selectedItems());
    }
}

void MainWindow::updateConvertAction()
{
    // Enabled for exactly one selected book whose first file is a PDF.
    ItemViews* view = currentView();
    const QList<ViewItem*> selected = view ? view->getSelectedViewItems() : QList<ViewItem*>();
    ui->actionConvert->setEnabled(!readOnly && selected.size() == 1 &&
                                  selected.first()->type == QLatin1String("Book") &&
                                  !ConversionWizard::outputPathFor(selected.first()->filePath).isEmpty());
}

void MainWindow::itemChanged(Item* item)
{
    // Every view shows the record's new file, whichever copy of the record it holds.
    for (ItemViews* view : ui->tabWidget->findChildren<ItemViews*>()) {
        view->refreshItem(item->getId());
    }
}

void MainWindow::on_actionConfiguration_triggered()
{
    ConfigDialog dialog(this);
    dialog.setWindowTitle(tr("Preferences"));
    dialog.addPage(new ConfigApps(&dialog), QIcon(":/icons/icons/48x48/apps.png"), tr("Apps"));
    dialog.addPage(new ConfigApps(&dialog), QIcon(":/icons/icons/48x48/folder.png"), tr("Paths"));
    for (int i = 0; i < dialog.count(); ++i) {
        dialog.page(i)->layout()->setContentsMargins(0, 0, 0, 0);
        dialog.page(i)->layout()->setSpacing(0);
    }
    QDialogButtonBox* buttons = dialog.dialogButtonBox();
    buttons->removeButton(buttons->button(QDialogButtonBox::Ok));
    connect(buttons->addButton(QDialogButtonBox::Save), &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.setMinimumSize(700, 500);
    dialog.exec();
}

void MainWindow::on_actionOpen_triggered()
{
    const QString path =
        Prompt::openFileName(this, tr("Select Book"), QDir::homePath(), tr("Book Files (*.txt *.html *.epub)"));
    if (!path.isEmpty()) {
        openInReader(path);
    }
}

void MainWindow::openInReader(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo::exists(absolute)) {
        Prompt::warning(this, tr("Open"), tr("The file %1 was not found.").arg(absolute));
        return;
    }
    rememberRecentFile(absolute);
    // A book open already comes to the front instead of a second copy.
    for (int index = 1; index < ui->tabWidget->count(); ++index) {
        if (qobject_cast<Reader*>(ui->tabWidget->widget(index)) && ui->tabWidget->tabToolTip(index) == absolute) {
            ui->tabWidget->setCurrentIndex(index);
            return;
        }
    }
    auto* reader = new Reader(this, absolute);
    const int index = ui->tabWidget->addTab(reader, Reader::tabTitle(QFileInfo(absolute).fileName()));
    ui->tabWidget->setTabToolTip(index, absolute);
    ui->tabWidget->setCurrentIndex(index);
}

// Files named on the command line or handed over by a second start: books the reader shows open
// there; other book files are offered for adding.
void MainWindow::openFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (ItemFile::opensInReader(path)) {
            openInReader(path);
        } else if (!QFileInfo(path).isFile()) {
            Prompt::warning(this, tr("Open"), tr("The file %1 was not found.").arg(path));
        } else if (!readOnly &&
                   Prompt::question(this, tr("Add a book"),
                                    tr("Add \u201C%1\u201D to the library?").arg(QFileInfo(path).fileName()),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            addBookFile(path);
        }
    }
}

void MainWindow::addBookFile(const QString& path)
{
    BookProperties dialog(this, -1);
    if (!path.isEmpty()) {
        dialog.chooseFile(path);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    Book book(nullptr, dialog.getBook()->getId());
    Q_EMIT bookAdded(&book);
    refreshAuthorTree();
    if (coverMaker) {
        coverMaker->request(book.getId());
    }
}

void MainWindow::coverMade(int iid)
{
    for (ItemViews* view : ui->tabWidget->findChildren<ItemViews*>()) {
        view->refreshItem(iid);
    }
    if (ItemViews* view = currentView()) {
        ViewItem* focus = view->focusedViewItem();
        if (focus && focus->id == iid) {
            renderInformationPanel(focus);
        }
    }
}

void MainWindow::rememberRecentFile(const QString& path)
{
    LibrarySettings settings;
    QStringList recent = settings.recentFiles();
    recent.removeAll(path);
    recent.prepend(path);
    settings.setRecentFiles(QStringList(recent.mid(0, 10)));
}

void MainWindow::fillRecentFilesMenu()
{
    QMenu* menu = ui->actionRecent_Files->menu();
    menu->clear();
    const QStringList recent = LibrarySettings().recentFiles();
    for (const QString& path : recent) {
        QAction* entry = menu->addAction(QFileInfo(path).fileName(), this, [this, path] { openInReader(path); });
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

void MainWindow::on_tabWidget_tabCloseRequested(int index)
{
    if (index <= 0) {
        return; // the first books tab stays
    }
    QWidget* page = ui->tabWidget->widget(index);
    ui->tabWidget->removeTab(index);
    page->deleteLater();
}

void MainWindow::on_tabWidget_currentChanged(int index)
{
    if (index < 0) {
        return;
    }
    updateConvertAction();
    ItemViews* view = currentView();
    // The panel and the notes show what is highlighted in the tab on screen, or nothing.
    ViewItem* focus = view ? view->focusedViewItem() : nullptr;
    renderInformationPanel(focus);
    notes->loadNoteItem(focus);
    for (QAction* scope : {searchTitles, searchEverything}) {
        if (scope) {
            scope->setEnabled(view != nullptr);
        }
    }
    if (!view) {
        ui->actionList->setEnabled(false);
        ui->actionView->setEnabled(false);
        return;
    }
    disconnect(searchBox, nullptr, nullptr, nullptr);
    const bool everything = view->getSearchScope() == SearchScope::Everything;
    if (searchTitles) {
        (everything ? searchEverything : searchTitles)->setChecked(true);
    }
    searchBox->showScope(everything);
    searchBox->setTerms(view->getSearchTerms());
    connect(searchBox, &searchbox::searchText, view, &ItemViews::search);
    const bool iconMode = view->getCurrentView() == 1;
    ui->actionView->setChecked(iconMode);
    ui->actionList->setChecked(!iconMode);
    ui->actionList->setEnabled(true);
    ui->actionView->setEnabled(true);
}

void MainWindow::on_actionList_triggered()
{
    const bool nowChecked = ui->actionList->isChecked();
    ui->actionList->setChecked(true);
    if (!nowChecked) {
        return;
    }
    ui->actionView->setChecked(false);
    if (ItemViews* view = currentView()) {
        view->toggleView();
    }
}

void MainWindow::on_actionView_triggered()
{
    if (!ui->actionView->isChecked()) {
        ui->actionView->setChecked(true);
        return;
    }
    ui->actionList->setChecked(false);
    if (ItemViews* view = currentView()) {
        view->toggleView();
    }
}

void MainWindow::on_lineEdit_textChanged(const QString& text)
{
    if (text.isEmpty()) {
        ui->lineEdit->setStyleSheet("QLineEdit{background: none}");
        ui->libraryList->collapseAll();
        return;
    }
    ui->lineEdit->setStyleSheet("QLineEdit{background: #D8FCD7}");
    {
        // Opening every branch at once does not tell each one; the filter needs them filled.
        const QSignalBlocker quiet(ui->libraryList);
        if (!authorsListed) {
            loadAuthorTree();
        }
        if (!shelvesListed) {
            loadShelves();
        }
    }
    ui->libraryList->expandAll();
    const QString pattern = text.trimmed().replace(QLatin1Char(' '), QLatin1Char('|'));
    const QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    qCDebug(lcApp) << "regExp:" << pattern;
    for (QTreeWidgetItemIterator it(ui->libraryList); *it; ++it) {
        QTreeWidgetItem* entry = *it;
        if (entry->childCount() == 0 && entry->parent()) {
            entry->setHidden(!expression.isValid() || !expression.match(entry->text(0)).hasMatch());
        } else {
            entry->setHidden(false);
        }
    }
}

void MainWindow::on_actionNotes_toggled(bool on)
{
    if (on) {
        ui->stackedWidget->show();
        ui->mainToolbox->setCurrentIndex(1);
    } else {
        ui->mainToolbox->setCurrentIndex(0);
    }
}

void MainWindow::on_libraryList_itemDoubleClicked(QTreeWidgetItem* item, int)
{
    const QString text = item->text(0);
    if (text == tr("Web Pages")) {
        newWebPageTab();
    } else if (text == tr("Books")) {
        newBooksTab();
    } else if (text == tr("Authors")) {
        qCDebug(lcApp) << "Authors";
    }
    if (item->parent() && item->parent()->text(0) == tr("Authors")) {
        newAuthorTab(item->data(0, AuthorIdRole).toInt(), text);
    }
    if (item->parent() &&
        (item->parent() == ui->libraryList->topLevelItem(3) || item->parent() == ui->libraryList->topLevelItem(4))) {
        newShelfTab(item->parent() == ui->libraryList->topLevelItem(3) ? QStringLiteral("Tags")
                                                                       : QStringLiteral("Series"),
                    item->data(0, ShelfRole).toString());
    }
}

void MainWindow::on_actionNotices_triggered()
{
    NoticesWindow window(this);
    window.exec();
}

void MainWindow::on_actionCredits_triggered()
{
    Prompt::about(this, tr("Credits"),
                  tr("<p>Lirenta is built with these free parts, thanks to their authors:</p><ul>"
                     "<li><b>Qt 6</b> (Widgets, SQL, Network, WebEngine, PDF): LGPL 3</li>"
                     "<li><b>Chromium</b>, inside Qt WebEngine: BSD and other free licences</li>"
                     "<li><b>SQLite</b>: public domain</li>"
                     "<li><b>QuaZip</b> and <b>zlib</b>: LGPL 2.1 with static linking exception; zlib licence</li>"
                     "<li><b>Breeze icons</b> from KDE: LGPL 3</li>"
                     "<li><b>Calibre</b>'s ebook-convert, run as a separate program for conversions: GPL 3</li></ul>"));
}

void MainWindow::on_actionAbout_triggered()
{
    Prompt::about(this, tr("About Lirenta"),
                  tr("<center><b>Lirenta</b> by Quemark<hr>Version %1<hr><a href=\"%2\">Website</a></center>")
                      .arg(QStringLiteral(LIRENTA_VERSION_LABEL), QStringLiteral("https://lirenta.org/")));
}
