#pragma once

#include <QString>

// The one rich-text note each item may have, in the "notes" table.
class Notes
{
public:
    // The stored note, or an empty string when the item has none (or it cannot be read).
    static QString read(int iid);
    // Stores the note, adding its row when the item has none yet; false when nothing was saved.
    static bool write(int iid, const QString& html);
};
