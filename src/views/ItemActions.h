#pragma once

#include <QCoreApplication>
#include <QList>

#include <functional>

class Item;
class ItemViews;
class QMenu;
class QWidget;
struct ViewItem;

// What the user does to the items selected in a view: the context menu, the properties
// dialog and deleting from the library. The view keeps the cells and reports the changes.
class ItemActions
{
    Q_DECLARE_TR_FUNCTIONS(ItemViews)

public:
    using Changed = std::function<void(ViewItem* vi)>;
    using Deleted = std::function<void(int iid)>;

    // The context menu of a book or web page selection (one item gets more entries), whose
    // entries call the view's slots.
    static void bookItemMenu(ItemViews* view, const ViewItem* vi, bool single);
    static void webPageItemMenu(ItemViews* view, const ViewItem* vi, bool single);
    // Runs the properties dialog of the item. On Save the record is read again and `changed`
    // hears of it; when the user deletes the item there, `deleted` does.
    static void edit(QWidget* parent, ViewItem* vi, const Changed& changed, const Deleted& deleted);
    // Asks, then deletes the items' rows from the library (never their files), telling
    // `deleted` of each as its rows are gone; those that fail are named in a message.
    static void deleteChosen(QWidget* parent, const QList<ViewItem*>& chosen, const Deleted& deleted);
    // Deletes one record's rows from the library; false when nothing was deleted.
    static bool deleteFromLibrary(Item* record);

private:
    static void addSystemViewerEntry(QMenu* menu, ItemViews* view, const QString& path);
};
