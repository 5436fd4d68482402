#pragma once

#include <QSet>
#include <QString>

// Texts that many records of a library repeat (a publisher, a year, a file type, a tag): read
// for the whole library, each is held once and shared by the records instead of once by each.
class SharedTexts
{
public:
    QString shared(const QString& text);

private:
    QSet<QString> texts;
};
