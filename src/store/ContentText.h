#pragma once

#include <QList>
#include <QString>

#include <functional>

// The words of a book file, for searching inside books: a PDF page by page, an EPUB chapter by
// chapter in reading (spine) order, a text or HTML file whole. Runs in any thread.
class ContentText
{
public:
    enum class Kind { Page, Chapter, Whole };
    struct Part
    {
        Kind kind = Kind::Whole;
        int number = 0; // the page or the chapter's place in the spine, from 0
        QString text;
    };
    enum class Outcome { Read, NoText, Failed };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QList<Part> parts;
        QString reason; // why it failed, in words for the user
    };

    // Limits that keep one hostile or huge file from holding up the rest.
    struct Limits
    {
        qint64 maxFileBytes = 512LL << 20;
        qint64 maxTextChars = 64LL << 20;
        int maxMilliseconds = 60000;
    };

    // `stop` is asked between pages and chapters; when it says so, the reading ends as Failed.
    static Result read(const QString& path, const Limits& limits, const std::function<bool()>& stop = {});

    // The text as it is indexed and searched: words hyphenated across a line end joined, and
    // every CJK ideograph, kana and hangul syllable a word of its own.
    static QString searchable(const QString& text);
    // Words hyphenated across a line end joined again.
    static QString joinedLines(const QString& text);
    static bool isCjk(char32_t c);

private:
    static Result readPdf(const QString& path, const Limits& limits, const std::function<bool()>& stop);
    static Result readEpub(const QString& path, const Limits& limits, const std::function<bool()>& stop);
    static Result readWhole(const QString& path, const Limits& limits, bool html);
};
