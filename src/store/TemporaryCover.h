#pragma once

#include <QString>

// Cover images on their way into the library wait in the data directory under names of
// their own ("coverfile-tmp-....jpg") until the record is saved and moves them to "<iid>.jpg".
class TemporaryCover
{
public:
    static QString newPath();
    // Copies an image the user chose into a new temporary cover as JPEG. Empty when the file
    // is not an image that can be read, or cannot be written.
    static QString fromImageFile(const QString& imagePath);
};
