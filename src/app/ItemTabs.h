#pragma once

#include "CollectionKind.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>

class ItemViews;
class LibraryDatabase;
class QAction;
class WelcomePanel;
class QTabWidget;
class QWidget;

// The tabs that show a collection of the library (all books, an author's, a tag's, a series',
// the web pages): each made with its icon and title, the first books tab never closed.
class ItemTabs : public QObject
{
    Q_OBJECT

public:
    // `notesArea` is hidden when a books tab opens.
    ItemTabs(QTabWidget* tabs, LibraryDatabase& library, QWidget* notesArea, QObject* parent);

    ItemViews* open(CollectionKind kind, const QVariant& key, const QString& title);
    // The first books tab, which stays open (it shows no close button); while the library has
    // no books a welcome over it offers to add one or a folder of them.
    void openFirst(QAction* addBook, QAction* addFolder, bool readOnly);
    void updateWelcome();
    // The item view in front, if the tab in front is one.
    ItemViews* current() const;
    ItemViews* first() const;
    QList<ItemViews*> views() const;
    void close(int index);
    // Every tab goes, the first too (the library they show is being replaced).
    void closeAll();
    // Author tabs left without books close; their titles.
    QStringList closeEmptyAuthorTabs();
    // Reads the item again in every view that has it.
    void refreshItem(int iid);

Q_SIGNALS:
    void opened(ItemViews* view);

private:
    QTabWidget* tabs;
    LibraryDatabase& library;
    QWidget* notesArea;
    QPointer<WelcomePanel> welcome; // on the first tab, which goes when a damaged library is replaced
    bool readOnly = false;
};
