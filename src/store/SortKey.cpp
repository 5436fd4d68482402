#include "SortKey.h"

#include <QCollator>
#include <QLocale>

namespace {
QCollator& readingOrder()
{
    static QCollator collator = [] {
        QLocale locale;
        // The C locale collates by character code and knows no numbers; English rules suit
        // such a system better.
        if (locale.language() == QLocale::C) {
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        }
        QCollator made(locale);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        made.setNumericMode(true);
        return made;
    }();
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

void SortKey::release()
{
    key.reset();
    keyedText.clear();
}

QCollatorSortKey SortKey::make(const QString& text)
{
    return readingOrder().sortKey(text);
}
