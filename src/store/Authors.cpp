#include "Authors.h"

#include "Author.h"
#include "Logging.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

Authors::Authors(QObject*)
{
}

Authors::~Authors()
{
    qDeleteAll(authors);
}

Author* Authors::getAuthor(int index) const
{
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return authors.at(index);
}

bool Authors::hasName(const QString& name) const
{
    if (authors.size() >= indexedFrom) {
        return nameIndex.contains(name);
    }
    return std::any_of(authors.cbegin(), authors.cend(),
                       [&name](const Author* author) { return author->getName() == name; });
}

void Authors::append(Author* author)
{
    authors.append(author);
    if (authors.size() == indexedFrom) {
        for (const Author* known : std::as_const(authors)) {
            nameIndex.insert(known->getName());
        }
    } else if (authors.size() > indexedFrom) {
        nameIndex.insert(author->getName());
    }
}

void Authors::addAuthor(const QString& name)
{
    if (hasName(name)) {
        return;
    }
    append(new Author(nullptr, name));
}

void Authors::addAuthor(const QString& name, const QString& fileAs)
{
    if (hasName(name)) {
        return;
    }
    auto* author = new Author(nullptr, name);
    if (author->getAid() < 1 && !fileAs.isEmpty()) {
        author->setSortName(fileAs);
    }
    append(author);
}

void Authors::addAuthor(int aid)
{
    const QString name = Author::aidToName(aid);
    if (hasName(name)) {
        qCDebug(lcStore) << "duplicate name detected";
        return;
    }
    append(new Author(nullptr, aid));
}

void Authors::addStoredAuthor(int aid, const QString& name, const QString& firstName, const QString& lastName)
{
    if (hasName(name)) {
        qCDebug(lcStore) << "duplicate name detected";
        return;
    }
    auto* author = new Author(nullptr, QString());
    author->setStored(aid, name, firstName, lastName);
    append(author);
}

void Authors::loadAuthors(bool withItemsOnly)
{
    // The rows come whole in one statement rather than one more query per author.
    QSqlQuery query;
    query.setForwardOnly(true);
    const QString filter =
        withItemsOnly ? QStringLiteral("aid IN (SELECT aid FROM items_authors)") : QStringLiteral("1");
    if (!query.exec("SELECT aid, name, firstName, lastName FROM authors WHERE " + filter + " ORDER BY lastName ASC")) {
        qCDebug(lcStore) << "error";
        return;
    }
    while (query.next()) {
        addStoredAuthor(query.value(0).toInt(), query.value(1).toString(), query.value(2).toString(),
                        query.value(3).toString());
    }
}

bool Authors::insertAuthors()
{
    bool ok = true;
    for (Author* author : authors) {
        ok = author->insertAuthor() && ok;
    }
    return ok;
}

void Authors::removeAuthors()
{
    qDeleteAll(authors);
    authors.clear();
    nameIndex.clear();
}

bool Authors::removeAuthor(Author* author)
{
    for (int i = 0; i < authors.count(); ++i) {
        if (authors.at(i)->getAid() == author->getAid()) {
            nameIndex.remove(author->getName());
            authors.removeAt(i);
            if (authors.size() < indexedFrom) {
                nameIndex.clear();
            }
            return true;
        }
    }
    return false;
}

void Authors::deleteAuthors()
{
    for (Author* author : authors) {
        author->deleteAuthor();
    }
}

QString Authors::render() const
{
    if (authors.size() == 1) {
        return authors.first()->getName(); // shared, not copied: most books have one author
    }
    QStringList names;
    for (const Author* author : authors) {
        names << author->getName();
    }
    return names.join(QLatin1String(", "));
}

QVariantList Authors::toVariant() const
{
    QVariantList list;
    for (const Author* author : authors) {
        list << author->toVariant();
    }
    return list;
}
