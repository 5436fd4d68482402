#include "MainWindow.h"

#include "ui_MainWindow.h"

#include "Book.h"
#include "BookAdding.h"
#include "BookDrops.h"
#include "Books.h"
#include "CloudSession.h"
#include "ConversionWizard.h"
#include "CoverMaker.h"
#include "DataDirectories.h"
#include "FileSyncManager.h"
#include "IndexingStatus.h"
#include "InformationPanel.h"
#include "ItemTabs.h"
#include "ItemViews.h"
#include "LibraryDatabase.h"
#include "LibraryStartup.h"
#include "LibraryTree.h"
#include "MainMenus.h"
#include "NoticeLog.h"
#include "NoticesWindow.h"
#include "Preferences.h"
#include "Prompt.h"
#include "RichTextEditor.h"
#include "SearchBinding.h"
#include "ServiceEndpoints.h"
#include "SharingStatus.h"
#include "ToolTabs.h"
#include "UpdateManager.h"
#include "ViewItem.h"
#include "WebBrowser.h"
#include "WebPage.h"
#include "WindowState.h"
#include "searchbox.h"

#include <QCloseEvent>
#include <QIcon>
#include <QStatusBar>
#include <QTimer>

MainWindow::MainWindow(LibraryDatabase& library, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), library(library)
{
    ui->setupUi(this);
    QApplication::setWindowIcon(QIcon(":/svg/icons/256x256/Lirenta.png"));
    NoticeLog::catchWarnings(); // Notices keeps warnings even while logging categories are quiet
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
    search = new SearchBinding(searchBox, menus, notes, this);
    itemTabs = new ItemTabs(ui->tabWidget, library, ui->stackedWidget, this);
    connect(itemTabs, &ItemTabs::opened, this, &MainWindow::connectView);
    tools = new ToolTabs(ui->tabWidget, this);
    connect(tools, &ToolTabs::pageCaptured, this, &MainWindow::webPageCaptured);
    connect(tools, &ToolTabs::pageRecaptured, this, &MainWindow::itemChanged);
    connect(ui->informationPanel, &InformationPanel::foundPlaceChosen, tools, &ToolTabs::openReaderAt);
    adding = new BookAdding(this, tools, readOnly);
    connect(adding, &BookAdding::bookSaved, this, &MainWindow::bookSaved);
    connect(adding, &BookAdding::importedBooks, this, [this] { tree->refresh(); });
    cloud = new CloudSession(this);
    tree = new LibraryTree(ui->libraryList, this);
    connect(tree, &LibraryTree::collectionRequested, this, &MainWindow::openCollection);
    drops = new BookDrops(this, adding);
    conversionWizard = new ConversionWizard(this);
    connect(conversionWizard, &ConversionWizard::itemChanged, this, &MainWindow::itemChanged);
    if (!readOnly) {
        coverMaker = new CoverMaker(this);
        connect(coverMaker, &CoverMaker::coverMade, this, &MainWindow::coverMade);
    }

    itemTabs->openFirst(ui->actionAddEbook, ui->actionAdd_Mutiple_Recusive, readOnly);
    connect(this, &MainWindow::bookAdded, itemTabs, &ItemTabs::updateWelcome);
    setAcceptDrops(!readOnly);
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
        statusBar()->addPermanentWidget(new IndexingStatus(library.contentIndexer(), this));
        library.startContentIndexing();
        statusBar()->addPermanentWidget(new SharingStatus(library, this));
    }
    new UpdateManager(this); // on its own; shows itself only when there is news
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

// A failed read, or a backup whose copy did not check out: every page is read, damage found is
// dealt with as at opening (moved aside, backups offered), and the tabs show the library after.
void MainWindow::checkLibraryAfterDamage(const QString& error)
{
    const QString damage = error.isEmpty() ? library.checkEveryPage() : error;
    if (damage.isEmpty() || !library.isOpen()) {
        return;
    }
    itemTabs->closeAll();
    notes->loadNoteItem(nullptr);
    LibraryStartup startup(library, this);
    if (!startup.recoverFromDamage(damage)) {
        startedUp = false; // nothing left to save or back up
        close();
        QCoreApplication::exit(EXIT_FAILURE);
        return;
    }
    itemTabs->openFirst(ui->actionAddEbook, ui->actionAdd_Mutiple_Recusive, readOnly);
    tree->refresh();
    if (!startup.restoredNote().isEmpty()) {
        statusBar()->showMessage(startup.restoredNote());
    }
}

FileSyncManager* MainWindow::getSyncManager() const
{
    return cloud->syncManager();
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
    adding->importFolder(false);
}

void MainWindow::on_actionAdd_Mutiple_Recusive_triggered()
{
    adding->importFolder(true);
}

WebBrowser* MainWindow::newBrowserTab(const QString& title)
{
    return tools->openBrowser(title);
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
    cloud->sync();
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
    itemTabs->refreshItem(item->getId());
}

void MainWindow::on_actionConfiguration_triggered()
{
    Preferences::run(this);
}

void MainWindow::on_actionOpen_triggered()
{
    tools->chooseAndOpen();
}

void MainWindow::openInReader(const QString& path)
{
    tools->openReader(path);
}

void MainWindow::openFiles(const QStringList& paths)
{
    raiseWindow();
    const QStringList opened = adding->openFiles(paths);
    if (!opened.isEmpty()) {
        statusBar()->showMessage(tr("Opened %1").arg(opened.join(QLatin1String(", "))), 8000);
    }
}

void MainWindow::addBookFile(const QString& path)
{
    adding->addBookFile(path);
}

// The saved record goes to the views as it is; each keeps a copy of its own.
void MainWindow::bookSaved(Book* book)
{
    Q_EMIT bookAdded(book);
    tree->refresh();
    if (coverMaker) {
        coverMaker->request(book->getId());
    }
}

void MainWindow::coverMade(int iid)
{
    itemTabs->refreshItem(iid);
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

void MainWindow::on_tabWidget_tabCloseRequested(int index)
{
    closeTab(index);
}

void MainWindow::closeTab(int index)
{
    itemTabs->close(index);
}

void MainWindow::on_tabWidget_currentChanged(int index)
{
    if (index < 0 || !search) {
        return;
    }
    updateConvertAction();
    ItemViews* view = currentView();
    // The panel and the notes show what is highlighted in the tab on screen, or nothing; beside
    // a book being read, its note.
    ViewItem* focus = view ? view->focusedViewItem() : nullptr;
    renderInformationPanel(focus);
    notes->loadNoteBeside(ui->tabWidget->widget(index), focus);
    search->bindTo(view);
    tree->highlight(view ? std::optional<CollectionKind>(view->getKind()) : std::nullopt,
                    view ? view->getKey() : QVariant());
    menus->showPresentationOf(view);
}

void MainWindow::on_actionList_triggered()
{
    menus->showPresentation(currentView(), false);
}

void MainWindow::on_actionView_triggered()
{
    menus->showPresentation(currentView(), true);
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
    Preferences::showCredits(this);
}

void MainWindow::on_actionAbout_triggered()
{
    Preferences::showAbout(this);
}

void MainWindow::connectView(ItemViews* view)
{
    if (view->getKind() == CollectionKind::WebPages) {
        connect(this, &MainWindow::webPageAdded, view, &ItemViews::addWebPage);
    } else if (view->getKind() == CollectionKind::AllBooks) {
        connect(this, &MainWindow::bookAdded, view, &ItemViews::addBook);
    }
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
    return itemTabs->open(kind, key, title);
}

ItemViews* MainWindow::currentView() const
{
    return itemTabs->current();
}

void MainWindow::renderInformationPanel(ViewItem* item)
{
    const ItemViews* view = currentView();
    const QString inside = view && view->getSearchScope() == SearchScope::InsideBooks ? view->getSearchTerms() : "";
    if (!item) {
        ui->informationPanel->clear();
    } else if (ui->informationPanel->showItem(item, &library.contentIndex(), inside)) {
        ui->mainToolbox->setCurrentWidget(ui->informationPage); // the places found are what the user looks for
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
    const QStringList closed = itemTabs->closeEmptyAuthorTabs();
    if (!closed.isEmpty()) {
        statusBar()->showMessage(tr("No books left by %1: the tab was closed.").arg(closed.join(QLatin1String("; "))));
    }
    itemTabs->updateWelcome();
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
