#pragma once

#include <QString>

// Makes user text match itself literally in "LIKE ... ESCAPE '\'" (ASCII case is still ignored).
class SqlLike
{
public:
    static QString literal(QString text)
    {
        text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        text.replace(QLatin1Char('%'), QLatin1String("\\%"));
        text.replace(QLatin1Char('_'), QLatin1String("\\_"));
        return text;
    }
};
