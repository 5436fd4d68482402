#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QVariantList>

class Author;

// An ordered list of authors with one entry per exact name: the authors of one item, or
// every author of the library. Owns its authors.
class Authors : public QObject
{
    Q_OBJECT

public:
    explicit Authors(QObject* parent);
    ~Authors() override;

    int count() const { return int(authors.count()); }
    Author* getAuthor(int index) const;

    void addAuthor(const QString& name);
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
    QList<Author*> authors;
    QMap<QString, Author*> nameIndex;
};
