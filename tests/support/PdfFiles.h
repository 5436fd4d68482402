#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// PDF files for tests, made here: small ones written byte by byte with an information
// dictionary, ones with text pages (and an outline) drawn with QPdfWriter, and protected
// copies made by qpdf.
class PdfFiles
{
public:
    // `info` pairs a key of the information dictionary ("Title") with its value as a PDF
    // object ("(Plain text)", or utf16() for any text).
    static bool writeWithInfo(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& info, int pages);
    // A PDF text string in UTF-16 with its byte-order mark: <FEFF...>.
    static QByteArray utf16(const QString& text);
    // One page per text, as real text that can be found and selected again.
    static bool writeTextPages(const QString& path, const QStringList& pageTexts);
    // Gives an existing PDF (one QPdfWriter made, say) an information dictionary, in an
    // incremental update as other programs write it.
    static bool addInfo(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& info);
    // Gives an existing PDF a flat outline: each entry's title leads to its page (from 0).
    static bool addOutline(const QString& path, const QList<std::pair<QString, int>>& entries);
    // A copy that opens only with `password`; false when qpdf is not there.
    static bool protect(const QString& source, const QString& target, const QString& password);
};
