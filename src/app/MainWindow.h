#pragma once

#include "CollectionKind.h"

#include <QMainWindow>
#include <QVariant>

#include <memory>

namespace Ui {
class MainWindow;
}

class Book;
class BookAdding;
class BookDrops;
class CloudSession;
class ItemTabs;
class SearchBinding;
class ToolTabs;
class ConversionWizard;
class CoverMaker;
class FileSyncManager;
class Item;
class ItemViews;
class LibraryDatabase;
class LibraryTree;
class MainMenus;
class MultiSelect;
class QTreeWidgetItem;
class RichTextEditor;
class WebBrowser;
class WebPage;
class searchbox;
struct ViewItem;

// The application window: library tree, tabs of item views and tools, notes pane and
// information panel. It coordinates: its constructor opens the library (LibraryStartup); the
// menus and keys are MainMenus', the tree LibraryTree's, the tabs ItemTabs' and ToolTabs',
// adding books BookAdding's, drops BookDrops', the search field SearchBinding's and the cloud
// CloudSession's.
class MainWindow : public QMainWindow
{
    Q_OBJECT
    Q_MOC_INCLUDE("Book.h")
    Q_MOC_INCLUDE("ViewItem.h")
    Q_MOC_INCLUDE("WebPage.h")

public:
    explicit MainWindow(LibraryDatabase& library, QWidget* parent = nullptr);
    ~MainWindow() override;

    // False when start-up could not open a library; the program then exits.
    bool isStartedUp() const { return startedUp; }
    bool isReadOnly() const { return readOnly; }
    QString getDataDir() const { return dataDir; }
    QString getLibraryDir() const { return libraryDir; }
    RichTextEditor* getNotes() const { return notes; }
    searchbox* getSearchBox() const { return searchBox; }
    FileSyncManager* getSyncManager() const;
    ConversionWizard* getConversionWizard() const { return conversionWizard; }
    // The item view of the tab in front, if that tab is one.
    ItemViews* currentView() const;

    void setDataDir();
    ItemViews* newBooksTab();
    ItemViews* newWebPageTab();
    ItemViews* newAuthorTab(int aid, const QString& title);
    // A tab of a collection: all books, an author's (keyed by the id), a tag's or a series'.
    ItemViews* openCollection(CollectionKind kind, const QVariant& key, const QString& title);
    WebBrowser* newBrowserTab(const QString& title);
    void closeTab(int index);
    // Adds the book file through the book dialog (an empty path lets the user choose one).
    void addBookFile(const QString& path);

Q_SIGNALS:
    void bookAdded(Book* book);
    void deleteItemFromViews(int iid);
    // A page captured in a browser tab; every web pages view shows it.
    void webPageAdded(WebPage* page);

public Q_SLOTS:
    void renderInformationPanel(ViewItem* item);
    void itemDeleted(int iid);
    void bookAddedSlot(Book* book);
    void webPageCaptured(ViewItem* item);
    void itemChanged(Item* item);
    void updateConvertAction();
    // A cover was made from a book's file: the views and the panel show it.
    void coverMade(int iid);
    void makeMissingCovers();
    // The session ends from outside (a signal): saves what can be saved without asking and quits.
    void endSession();
    // Another start of the program on this library: this window shows itself instead.
    void bringToFront();
    void openInReader(const QString& path);
    // Files named on the command line or handed over by a second start.
    void openFiles(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void on_actionQuit_triggered();
    void on_actionAddEbook_triggered();
    void on_actionAdd_Mutiple_triggered();
    void on_actionAdd_Mutiple_Recusive_triggered();
    void on_actionWeb_triggered();
    void on_tabWidget_tabCloseRequested(int index);
    void on_actionCloud_triggered();
    void on_actionSync_triggered();
    void on_actionView_triggered();
    void on_actionList_triggered();
    void on_tabWidget_currentChanged(int index);
    void on_lineEdit_textChanged(const QString& text);
    void on_actionConvert_triggered();
    void on_actionNotes_toggled(bool on);
    void on_actionOpen_triggered();
    void on_libraryList_itemDoubleClicked(QTreeWidgetItem* item, int column);
    void on_actionConfiguration_triggered();
    void on_actionAbout_triggered();
    void on_actionNotices_triggered();
    void on_actionCredits_triggered();

private:
    bool openLibrary();
    void raiseWindow();
    void bookSaved(Book* book);
    void checkLibraryAfterDamage(const QString& error);
    ItemViews* addCollectionTab(ItemViews* view, const QString& title, const QString& icon);
    void tidyAfterDeletions();
    void connectView(ItemViews* view);

    std::unique_ptr<Ui::MainWindow> ui;
    LibraryDatabase& library;
    QString dataDir;
    QString libraryDir;
    searchbox* searchBox = nullptr;
    RichTextEditor* notes = nullptr;
    ItemTabs* itemTabs = nullptr;
    ToolTabs* tools = nullptr;
    BookAdding* adding = nullptr;
    SearchBinding* search = nullptr;
    CloudSession* cloud = nullptr;
    ConversionWizard* conversionWizard = nullptr;
    CoverMaker* coverMaker = nullptr;
    MainMenus* menus = nullptr;
    LibraryTree* tree = nullptr;
    BookDrops* drops = nullptr;
    bool startedUp = false;
    bool readOnly = false;
    bool tidyPending = false;
    bool endingSession = false;
};
