#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// A book's tags and the series it belongs to, with its number in the series. Kept in plain
// tables of the program's own ("lirenta_tags", one row per tag; "lirenta_series", one row per
// book), so the library's own tables and the cloud's document stay as they are.
struct TagsAndSeries
{
    QStringList tags;
    QString series;
    double number = 0; // 0: no number

    // "fantasy, classics"
    QString tagsText() const;
    // "Dune Chronicles 2"; the name alone without a number; empty without a series.
    QString seriesText() const;
    // Tags typed as "a, b ,, c": trimmed, empty ones and repeats dropped.
    static QStringList parseTags(const QString& text);

    static TagsAndSeries read(int iid);
    // Every book's, in two queries, for the views.
    static QHash<int, TagsAndSeries> readAll(const QSqlDatabase& db);
    // Runs inside the caller's transaction, if any; false when a row was not written.
    bool write(int iid) const;
    static bool remove(int iid);
    // Every tag in use, each once, in reading order (for completion).
    static QStringList tagsInUse();
    // The iids of the books with the tag, or in the series.
    static QList<int> booksTagged(const QString& tag);
    static QList<int> booksInSeries(const QString& series);
    static QStringList seriesInUse();
    // Made when the library opens.
    static bool createTables();
};
