#pragma once

#include "LibraryCatalog.h"

#include <QByteArray>
#include <QList>
#include <QString>

// OPDS 1.2 feeds (Atom) of the shared library: navigation feeds that lead on, acquisition
// feeds whose entries carry a book's details, cover and files. Links are absolute paths on
// the server.
class OpdsFeed
{
public:
    struct Link
    {
        QString rel;
        QString href;
        QString type;
    };
    struct NavigationEntry
    {
        QString title;
        QString href;
        QString content;
    };
    static QByteArray navigation(const QString& id, const QString& title, const QString& self,
                                 const QList<NavigationEntry>& entries);
    // One page of books; `pageLinks` are first/previous/next/last as they apply.
    static QByteArray acquisition(const QString& id, const QString& title, const QString& self,
                                  const QList<LibraryCatalog::Entry>& entries, const QList<Link>& pageLinks);
    static QByteArray openSearch();
    // first/previous/next/last links of page `page` (from 1) of `total` items, 50 a page.
    static QList<Link> pageLinks(const QString& path, const QString& query, int page, int total);

    // A link relation of the catalogue ("acquisition", "image", "image/thumbnail").
    static QString relation(const QString& name);

    static const int pageSize = 50;
    static QString navigationType();
    static QString acquisitionType();
};
