#include "SortKey.h"

#include "InTwoHalves.h"

#include <QCollator>
#include <QLocale>

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
    // A collator is not to be shared between threads: each half makes its own.
    inTwoHalves(keys.size(), 1000, [&keys](qsizetype from, qsizetype to) {
        const QCollator collator = newReadingOrder();
        for (qsizetype i = from; i < to; ++i) {
            keys.at(i).first->keep(keys.at(i).second, collator.sortKey(keys.at(i).second));
        }
    });
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
