#pragma once

#include "CollectionKind.h"
#include "ItemCells.h"
#include "ItemRoles.h"
#include "SearchScope.h"

#include <QAction>
#include <QList>
#include <QVariant>
#include <QWidget>

#include <memory>

namespace Ui {
class ItemViews;
}

class Book;
class Books;
class Item;
class LazyCellWidgets;
class LibraryDatabase;
class QIcon;
class QListWidgetItem;
class QTableWidgetItem;
class RowVisibility;
class WebPage;
class WebPages;
struct BookTableItem;
struct ViewItem;
struct WebPageTableItem;

// One collection of library items (all books, one author's books, or the web pages) shown as
// a table and as a cover grid, filtered by search text, with the actions on the selected items.
class ItemViews : public QWidget
{
    Q_OBJECT
    Q_MOC_INCLUDE("Book.h")
    Q_MOC_INCLUDE("ViewItem.h")
    Q_MOC_INCLUDE("WebPage.h")

public:
    // Data roles other parts of the program read from the cells.
    static constexpr int FilePathRole = ItemRoles::FilePath;
    static constexpr int IdRole = ItemRoles::Id;
    static constexpr int UrlRole = ItemRoles::Url;
    static constexpr int RemovedRole = ItemRoles::Removed;

    // A collection named "Books", "BooksAuthor" (`id` the author's) or "WebPages", searched
    // without the library's indexes.
    ItemViews(QWidget* parent, const QString& type, int id);
    // A collection of `kind` (keyed by an author's id, a tag or a series), searched through
    // `library`'s indexes.
    ItemViews(QWidget* parent, CollectionKind kind, const QVariant& key, LibraryDatabase* library,
              const ViewTuning& tuning = ViewTuning());
    ~ItemViews() override;

    CollectionKind getKind() const { return kind; }
    // The author's id, the tag or the series the collection keeps to.
    QVariant getKey() const { return key; }
    QString getSearchTerms() const { return searchTerms; }
    SearchScope getSearchScope() const { return searchScope; }
    // What the search looks at; a search on screen is run again in the new scope.
    void setSearchScope(SearchScope scope);
    int getCurrentView() const;
    Books* getBooks() const { return books; }
    WebPages* getWebPages() const { return webPages; }
    QList<ViewItem*> getSelectedViewItems() const { return selectedViewItems; }
    // The table's column widths, to keep them from one session to the next.
    QList<int> columnWidths() const;
    void setColumnWidths(const QList<int>& widths);
    // The selected item the information panel and the notes show, or null.
    ViewItem* focusedViewItem() const;

    void addItems(QList<ViewItem*>* items) { viewItems = items; }
    void setWebPageHeaders();

    // The cells are made and kept by ItemCells.
    void renderItems();
    void renderNewItem(ViewItem* vi, int row)
    {
        renderNewListItem(vi);
        renderNewTableItem(vi, row);
    }
    void renderNewListItem(ViewItem* vi) { cells->renderNewListItem(vi); }
    void renderNewTableItem(ViewItem* vi, int row) { cells->renderNewTableItem(vi, row); }
    void renderItem(ViewItem* vi, QListWidgetItem* cell) { cells->renderItem(vi, cell); }
    void renderItem(ViewItem* vi, BookTableItem* row) { cells->renderItem(vi, row); }
    void renderItem(ViewItem* vi, WebPageTableItem* row) { cells->renderItem(vi, row); }
    void renderUpdatedItem(ViewItem* vi) { cells->renderUpdatedItem(vi); }
    void renderUpdatedItem(QListWidgetItem* cell) { cells->renderUpdatedItem(cell); }

    void hideShow();
    QList<Item*> selectedItems() const;
    void selectTableItems();
    void selectListItems();
    void toggleView();

    void bookItemMenu(bool single);
    void webPageItemMenu(bool single);
    void openFile(const QString& path);
    // The desktop's own program for the file, whichever opener is the default.
    void openInSystemViewer(const QString& path);
    void openUrl(const QString& url);

Q_SIGNALS:
    void selectedViewItem(ViewItem* vi);
    // A book file the built-in reader shows (PDF, EPUB, HTML, text) was opened.
    void openInReader(const QString& path);
    void itemDeleted(int iid);
    void convertItems(QList<Item*> items);
    void ratingSet(int iid, int rating);

public Q_SLOTS:
    void addItem(ViewItem* vi);
    void addBook(Book* book);
    void addWebPage(WebPage* page);
    // Reads the record with this id again from the library and shows it, if this view has it.
    void refreshItem(int iid);
    void updateItem(Item* item);
    void search(const QString& terms);
    void menu(const QPoint& point);
    void setRating(int iid, int rating);
    void deleteItemFromView(int iid);
    // The Edit menu's entries, on the presentation on screen.
    void selectAll();
    void deleteSelected() { deleteItem(); }
    void showProperties() { editItem(); }

    // The context menu's entries (see ItemActions).
    void editItem();
    void deleteItem();
    void actionConvertItems();
    void openItemFile(QAction* action) { openFile(action->data().toString()); }
    void openItemUrl(QAction* action) { openUrl(action->data().toString()); }

private Q_SLOTS:
    void on_viewTable_itemSelectionChanged();
    void on_viewList_itemSelectionChanged();
    void on_viewTable_itemDoubleClicked(QTableWidgetItem* item);
    void on_viewList_itemDoubleClicked(QListWidgetItem* item);

private:
    void setSelection(const QList<ViewItem*>& chosen);
    void dropHiddenFromSelection();
    void reportSelection();
    void makeRating(int row);
    void markMissingFile(int row, const ViewItem* vi);
    void releaseSortKeys();
    void searchNow(const QString& terms);

    std::unique_ptr<Ui::ItemViews> ui;
    QList<ViewItem*>* viewItems = nullptr;
    QList<ViewItem*> noItems;
    QList<ViewItem*> selectedViewItems;
    CollectionKind kind;
    QVariant key;
    LibraryDatabase* library = nullptr;
    Books* books = nullptr;
    WebPages* webPages = nullptr;
    QString searchTerms;
    SearchScope searchScope = SearchScope::TitlesAndDescriptions;
    bool unfiltered = true;
    ItemCells* cells = nullptr;
    LazyCellWidgets* ratings = nullptr;
    std::unique_ptr<RowVisibility> visibility;
};
