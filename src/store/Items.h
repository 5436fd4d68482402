#pragma once

#include <QList>
#include <QObject>

class Item;

// Base of the record collections a view shows.
class Items : public QObject
{
    Q_OBJECT

public:
    explicit Items(QObject* parent = nullptr);
    ~Items() override;

protected:
    QList<Item*> items;
};
