#pragma once

#include "Items.h"
#include "SearchScope.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

class LibraryDatabase;
class WebPage;
struct ViewItem;

// Every captured web page, oldest first, with the display list the view draws and a search.
class WebPages : public Items
{
    Q_OBJECT

public:
    // Searches go through `library`'s indexes; without one they read every row.
    explicit WebPages(QObject* parent, LibraryDatabase* library = nullptr);
    ~WebPages() override;

    QList<ViewItem*>* getViewItems() const { return viewItems; }
    WebPage* getItem(int iid) const { return pageMap.value(iid, nullptr); }
    void addWebPage(WebPage* page);
    void dbRead();
    void dbSearch(const QString& term);
    void setSearchScope(SearchScope value) { scope = value; }

public Q_SLOTS:
    // Deletes the page from the library, then from this collection; false when it is still stored.
    bool deleteWebPage(int iid);
    // Only from this collection: the page was deleted elsewhere.
    void removeWebPage(int iid);

private:
    WebPage* loadPage(int iid);

    LibraryDatabase* library = nullptr;
    QList<ViewItem*>* viewItems;
    QMap<int, WebPage*> pageMap;
    SearchScope scope = SearchScope::TitlesAndDescriptions;
    // Removed pages stay here until the collection goes: views may still hold their display records.
    QSet<WebPage*> owned;
};
