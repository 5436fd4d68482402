#pragma once

#include "Item.h"

#include <QString>

struct ViewItem;

// A library item of type "WebPage": a captured page (its PDF is the item's file) plus its
// row in "webpages".
class WebPage : public Item
{
public:
    WebPage(QObject* parent, int iid);
    ~WebPage() override;

    QString getTitle() const { return title; }
    QString getUrl() const { return url; }
    QString getDescription() const { return description; }
    quint32 getCreated() const { return pageCreated; }
    int getWid() const { return wid; }

    void setTitle(const QString& value) { title = value; }
    void setUrl(const QString& value) { url = value; }
    void setDescription(const QString& value) { description = value; }
    void setCreated();
    // The rating chosen in the properties dialog; it is the item's rating the views show.
    void setAverageRating(const QString& value);

    void setViewItem();
    ViewItem* getViewItem();
    void loadWebPage();
    void reload();
    bool insertWebPage();
    bool deleteWebPage();

    void dbRead(int itemId);
    int dbCreate();
    bool dbUpdate();
    bool dbDelete();

    static QString shortDescription(const QString& text);

protected:
    bool writeOwnRows() override;
    int ownKey() const override { return wid; }
    void setOwnKey(int key) override { wid = key; }
    void saved() override { setViewItem(); }

private:
    QString title;
    QString description;
    int wid = -1;
    QString url;
    quint32 pageCreated = 0;
    ViewItem* viewItem = nullptr;
    QString ratingText;
};
