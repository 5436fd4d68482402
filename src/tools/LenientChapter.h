#pragma once

#include <QString>

// A chapter the web engine would parse as XML (".xhtml", ".xht", ".xml") that is not
// well-formed (undeclared entities such as "&eacute;", stray "<year>" in the text) shows an
// error page there instead of the text. Such a chapter is shown from a byte-for-byte copy
// named as HTML beside it, which the engine reads leniently, as reading systems do.
class LenientChapter
{
public:
    // The file to show for `path`: `path` itself, or its HTML copy (made when missing).
    static QString shownFile(const QString& path);
    // The chapter a shown file stands for.
    static QString chapterOf(const QString& shownPath);

private:
    static bool parsesAsXml(const QString& path);
};
