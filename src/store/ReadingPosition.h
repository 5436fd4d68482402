#pragma once

#include <QString>

// Where the reader left a book of the library: the chapter (or page), how far down it as a
// fraction of its height, and the zoom. Kept
// per item in a plain table of Lirenta's own ("lirenta_reading_positions"), with the MD5 of the
// file it was read in: once the file changed, the book starts at the beginning again.
class ReadingPosition
{
public:
    // Zoom values that stand for fitting the page rather than a factor.
    static constexpr double FitWidth = -1;
    static constexpr double FitPage = -2;

    // Relative to the unpacked book; the page number counted from 0 for a PDF; empty for a
    // single-file book.
    QString chapter;
    // How far down the chapter or page, 0 to 1: the same place at any zoom or window width.
    double scroll = 0;
    double zoom = 1;

    bool isValid() const { return valid; }

    // The position stored for the library's file at `path` with content `md5`.
    static ReadingPosition load(const QString& path, const QString& md5);
    // False when it could not be stored, or the file belongs to no item of the library.
    static bool save(const QString& path, const QString& md5, const ReadingPosition& position);

    // The library item that holds the file at `path` and its title; -1 and empty for none.
    static int itemOf(const QString& path, QString* title = nullptr);

private:
    bool valid = false;
};
