#include "ItemTabs.h"

#include "Books.h"
#include "ItemViews.h"
#include "Reader.h"
#include "WelcomePanel.h"

#include <QAction>
#include <QHash>
#include <QIcon>
#include <QTabBar>
#include <QTabWidget>

ItemTabs::ItemTabs(QTabWidget* tabs, LibraryDatabase& library, QWidget* notesArea, QObject* parent)
    : QObject(parent), tabs(tabs), library(library), notesArea(notesArea)
{
}

ItemViews* ItemTabs::open(CollectionKind kind, const QVariant& key, const QString& title)
{
    static const QHash<CollectionKind, QString> icons = {
        {CollectionKind::AllBooks, ":/icons/icons/32x32/books.png"},
        {CollectionKind::AuthorBooks, ":/icons/icons/32x32/group.png"},
        {CollectionKind::TaggedBooks, ":/icons/icons/32x32/tag.png"},
        {CollectionKind::SeriesBooks, ":/icons/icons/32x32/books.png"},
        {CollectionKind::WebPages, ":/icons/icons/32x32/www_page.png"}};
    if (kind != CollectionKind::WebPages) {
        notesArea->hide();
    }
    auto* view = new ItemViews(tabs, kind, key, &library);
    const int index = tabs->addTab(view, Reader::tabTitle(title));
    tabs->setTabToolTip(index, title);
    view->renderItems();
    if (kind == CollectionKind::WebPages) {
        view->setWebPageHeaders();
    }
    Q_EMIT opened(view);
    tabs->setTabIcon(index, QIcon(icons.value(kind)));
    tabs->setIconSize(QSize(20, 20));
    tabs->setCurrentIndex(index); // opened by the user: it comes to the front
    return view;
}

void ItemTabs::openFirst(QAction* addBook, QAction* addFolder, bool libraryReadOnly)
{
    readOnly = libraryReadOnly;
    open(CollectionKind::AllBooks, QVariant(), tr("Books"));
    tabs->tabBar()->setTabButton(0, QTabBar::RightSide, nullptr);
    tabs->tabBar()->setTabButton(0, QTabBar::LeftSide, nullptr);
    welcome = new WelcomePanel(tabs->widget(0));
    connect(welcome, &WelcomePanel::addBookRequested, addBook, &QAction::trigger);
    connect(welcome, &WelcomePanel::addFolderRequested, addFolder, &QAction::trigger);
    updateWelcome();
}

void ItemTabs::updateWelcome()
{
    ItemViews* books = first();
    const bool empty = books && books->getBooks() && books->getBooks()->getBooksList().isEmpty();
    if (!welcome) {
        return;
    }
    welcome->setVisible(empty && !readOnly);
    if (welcome->isVisible()) {
        welcome->raise();
    }
}

ItemViews* ItemTabs::current() const
{
    QWidget* current = tabs->currentWidget();
    return current && current->objectName() == QLatin1String("ItemViews") ? qobject_cast<ItemViews*>(current) : nullptr;
}

ItemViews* ItemTabs::first() const
{
    return qobject_cast<ItemViews*>(tabs->widget(0));
}

QList<ItemViews*> ItemTabs::views() const
{
    return tabs->findChildren<ItemViews*>();
}

void ItemTabs::close(int index)
{
    if (index <= 0) {
        return; // the first books tab stays
    }
    QWidget* page = tabs->widget(index);
    tabs->removeTab(index);
    page->deleteLater();
}

void ItemTabs::closeAll()
{
    while (tabs->count() > 0) {
        QWidget* page = tabs->widget(tabs->count() - 1);
        tabs->removeTab(tabs->count() - 1);
        delete page;
    }
}

QStringList ItemTabs::closeEmptyAuthorTabs()
{
    QStringList closed;
    for (int index = tabs->count() - 1; index > 0; --index) {
        auto* view = qobject_cast<ItemViews*>(tabs->widget(index));
        if (view && view->getKind() == CollectionKind::AuthorBooks && view->getBooks() &&
            view->getBooks()->getBooksList().isEmpty()) {
            closed << tabs->tabText(index);
            close(index);
        }
    }
    return closed;
}

void ItemTabs::refreshItem(int iid)
{
    for (ItemViews* view : views()) {
        view->refreshItem(iid);
    }
}
