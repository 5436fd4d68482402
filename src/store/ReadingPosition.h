#pragma once

#include <QString>

// Where the reader left a book of the library: the chapter, how far down it and the zoom. Kept
// per item in a plain table of Lirenta's own ("lirenta_reading_positions"), with the MD5 of the
// file it was read in: once the file changed, the book starts at the beginning again.
class ReadingPosition
{
public:
    QString chapter; // relative to the unpacked book, or empty for a single-file book
    double scroll = 0;
    double zoom = 1;

    bool isValid() const { return valid; }

    // The position stored for the library's file at `path` with content `md5`.
    static ReadingPosition load(const QString& path, const QString& md5);
    // False when it could not be stored, or the file belongs to no item of the library.
    static bool save(const QString& path, const QString& md5, const ReadingPosition& position);

private:
    static int itemOf(const QString& path);

    bool valid = false;
};
