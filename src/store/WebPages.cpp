#include "WebPages.h"

#include "EverythingSearch.h"
#include "LibraryDatabase.h"
#include "Logging.h"
#include "ViewItem.h"
#include "WebPage.h"

#include <QSqlError>
#include <QSqlQuery>

WebPages::WebPages(QObject* parent, LibraryDatabase* library)
    : Items(parent), library(library), viewItems(new QList<ViewItem*>)
{
    dbRead();
}

WebPages::~WebPages()
{
    qDeleteAll(owned);
    delete viewItems;
}

WebPage* WebPages::loadPage(int iid)
{
    auto* page = new WebPage(this, iid);
    owned.insert(page);
    return page;
}

void WebPages::addWebPage(WebPage* page)
{
    owned.insert(page);
    viewItems->append(page->getViewItem());
    pageMap.insert(page->getId(), page);
}

void WebPages::dbRead()
{
    QSqlQuery query;
    if (!query.exec("SELECT iid FROM webpages WHERE 1 ORDER BY created ASC")) {
        qCWarning(lcStore) << "the web pages could not be read:" << query.lastError().text();
        if (library) {
            library->noteReadFailure(query.lastError().text());
        }
        return;
    }
    while (query.next()) {
        const int iid = query.value(0).toInt();
        WebPage* page = loadPage(iid);
        qCDebug(lcStore) << "append view";
        viewItems->append(page->getViewItem());
        qCDebug(lcStore) << "insert";
        pageMap.insert(iid, page);
    }
}

void WebPages::dbSearch(const QString& term)
{
    viewItems->clear();
    QList<int> found;
    if (scope == SearchScope::Everything) {
        found = library ? library->findEverything(term, QStringLiteral("WebPage"))
                        : EverythingSearch::scan(term, QStringLiteral("WebPage"), QString(), QVariant());
    } else if (scope == SearchScope::InsideBooks) {
        found = library ? library->findInsideBooks(term, QStringLiteral("WebPage")) : found;
    } else {
        QSqlQuery query;
        query.prepare(
            "SELECT iid FROM webpages WHERE (title LIKE :term_title) OR (description LIKE :term_desc) LIMIT 500");
        const QString pattern = QLatin1Char('%') + term + QLatin1Char('%');
        query.bindValue(":term_title", pattern);
        query.bindValue(":term_desc", pattern);
        if (!query.exec()) {
            qCDebug(lcStore) << query.lastError();
            return;
        }
        while (query.next()) {
            found << query.value(0).toInt();
        }
    }
    for (int iid : std::as_const(found)) {
        WebPage* page = pageMap.value(iid, nullptr);
        if (!page) {
            page = loadPage(iid);
            pageMap.insert(iid, page);
        }
        viewItems->append(page->getViewItem());
    }
}

bool WebPages::deleteWebPage(int iid)
{
    WebPage* page = pageMap.value(iid, nullptr);
    if (!page || !page->deleteWebPage()) {
        return false;
    }
    removeWebPage(iid);
    return true;
}

void WebPages::removeWebPage(int iid)
{
    if (WebPage* page = pageMap.take(iid)) {
        viewItems->removeOne(page->getViewItem());
    }
}
