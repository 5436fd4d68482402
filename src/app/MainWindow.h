#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

namespace Ui {
class MainWindow;
}

class Authors;
class ConversionWizard;
class CoverMaker;
class FileSyncManager;
class Item;
class Book;
class ItemViews;
class MultiSelect;
class QMimeData;
class QUrl;
class WelcomePanel;
class QTreeWidgetItem;
class RichTextEditor;
class WebBrowser;
class WebPage;
class searchbox;
struct ViewItem;

// The application window: library tree, tabs of item views and tools, notes pane and
// information panel. Its constructor runs the start-up sequence.
class MainWindow : public QMainWindow
{
    Q_OBJECT
    Q_MOC_INCLUDE("Book.h")
    Q_MOC_INCLUDE("ViewItem.h")
    Q_MOC_INCLUDE("WebPage.h")

public:
    static constexpr int AuthorIdRole = Qt::UserRole + 11; // 43
    static constexpr int ShelfRole = Qt::UserRole + 12;    // a tag's or a series' name

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // What a drop would do: one book file opens the book dialog with it, several files or a
    // folder the batch import, a web address the browser; anything else is refused.
    enum class DropKind { None, OneBook, SeveralBooks, WebAddress };
    static DropKind dropKind(const QMimeData* data, QStringList* paths = nullptr, QUrl* address = nullptr);

    // False when start-up could not open a library; the program then exits.
    bool isStartedUp() const { return startedUp; }
    bool isReadOnly() const { return readOnly; }
    QString getDataDir() const { return dataDir; }
    QString getLibraryDir() const { return libraryDir; }
    RichTextEditor* getNotes() const { return notes; }
    searchbox* getSearchBox() const { return searchBox; }
    FileSyncManager* getSyncManager() const;
    ConversionWizard* getConversionWizard() const { return conversionWizard; }

    void setDataDir();
    bool dbOpen();
    ItemViews* newBooksTab();
    ItemViews* newWebPageTab();
    ItemViews* newAuthorTab(int aid, const QString& title);
    ItemViews* newShelfTab(const QString& shelf, const QString& name);
    WebBrowser* newBrowserTab(const QString& title);

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
    // The session ends from outside (a signal): saves what can be saved without asking and quits.
    void endSession();
    void loginAgain();
    // Another start of the program on this library: this window shows itself instead.
    void bringToFront();
    void openInReader(const QString& path);
    void openFiles(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
    void loadAuthorTree();
    void loadShelves();
    void prepareLibraryTree();
    // New books may bring new authors: the tree is rebuilt, keeping the filter.
    void refreshAuthorTree();
    void buildAddMenu();
    void setUpMenusAndKeys();
    void restoreWindowState();
    void saveWindowState();
    void tidyAfterDeletions();
    void importFolder(bool withSubfolders);
    void runImport(MultiSelect* import);
    // The welcome shows over the books tab while the library has no books.
    void updateWelcome();
    void connectView(ItemViews* view);
    void addBookFile(const QString& path);
    void rememberRecentFile(const QString& path);
    void fillRecentFilesMenu();
    ItemViews* currentView() const;

    std::unique_ptr<Ui::MainWindow> ui;
    QString dataDir;
    QString libraryDir;
    QString cloudToken;
    searchbox* searchBox = nullptr;
    RichTextEditor* notes = nullptr;
    QPointer<FileSyncManager> syncManager;
    ConversionWizard* conversionWizard = nullptr;
    CoverMaker* coverMaker = nullptr;
    WelcomePanel* welcome = nullptr;
    QList<QAction*> itemActions;
    QAction* searchTitles = nullptr;
    QAction* searchEverything = nullptr; // Select All, Delete, Properties: keys of the focused view
    bool startedUp = false;
    bool readOnly = false;
    bool authorsListed = false;
    bool shelvesListed = false;
    bool tidyPending = false;
    bool endingSession = false;
};
