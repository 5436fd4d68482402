#pragma once

#include <QDate>
#include <QString>

// What the book dialog records about the user's own copy beyond the book row: whether they own
// it and where it stands, whether and when they read it, whether they want it, its language.
// Kept in a table of the program's own, one row per item.
struct BookDetails
{
    bool own = false;
    QString location;
    bool haveRead = false;
    QDate readDate;
    bool want = false;
    QString language; // ISO 639 code, empty when not chosen

    // The stored details, or the defaults when the item has none.
    static BookDetails read(int iid);
    // Runs inside the caller's transaction, if any; false when the row was not written.
    bool write(int iid) const;
    static bool remove(int iid);
};
