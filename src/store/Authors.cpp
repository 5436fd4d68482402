#include "Authors.h"

#include "Author.h"
#include "Logging.h"

#include <QSqlError>
#include <QSqlQuery>

Authors::Authors(QObject* parent) : QObject(parent)
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

void Authors::addAuthor(const QString& name)
{
    if (nameIndex.contains(name)) {
        return;
    }
    auto* author = new Author(this, name);
    authors.append(author);
    nameIndex.insert(name, author);
}

void Authors::addAuthor(int aid)
{
    const QString name = Author::aidToName(aid);
    if (nameIndex.contains(name)) {
        qCDebug(lcStore) << "duplicate name detected";
        return;
    }
    auto* author = new Author(this, aid);
    nameIndex.insert(name, author);
    authors.append(author);
}

void Authors::addStoredAuthor(int aid, const QString& name, const QString& firstName, const QString& lastName)
{
    if (nameIndex.contains(name)) {
        qCDebug(lcStore) << "duplicate name detected";
        return;
    }
    auto* author = new Author(this, QString());
    author->setStored(aid, name, firstName, lastName);
    nameIndex.insert(name, author);
    authors.append(author);
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
