#include "WebPage.h"

#include "ItemFiles.h"
#include "Logging.h"
#include "SqlStatement.h"
#include "SqlTransaction.h"
#include "Timestamp.h"
#include "ViewItem.h"

#include <QSqlError>
#include <QSqlQuery>

WebPage::WebPage(QObject* parent, int itemId) : Item(parent, itemId)
{
    type = QStringLiteral("WebPage");
    viewItem = new ViewItem;
    if (itemId < 0) {
        pageCreated = Timestamp::now();
        wid = -1;
    } else {
        qCDebug(lcStore) << "load webpage iid:" << itemId;
        dbRead(itemId);
        setViewItem();
    }
}

WebPage::~WebPage()
{
    delete viewItem;
}

void WebPage::setAverageRating(const QString& value)
{
    ratingText = value;
    rating = value.toInt();
}

void WebPage::reload()
{
    reloadItem();
    loadWebPage();
}

void WebPage::setCreated()
{
    pageCreated = Timestamp::now();
}

QString WebPage::shortDescription(const QString& text)
{
    QString shortened = text.trimmed().replace(QLatin1Char('\n'), QLatin1Char(' ')).left(100);
    if (text.size() > 100) {
        shortened += QLatin1String("...");
    }
    return shortened;
}

void WebPage::setViewItem()
{
    qCDebug(lcStore) << "\"" + coverFile + "\"";
    viewItem->coverFile = coverFile;
    viewItem->description = shortDescription(description);
    viewItem->filePath = files->getFirstFilePath();
    viewItem->id = iid;
    viewItem->title = title;
    viewItem->type = type;
    viewItem->url = url;
    viewItem->created = QString::number(pageCreated);
    viewItem->items = {this};
    viewItem->filePaths = files->getFilePaths();
    viewItem->size = files->render();
    viewItem->rating = rating;
}

ViewItem* WebPage::getViewItem()
{
    setViewItem();
    return viewItem;
}

void WebPage::loadWebPage()
{
    if (iid < 1) {
        return;
    }
    dbRead(iid);
    setViewItem();
}

bool WebPage::insertWebPage()
{
    return saveRecord();
}

bool WebPage::writeOwnRows()
{
    return wid < 1 ? dbCreate() > 0 : dbUpdate();
}

bool WebPage::deleteWebPage()
{
    SqlTransaction transaction;
    return deleteItem() && dbDelete() && transaction.commit();
}

void WebPage::dbRead(int itemId)
{
    QSqlQuery query;
    query.prepare("SELECT * FROM webpages WHERE iid = :iid");
    query.bindValue(":iid", itemId);
    if (!SqlStatement::run(query)) {
        return;
    }
    const bool onRow = query.next();
    const auto value = [&](int column) { return onRow ? query.value(column) : QVariant(); };
    title = value(4).toString();
    description = value(5).toString();
    url = value(2).toString();
    wid = value(0).toInt();
    pageCreated = value(3).toUInt();
}

int WebPage::dbCreate()
{
    QSqlQuery query;
    query.prepare("INSERT INTO webpages                  (iid, url, created,  title, description)                  "
                  "VALUES (:iid, :url, :created, :title, :description)");
    query.bindValue(":iid", iid);
    query.bindValue(":url", url);
    query.bindValue(":created", pageCreated);
    query.bindValue(":title", title);
    query.bindValue(":description", description);
    if (!SqlStatement::run(query)) {
        return 0;
    }
    wid = query.lastInsertId().toInt();
    return wid;
}

bool WebPage::dbUpdate()
{
    QSqlQuery query;
    query.prepare("UPDATE webpages SET                  title = :title, description = :description            "
                  "WHERE iid = :iid");
    query.bindValue(":title", title);
    query.bindValue(":description", description);
    query.bindValue(":iid", iid);
    return SqlStatement::run(query);
}

bool WebPage::dbDelete()
{
    QSqlQuery query;
    query.prepare("DELETE FROM webpages WHERE iid = :iid");
    query.bindValue(":iid", iid);
    return SqlStatement::run(query);
}
