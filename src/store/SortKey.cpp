#include "SortKey.h"

#include <QCollator>
#include <QLocale>

#include <future>

namespace {
QCollator newReadingOrder()
{
    QLocale locale;
    // The C locale collates by character code and knows no numbers; English rules suit such a
    // system better.
    if (locale.language() == QLocale::C) {
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
    QCollator made(locale);
    made.setCaseSensitivity(Qt::CaseInsensitive);
    made.setNumericMode(true);
    return made;
}

QCollator& readingOrder()
{
    static QCollator collator = newReadingOrder();
    return collator;
}
} // namespace

const QCollatorSortKey& SortKey::of(const QString& text)
{
    if (!key || text != keyedText) {
        key = make(text);
        keyedText = text;
    }
    return *key;
}

bool SortKey::less(const QString& a, const QString& b)
{
    return readingOrder().compare(a, b) < 0;
}

void SortKey::makeAll(const QList<std::pair<SortKey*, QString>>& keys)
{
    // The keys made on this thread: all of a few hundred, which take less time than starting a
    // thread, else the first half.
    const qsizetype here = keys.size() < 1000 ? keys.size() : keys.size() / 2;
    // A collator is not to be shared between threads: the second thread makes its own.
    std::future<void> secondHalf;
    if (here < keys.size()) {
        secondHalf = std::async(std::launch::async, [&keys, here] {
            const QCollator collator = newReadingOrder();
            for (qsizetype i = here; i < keys.size(); ++i) {
                keys.at(i).first->keep(keys.at(i).second, collator.sortKey(keys.at(i).second));
            }
        });
    }
    for (qsizetype i = 0; i < here; ++i) {
        keys.at(i).first->keep(keys.at(i).second, make(keys.at(i).second));
    }
    if (secondHalf.valid()) {
        secondHalf.get();
    }
}

void SortKey::keep(const QString& text, QCollatorSortKey made)
{
    key = std::move(made);
    keyedText = text;
}

void SortKey::release()
{
    key.reset();
    keyedText.clear();
}

QCollatorSortKey SortKey::make(const QString& text)
{
    return readingOrder().sortKey(text);
}
