#pragma once

#include "CollectionKind.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <optional>

class QTreeWidget;
class QTreeWidgetItem;

// The library tree of the left pane: "Books", "Authors" (an entry per author), "Web Pages",
// "Tags" and "Series" (an entry per tag and series in use). Every entry carries what it opens
// (its kind and key) in item data, never to be told by its text. The branches are filled when
// first opened: a large library has tens of thousands of authors.
class LibraryTree : public QObject
{
    Q_OBJECT

public:
    static constexpr int AuthorIdRole = Qt::UserRole + 11; // 43
    // What an entry opens: a CollectionKind as int; branches without a collection of their own
    // (Authors, Tags, Series) carry none.
    static constexpr int KindRole = Qt::UserRole + 12;
    // The author's id, the tag or the series of an entry.
    static constexpr int KeyRole = Qt::UserRole + 13;

    LibraryTree(QTreeWidget* tree, QObject* parent);

    // New books may bring new authors, tags and series: filled branches are read again.
    void refresh();
    // Shows only the entries holding one of the words of `text` (all when empty).
    void filter(const QString& text);
    // The entry of the collection on screen is highlighted (none for a reader or browser tab).
    void highlight(std::optional<CollectionKind> kind, const QVariant& key = QVariant());
    // Opens what the entry stands for: emits collectionRequested.
    void open(QTreeWidgetItem* entry);

Q_SIGNALS:
    void collectionRequested(CollectionKind kind, const QVariant& key, const QString& title);

private:
    void loadAuthors();
    void loadShelves();

    QTreeWidget* tree;
    QTreeWidgetItem* books;
    QTreeWidgetItem* authors;
    QTreeWidgetItem* webPages;
    QTreeWidgetItem* tags;
    QTreeWidgetItem* series;
    QString filterText;
    bool authorsListed = false;
    bool shelvesListed = false;
};
