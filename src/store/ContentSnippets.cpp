#include "ContentSnippets.h"

#include <QPdfDocument>
#include <QPdfSelection>

#include <algorithm>

QString ContentSnippets::folded(QChar c)
{
    QString out;
    for (const QChar part : QString(c).normalized(QString::NormalizationForm_D)) {
        if (part.category() != QChar::Mark_NonSpacing) {
            out += part.toCaseFolded();
        }
    }
    return out;
}

QString ContentSnippets::folded(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        out += folded(c);
    }
    return out;
}

int ContentSnippets::wordsFound(const QString& text, const QStringList& words)
{
    const QString flat = folded(ContentText::joinedLines(text).simplified());
    return int(std::count_if(words.cbegin(), words.cend(),
                             [&flat](const QString& word) { return flat.contains(folded(word.simplified())); }));
}

QString ContentSnippets::around(const QString& original, const QStringList& words, int width)
{
    const QString text = ContentText::joinedLines(original).simplified();
    // The folded text, and for each of its characters the place it came from.
    QString flat;
    QList<int> origin;
    flat.reserve(text.size());
    origin.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        for (const QChar part : folded(text.at(i))) {
            flat += part;
            origin << i;
        }
    }
    QList<std::pair<int, int>> marks; // start and end in `text`
    for (const QString& word : words) {
        const QString needle = folded(word.simplified());
        for (qsizetype at = flat.indexOf(needle); !needle.isEmpty() && at >= 0; at = flat.indexOf(needle, at + 1)) {
            marks.append({origin.at(at), origin.at(at + needle.size() - 1) + 1});
        }
    }
    std::sort(marks.begin(), marks.end());
    const int first = marks.isEmpty() ? 0 : marks.first().first;
    int start = std::max(0, first - width / 3);
    int end = std::min(int(text.size()), start + width);
    // Whole words at both ends.
    while (start > 0 && text.at(start - 1) != QLatin1Char(' ') && first - start < width / 2) {
        --start;
    }
    while (end < text.size() && text.at(end) != QLatin1Char(' ') && end - start < width + 20) {
        ++end;
    }
    QString html = start > 0 ? QStringLiteral("\u2026") : QString();
    int at = start;
    for (const auto& [from, to] : std::as_const(marks)) {
        if (from >= at && to <= end) {
            html += text.mid(at, from - at).toHtmlEscaped() + QStringLiteral("<b>") +
                    text.mid(from, to - from).toHtmlEscaped() + QStringLiteral("</b>");
            at = to;
        }
    }
    html += text.mid(at, end - at).toHtmlEscaped();
    return end < text.size() ? html + QStringLiteral("\u2026") : html;
}

QList<ContentSnippets::Snippet> ContentSnippets::make(const QString& path, const QList<ContentIndex::Hit>& hits,
                                                      const QStringList& words)
{
    QList<Snippet> snippets;
    if (hits.isEmpty()) {
        return snippets;
    }
    if (hits.first().kind == ContentText::Kind::Page) {
        QPdfDocument pdf(nullptr);
        if (pdf.load(path) != QPdfDocument::Error::None) {
            return snippets;
        }
        // In each run of pages, the pages that hold every word; else the one with the most.
        for (const ContentIndex::Hit& run : hits) {
            QList<std::pair<int, QString>> best;
            int mostFound = 0;
            for (int page = run.number; page < run.number + run.pages && page < pdf.pageCount(); ++page) {
                const QString text = pdf.getAllText(page).text();
                const int found = wordsFound(text, words);
                if (found > mostFound) {
                    best.clear();
                    mostFound = found;
                }
                if (found == mostFound && found > 0 && (found == words.size() || best.isEmpty())) {
                    best.append({page, text});
                }
            }
            for (const auto& [page, text] : std::as_const(best)) {
                if (snippets.size() < 3) {
                    snippets << Snippet{{run.iid, run.kind, page, 1}, around(text, words)};
                }
            }
        }
        return snippets;
    }
    const ContentText::Result read = ContentText::read(path, ContentText::Limits());
    for (const ContentIndex::Hit& hit : hits) {
        for (const ContentText::Part& part : read.parts) {
            if (part.number == hit.number) {
                snippets << Snippet{hit, around(part.text, words)};
            }
        }
    }
    return snippets;
}
