#pragma once

#include <QString>

// The words of a piece of HTML (a note, a description) without its mark-up: tags go, blocks
// and line breaks become spaces, entities are decoded, and only the body's text counts.
class HtmlText
{
public:
    static QString plain(const QString& html);
};
