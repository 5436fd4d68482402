#include "LibraryTree.h"

#include "Author.h"
#include "Authors.h"
#include "TagsAndSeries.h"

#include <QIcon>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

LibraryTree::LibraryTree(QTreeWidget* tree, QObject* parent)
    : QObject(parent), tree(tree), books(tree->topLevelItem(0)), authors(tree->topLevelItem(1)),
      webPages(tree->topLevelItem(2)), tags(new QTreeWidgetItem(tree, {tr("Tags")})),
      series(new QTreeWidgetItem(tree, {tr("Series")}))
{
    books->setData(0, KindRole, int(CollectionKind::AllBooks));
    webPages->setData(0, KindRole, int(CollectionKind::WebPages));
    tags->setIcon(0, QIcon(QStringLiteral(":/icons/icons/32x32/tag.png")));
    series->setIcon(0, QIcon(QStringLiteral(":/icons/icons/32x32/books.png")));
    for (QTreeWidgetItem* branch : {authors, tags, series}) {
        branch->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    // Tags and series change in the book dialog: their branches are read again each time.
    connect(tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        const QSignalBlocker quiet(this->tree);
        if (item == authors && !authorsListed) {
            loadAuthors();
        } else if (item == tags || item == series) {
            loadShelves();
        }
    });
}

void LibraryTree::refresh()
{
    const QSignalBlocker quiet(tree);
    if (authorsListed) {
        qDeleteAll(authors->takeChildren());
        loadAuthors();
    }
    if (shelvesListed) {
        loadShelves();
    }
    if (!filterText.isEmpty()) {
        filter(filterText);
    }
}

void LibraryTree::loadAuthors()
{
    Authors all(nullptr);
    all.loadAuthors(true); // an author whose last book went has no entry
    for (int i = 0; i < all.count(); ++i) {
        const Author* author = all.getAuthor(i);
        auto* entry = new QTreeWidgetItem(authors);
        entry->setText(0, author->getLastName() + QLatin1String(", ") + author->getFirstName());
        entry->setData(0, AuthorIdRole, author->getAid());
        entry->setData(0, KindRole, int(CollectionKind::AuthorBooks));
        entry->setData(0, KeyRole, author->getAid());
    }
    authors->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    authorsListed = true;
}

// Tags and series in use, each an entry that opens a tab of its books.
void LibraryTree::loadShelves()
{
    const QList<std::tuple<QTreeWidgetItem*, CollectionKind, QStringList>> shelves = {
        {tags, CollectionKind::TaggedBooks, TagsAndSeries::tagsInUse()},
        {series, CollectionKind::SeriesBooks, TagsAndSeries::seriesInUse()}};
    for (const auto& [branch, kind, names] : shelves) {
        qDeleteAll(branch->takeChildren());
        for (const QString& name : names) {
            auto* entry = new QTreeWidgetItem(branch, {name});
            entry->setData(0, KindRole, int(kind));
            entry->setData(0, KeyRole, name);
        }
        branch->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
    shelvesListed = true;
}

void LibraryTree::filter(const QString& text)
{
    const bool wasFiltered = !filterText.isEmpty();
    filterText = text.trimmed();
    if (filterText.isEmpty()) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            (*it)->setHidden(false);
        }
        if (wasFiltered) {
            tree->collapseAll(); // as it was before the filter opened every branch
        }
        return;
    }
    {
        // Opening every branch at once does not tell each one; the filter needs them filled.
        const QSignalBlocker quiet(tree);
        if (!authorsListed) {
            loadAuthors();
        }
        if (!shelvesListed) {
            loadShelves();
        }
    }
    tree->expandAll();
    QStringList words;
    for (const QString& word : filterText.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        words << QRegularExpression::escape(word);
    }
    const QRegularExpression expression(words.join(QLatin1Char('|')), QRegularExpression::CaseInsensitiveOption);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        QTreeWidgetItem* entry = *it;
        // Branches stay, so the tree never goes blank; their entries show as they match.
        entry->setHidden(entry->parent() && !expression.match(entry->text(0)).hasMatch());
    }
}

void LibraryTree::highlight(std::optional<CollectionKind> kind, const QVariant& key)
{
    const QSignalBlocker quiet(tree);
    QTreeWidgetItem* found = nullptr;
    if (kind) {
        for (QTreeWidgetItemIterator it(tree); *it && !found; ++it) {
            const QVariant entryKind = (*it)->data(0, KindRole);
            if (entryKind.isValid() && entryKind.toInt() == int(*kind) &&
                (!(*it)->parent() || (*it)->data(0, KeyRole) == key)) {
                found = *it;
            }
        }
    }
    tree->setCurrentItem(found);
    if (!found) {
        tree->clearSelection();
    }
}

void LibraryTree::open(QTreeWidgetItem* entry)
{
    const QVariant kind = entry ? entry->data(0, KindRole) : QVariant();
    if (!kind.isValid()) {
        return; // a branch: it opens and closes
    }
    Q_EMIT collectionRequested(CollectionKind(kind.toInt()), entry->data(0, KeyRole), entry->text(0));
}
