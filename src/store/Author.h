#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantMap>

class QObject;

// One author row: the name as typed, split into first and last name.
class Author
{
public:
    Author(QObject* parent, int aid);
    Author(QObject* parent, const QString& name);

    int getAid() const { return aid; }
    void setAid(int authorId) { aid = authorId; }
    QString getName() const { return name; }
    QString getFirstName() const { return firstName; }
    QString getLastName() const { return lastName; }
    void setName(const QString& fullName);
    // "Last, First": the last and first name as the sorting name gives them.
    void setSortName(const QString& fileAs);
    // The fields as a stored row has them, without a query.
    void setStored(int authorId, const QString& fullName, const QString& first, const QString& last);

    QSqlQuery dbRead();
    QSqlQuery dbRead(const QString& typedName);
    void dbQueryToAuthor(const QSqlQuery& query);
    bool dbCreate();
    bool dbUpdate();
    bool insertAuthor();
    bool dbDestroy();
    bool deleteAuthor();

    static QString aidToName(int aid);
    QVariantMap toVariant() const;

private:
    int aid = 0;
    QString name;
    QString firstName;
    QString lastName;
};
