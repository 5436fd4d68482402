#include "MainWindow.h"

#include "ui_MainWindow.h"

#include "Book.h"
#include "BookDrops.h"
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
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "LibraryStartup.h"
#include "LibraryTree.h"
#include "Login.h"
#include "MainMenus.h"
#include "MultiSelect.h"
#include "NoticeLog.h"
#include "NoticesWindow.h"
#include "Prompt.h"
#include "Reader.h"
#include "RichTextEditor.h"
#include "ServiceEndpoints.h"
#include "UpdateManager.h"
#include "Version.h"
#include "ViewItem.h"
#include "WebBrowser.h"
#include "WebPage.h"
#include "WelcomePanel.h"
#include "WindowState.h"
#include "searchbox.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>

MainWindow::MainWindow(LibraryDatabase& library, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), library(library)
{
    ui->setupUi(this);
    QApplication::setWindowIcon(QIcon(":/svg/icons/256x256/Lirenta.png"));
    // Categories are quiet unless QT_LOGGING_RULES enables them; the warnings are kept for the
    // Notices window all the same.
    NoticeLog::catchWarnings();
    setDataDir();
    if (!openLibrary()) {
        return;
    }
    ui->vSplitter->setSizes({150, 800});
    ui->splitter->setSizes({700, 100});

    notes = new RichTextEditor(this);
    notes->setLibraryReadOnly(readOnly);
    ui->stackedWidget->addWidget(notes);

    searchBox = new searchbox(this);
    ui->toolbar->addSeparator();
    ui->toolbar->addWidget(searchBox);
    menus = new MainMenus(this, ui.get(), searchBox, readOnly);
    connect(menus, &MainMenus::scopeChosen, this, [this](SearchScope scope) {
        searchBox->showScope(scope == SearchScope::Everything);
        if (ItemViews* view = currentView()) {
            view->setSearchScope(scope);
        }
    });
    tree = new LibraryTree(ui->libraryList, this);
    connect(tree, &LibraryTree::collectionRequested, this, &MainWindow::openCollection);
    drops = new BookDrops(this);
    conversionWizard = new ConversionWizard(this);
    conversionWizard->hide();
    connect(conversionWizard, &ConversionWizard::itemChanged, this, &MainWindow::itemChanged);
    if (!readOnly) {
        coverMaker = new CoverMaker(this);
        connect(coverMaker, &CoverMaker::coverMade, this, &MainWindow::coverMade);
    }

    openFirstTab();
    connect(this, &MainWindow::bookAdded, this, &MainWindow::updateWelcome);
    setAcceptDrops(!readOnly);
    cloudToken = LibrarySettings().cloudToken();
    ui->mainToolbox->setCurrentIndex(0);
    WindowState::restore(this, ui.get());
    // Damage a quick opening cannot see shows when the library is read, or in the day's backup.
    if (!library.readFailure().isEmpty()) {
        QTimer::singleShot(0, this, [this] { checkLibraryAfterDamage(this->library.readFailure()); });
    }
    connect(&library, &LibraryDatabase::backupFoundDamage, this, [this] { checkLibraryAfterDamage(QString()); });
    if (!readOnly) {
        DataDirectories::removeTemporaryCovers(dataDir);
        library.takeBackupIfDue();
    }
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

bool MainWindow::openLibrary()
{
    LibraryStartup startup(library, this);
    if (!startup.open(dataDir)) {
        return false;
    }
    readOnly = library.isReadOnly();
    if (readOnly) {
        setWindowTitle(windowTitle() + tr(" (read-only)"));
    }
    if (!startup.restoredNote().isEmpty()) {
        statusBar()->showMessage(startup.restoredNote());
    }
    return true;
}

// A read that failed, or a backup whose copy did not check out: every page of the library is
// read, and damage found is dealt with as at opening (moved aside, backups offered). The tabs
// show the library as it is afterwards.
void MainWindow::checkLibraryAfterDamage(const QString& error)
{
    const QString damage = error.isEmpty() ? library.checkEveryPage() : error;
    if (damage.isEmpty() || !library.isOpen()) {
        return;
    }
    for (int index = ui->tabWidget->count() - 1; index >= 0; --index) {
        QWidget* page = ui->tabWidget->widget(index);
        ui->tabWidget->removeTab(index);
        delete page;
    }
    notes->loadNoteItem(nullptr);
    LibraryStartup startup(library, this);
    if (!startup.recoverFromDamage(damage)) {
        startedUp = false; // nothing left to save or back up
        close();
        QCoreApplication::exit(EXIT_FAILURE);
        return;
    }
    openFirstTab();
    tree->refresh();
    if (!startup.restoredNote().isEmpty()) {
        statusBar()->showMessage(startup.restoredNote());
    }
}

// The first books tab stays open, so it shows no close button; the welcome shows over it.
void MainWindow::openFirstTab()
{
    newBooksTab();
    ui->tabWidget->tabBar()->setTabButton(0, QTabBar::RightSide, nullptr);
    ui->tabWidget->tabBar()->setTabButton(0, QTabBar::LeftSide, nullptr);
    welcome = new WelcomePanel(ui->tabWidget->widget(0));
    connect(welcome, &WelcomePanel::addBookRequested, ui->actionAddEbook, &QAction::trigger);
    connect(welcome, &WelcomePanel::addFolderRequested, ui->actionAdd_Mutiple_Recusive, &QAction::trigger);
    updateWelcome();
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

void MainWindow::on_actionQuit_triggered()
{
    close();
}

void MainWindow::bringToFront()
{
    raiseWindow();
    statusBar()->showMessage(tr("Lirenta is already open on this library."), 5000);
}

void MainWindow::raiseWindow()
{
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
}

void MainWindow::endSession()
{
    endingSession = true;
    close();
    // Dialogs still open run loops of their own; every loop ends.
    Prompt::endQuestions();
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
            tree->refresh();
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

// Books the reader shows open there; other book files are offered for adding.
void MainWindow::openFiles(const QStringList& paths)
{
    raiseWindow();
    QStringList opened;
    for (const QString& path : paths) {
        if (ItemFile::opensInReader(path)) {
            openInReader(path);
            opened << QFileInfo(path).fileName();
        } else if (!QFileInfo(path).isFile()) {
            Prompt::warning(this, tr("Open"), tr("The file %1 was not found.").arg(path));
        } else if (!readOnly &&
                   Prompt::question(this, tr("Add a book"),
                                    tr("Add \u201C%1\u201D to the library?").arg(QFileInfo(path).fileName()),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            addBookFile(path);
        }
    }
    if (!opened.isEmpty()) {
        statusBar()->showMessage(tr("Opened %1").arg(opened.join(QLatin1String(", "))), 8000);
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
    // The saved record goes to the views as it is; each keeps a copy of its own.
    Q_EMIT bookAdded(dialog.getBook());
    tree->refresh();
    if (coverMaker) {
        coverMaker->request(dialog.getBook()->getId());
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

void MainWindow::makeMissingCovers()
{
    const int made = coverMaker ? coverMaker->makeMissing(this) : 0;
    statusBar()->showMessage(tr("Covers made from the books' files: %1").arg(made), 8000);
}

void MainWindow::rememberRecentFile(const QString& path)
{
    LibrarySettings settings;
    QStringList recent = settings.recentFiles();
    recent.removeAll(path);
    recent.prepend(path);
    settings.setRecentFiles(QStringList(recent.mid(0, 10)));
}

void MainWindow::on_tabWidget_tabCloseRequested(int index)
{
    closeTab(index);
}

void MainWindow::closeTab(int index)
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
    if (index < 0 || !searchBox) {
        return;
    }
    updateConvertAction();
    ItemViews* view = currentView();
    // The panel and the notes show what is highlighted in the tab on screen, or nothing.
    ViewItem* focus = view ? view->focusedViewItem() : nullptr;
    renderInformationPanel(focus);
    notes->loadNoteItem(focus);
    menus->showScope(view ? view->getSearchScope() : SearchScope::TitlesAndDescriptions, view != nullptr);
    tree->highlight(view ? std::optional<CollectionKind>(view->getKind()) : std::nullopt,
                    view ? view->getKey() : QVariant());
    if (!view) {
        ui->actionList->setEnabled(false);
        ui->actionView->setEnabled(false);
        return;
    }
    disconnect(searchBox, nullptr, nullptr, nullptr);
    searchBox->showScope(view->getSearchScope() == SearchScope::Everything);
    searchBox->setTerms(view->getSearchTerms());
    connect(searchBox, &searchbox::searchText, view, [this, view](const QString& text) {
        // A note being typed is searched as it stands on screen.
        if (view->getSearchScope() == SearchScope::Everything) {
            notes->updateNote();
        }
        view->search(text);
    });
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
    ui->lineEdit->setStyleSheet(text.isEmpty() ? "QLineEdit{background: none}" : "QLineEdit{background: #D8FCD7}");
    tree->filter(text);
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
    tree->open(item);
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

void MainWindow::connectView(ItemViews* view)
{
    connect(view, &ItemViews::selectedViewItem, this, &MainWindow::renderInformationPanel);
    connect(view, &ItemViews::selectedViewItem, notes, &RichTextEditor::loadNoteItem);
    // Every view takes part in deletion, so an item deleted anywhere leaves every tab.
    connect(view, &ItemViews::itemDeleted, this, &MainWindow::itemDeleted);
    connect(view, &ItemViews::convertItems, conversionWizard, &ConversionWizard::convert);
    connect(view, &ItemViews::selectedViewItem, this, &MainWindow::updateConvertAction);
    connect(this, &MainWindow::deleteItemFromViews, view, &ItemViews::deleteItemFromView);
    view->addActions(menus->itemActions());
    connect(view, &ItemViews::openInReader, this, &MainWindow::openInReader);
}

ItemViews* MainWindow::newBooksTab()
{
    return openCollection(CollectionKind::AllBooks, QVariant(), tr("Books"));
}

ItemViews* MainWindow::newWebPageTab()
{
    return openCollection(CollectionKind::WebPages, QVariant(), tr("Web Pages"));
}

ItemViews* MainWindow::newAuthorTab(int aid, const QString& title)
{
    return openCollection(CollectionKind::AuthorBooks, aid, title);
}

ItemViews* MainWindow::openCollection(CollectionKind kind, const QVariant& key, const QString& title)
{
    static const QHash<CollectionKind, QString> icons = {
        {CollectionKind::AllBooks, ":/icons/icons/32x32/books.png"},
        {CollectionKind::AuthorBooks, ":/icons/icons/32x32/group.png"},
        {CollectionKind::TaggedBooks, ":/icons/icons/32x32/tag.png"},
        {CollectionKind::SeriesBooks, ":/icons/icons/32x32/books.png"},
        {CollectionKind::WebPages, ":/icons/icons/32x32/www_page.png"}};
    if (kind != CollectionKind::WebPages) {
        ui->stackedWidget->hide();
    }
    auto* view = new ItemViews(ui->tabWidget, kind, key, &library);
    const int index = ui->tabWidget->addTab(view, Reader::tabTitle(title));
    ui->tabWidget->setTabToolTip(index, title);
    view->renderItems();
    if (kind == CollectionKind::WebPages) {
        view->setWebPageHeaders();
        connect(this, &MainWindow::webPageAdded, view, &ItemViews::addWebPage);
    } else if (kind == CollectionKind::AllBooks) {
        connect(this, &MainWindow::bookAdded, view, &ItemViews::addBook);
    }
    connectView(view);
    ui->tabWidget->setTabIcon(index, QIcon(icons.value(kind)));
    ui->tabWidget->setIconSize(QSize(20, 20));
    ui->tabWidget->setCurrentIndex(index); // opened by the user: it comes to the front
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
    tree->refresh();
    QStringList closed;
    for (int index = ui->tabWidget->count() - 1; index > 0; --index) {
        auto* view = qobject_cast<ItemViews*>(ui->tabWidget->widget(index));
        if (view && view->getKind() == CollectionKind::AuthorBooks && view->getBooks() &&
            view->getBooks()->getBooksList().isEmpty()) {
            closed << ui->tabWidget->tabText(index);
            closeTab(index);
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

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (BookDrops::kindOf(event->mimeData()) != BookDrops::Kind::None) {
        event->acceptProposedAction();
    } else {
        event->ignore(); // the usual no-drop cursor
    }
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (drops->drop(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void MainWindow::bookAddedSlot(Book* book)
{
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
        WindowState::save(this, ui.get());
    }
    if (startedUp && !readOnly) {
        library.takeBackupAtQuit();
    }
    event->accept();
}
