#include "SharedTexts.h"

QString SharedTexts::shared(const QString& text)
{
    if (text.isEmpty()) {
        return text; // nothing held: nothing to share
    }
    const auto known = texts.constFind(text);
    return known == texts.cend() ? *texts.insert(text) : *known;
}
