#pragma once

#include "SearchScope.h"

#include <QObject>
#include <QPointer>

class ItemViews;
class MainMenus;
class RichTextEditor;
class searchbox;

// Ties the tool bar's search field and the scope entries to the tab in front: its terms and
// scope show, and what is typed searches it.
class SearchBinding : public QObject
{
    Q_OBJECT

public:
    SearchBinding(searchbox* field, MainMenus* menus, RichTextEditor* notes, QObject* parent);

    // The view in front, or none (a reader or browser tab): nothing to search there.
    void bindTo(ItemViews* view);

private:
    searchbox* field;
    MainMenus* menus;
    RichTextEditor* notes;
    QPointer<ItemViews> view;
};
