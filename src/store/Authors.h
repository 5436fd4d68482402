#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QVariantList>

class Author;
class QObject;

// An ordered list of authors with one entry per exact name: the authors of one item, or
// every author of the library. Owns its authors.
class Authors
{
public:
    explicit Authors(QObject* parent);
    ~Authors();
    Authors(const Authors&) = delete;
    Authors& operator=(const Authors&) = delete;

    int count() const { return int(authors.count()); }
    Author* getAuthor(int index) const;

    void addAuthor(const QString& name);
    // A new author whose sorting name is known ("Le Guin, Ursula K."): the first and last name
    // come from it rather than from splitting the name at its last blank.
    void addAuthor(const QString& name, const QString& fileAs);
    void addAuthor(int aid);
    // An author whose row was read already; the same exact name is not added twice.
    void addStoredAuthor(int aid, const QString& name, const QString& firstName, const QString& lastName);
    // Every stored author, or only those with an item in the library.
    void loadAuthors(bool withItemsOnly = false);
    bool insertAuthors();
    void removeAuthors();
    bool removeAuthor(Author* author);
    void deleteAuthors();
    QString render() const;
    QVariantList toVariant() const;

private:
    bool hasName(const QString& name) const;
    void append(Author* author);

    QList<Author*> authors;
    // An item has an author or two, found faster by looking at each; the library's whole list
    // gets an index of names once it is long.
    static constexpr int indexedFrom = 16;
    QSet<QString> nameIndex;
};
