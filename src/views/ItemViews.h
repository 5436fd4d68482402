#pragma once

#include "SearchScope.h"

#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QSet>
#include <QWidget>

#include <memory>

namespace Ui {
class ItemViews;
}

class Book;
class Books;
class CoverLoader;
class Item;
class QAction;
class QIcon;
class QListWidgetItem;
class QTableWidgetItem;
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
    static constexpr int FilePathRole = Qt::UserRole + 5; // 37
    static constexpr int IdRole = Qt::UserRole + 10;      // 42
    static constexpr int UrlRole = Qt::UserRole + 15;     // 47
    static constexpr int RemovedRole = 101;

    ItemViews(QWidget* parent, const QString& type, int id);
    // The books with a tag (`shelf` "Tags") or in a series ("Series").
    ItemViews(QWidget* parent, const QString& shelf, const QString& name);
    ~ItemViews() override;

    QString getType() const { return type; }
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

    void renderItems();
    void renderNewItem(ViewItem* vi, int row);
    void renderNewListItem(ViewItem* vi);
    void renderNewTableItem(ViewItem* vi, int row);
    void renderItem(ViewItem* vi, QListWidgetItem* cell);
    void renderItem(ViewItem* vi, BookTableItem* cells);
    void renderItem(ViewItem* vi, WebPageTableItem* cells);
    void renderUpdatedItem(ViewItem* vi);
    void renderUpdatedItem(QListWidgetItem* cell);

    void hideShow();
    QList<Item*> selectedItems() const;
    void selectTableItems();
    void selectListItems();
    void toggleView();

    void bookItemMenu(bool single);
    void webPageItemMenu(bool single);
    void openFile(const QString& path);
    void openUrl(const QString& url);

    // Texts the cells show, kept here so the table and the grid agree.
    static QString gridTitle(const QString& title);
    static QString toolTip(const ViewItem* vi);

Q_SIGNALS:
    void selectedViewItem(ViewItem* vi);
    // A book file the built-in reader shows (EPUB, HTML, text) was opened.
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
    void deleteSelected();
    void showProperties();

private Q_SLOTS:
    void on_viewTable_itemSelectionChanged();
    void on_viewList_itemSelectionChanged();
    void on_viewTable_itemDoubleClicked(QTableWidgetItem* item);
    void on_viewList_itemDoubleClicked(QListWidgetItem* item);
    void editItem();
    void deleteItem();
    void actionConvertItems();
    void openItemFile(QAction* action);
    void openItemUrl(QAction* action);
    void showCover(const QString& path, const QIcon& icon);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setSelection(const QList<ViewItem*>& chosen);
    void dropHiddenFromSelection();
    void reportSelection();
    // Deletes the record's rows from the library; false when nothing was deleted.
    static bool deleteFromLibrary(Item* record);
    void makeVisibleRatings();
    void markMissingFile(int row, const ViewItem* vi);
    void setShown(ViewItem* vi, bool shown);
    int listRowOf(ViewItem* vi);
    void showOnlyInList(const QSet<ViewItem*>& wanted);
    void showOnlyInTable(const QSet<ViewItem*>& wanted);
    // Applies the searches made while the view (0 table, 1 grid) was hidden.
    void bringViewInStep(int view);
    int tableRowOf(ViewItem* vi);
    void showOnly(const QSet<ViewItem*>& wanted);
    void renderIntoEmptyViews(const QList<ViewItem*>& items);
    void placeTableCells(ViewItem* vi, int row);
    void finishRendering();
    void releaseSortKeys();
    void searchNow(const QString& terms);
    void setCommonRoles(QTableWidgetItem* cell, const ViewItem* vi);

    std::unique_ptr<Ui::ItemViews> ui;
    QList<ViewItem*>* viewItems = nullptr;
    QList<ViewItem*> noItems;
    QHash<ViewItem*, QListWidgetItem*> listItems;
    QHash<QListWidgetItem*, ViewItem*> listViewItems;
    QHash<ViewItem*, QTableWidgetItem*> tableItems;
    QHash<QTableWidgetItem*, ViewItem*> tableViewItems;
    QHash<ViewItem*, BookTableItem*> bookTableItems;
    QHash<ViewItem*, WebPageTableItem*> webPageTableItems;
    QList<ViewItem*> selectedViewItems;
    QString type;
    Books* books = nullptr;
    WebPages* webPages = nullptr;
    QString searchTerms;
    SearchScope searchScope = SearchScope::TitlesAndDescriptions;
    bool unfiltered = true;
    bool renderingBatch = false;
    CoverLoader* coverLoader;
    // Which items are shown, and where their grid cells and table rows were last seen: a
    // search then touches only the items whose visibility changes, not every cell.
    QSet<ViewItem*> shownItems;
    QHash<ViewItem*, int> listRowCache;
    QHash<ViewItem*, int> tableRowCache;
    // Searches made while the grid (or the table) was not on screen, not yet applied to it.
    bool gridBehind = false;
    bool tableBehind = false;
    // Grid cells waiting for their cover, by cover path.
    QMultiHash<QString, QListWidgetItem*> cellsAwaitingCover;
};
