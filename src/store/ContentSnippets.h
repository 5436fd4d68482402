#pragma once

#include "ContentIndex.h"

#include <QList>
#include <QString>
#include <QStringList>

// Lines of a book around the words a search inside books found, read from the book itself
// (the index keeps no text), with the words marked in bold.
class ContentSnippets
{
public:
    struct Snippet
    {
        ContentIndex::Hit hit;
        QString html;
    };

    // Snippets of the places `hits` name; a run of pages gives each of its pages that holds
    // every word (or, lacking one, the page with the most), three snippets at most.
    static QList<Snippet> make(const QString& path, const QList<ContentIndex::Hit>& hits, const QStringList& words);
    // About `width` characters of `text` around the first of `words` found, as HTML with every
    // word found marked; capitals and accents do not count.
    static QString around(const QString& text, const QStringList& words, int width = 220);
    // A letter as searches compare it: without accents, case folded.
    static QString folded(QChar c);
    static QString folded(const QString& text);
    // How many of `words` the text holds, compared as folded().
    static int wordsFound(const QString& text, const QStringList& words);
};
