#pragma once

#include <QCollatorSortKey>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The order people read names in: case-insensitive, by the locale's rules, numbers by value
// ("Book 2" before "Book 10"). A key is made once per text and kept, since comparing keys is
// far cheaper than collating the texts again at every step of a sort.
class SortKey
{
public:
    // The key of the text, made again only when the text changed since the last call.
    const QCollatorSortKey& of(const QString& text);

    static bool less(const QString& a, const QString& b);
    // Makes the keys of many texts at once, half of them in a second thread: a whole library's
    // titles take the collator a while.
    static void makeAll(const QList<std::pair<SortKey*, QString>>& keys);
    // Frees the key; the next call to of() makes it again.
    void release();

private:
    static QCollatorSortKey make(const QString& text);
    void keep(const QString& text, QCollatorSortKey made);

    QString keyedText;
    std::optional<QCollatorSortKey> key;
};
