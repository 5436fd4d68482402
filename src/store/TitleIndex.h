#pragma once

#include "LibraryTuning.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <optional>

// A trigram index of book titles and descriptions in the search index file: it answers
// substring searches without reading every row. Temporary triggers, which exist only on the
// library's connection, note every change the program makes; the changes go into the index in
// a transaction of their own. A large library's index is made in parts on the window's thread
// after it is up; searches read every row until it is done.
class TitleIndex : public QObject
{
    Q_OBJECT

public:
    explicit TitleIndex(const LibraryTuning& tuning, QObject* parent = nullptr);

    // The index's table and the triggers that note changes, inside the caller's transaction.
    // Unless `trusted`, what the index held goes; with fewer books than the tuning's threshold
    // it is filled again at once, otherwise fillInBackground() does it.
    bool setUp(bool trusted, qint64 books, bool* fillLater);
    void fillInBackground();
    // Made again from the library (a change by another program): at once when small, in parts
    // otherwise. False when that failed and the index is set aside.
    bool rebuild();
    void setReady(bool value) { ready = value; }
    bool isReady() const { return ready; }
    bool isBuilding() const { return buildCursor >= 0; }
    // The session goes on without the index: searches read every row.
    void setAside();
    void stop();

    bool hasPendingChanges() const;
    // Writes the noted changes of books up to `lastBid` into the index, in order, and clears
    // the notes; the caller holds the transaction.
    bool writeChanges(qint64 lastBid) const;

    // At most 500 iids of books whose title or description holds `term` as LIKE matches it,
    // through the index; nothing when the index cannot answer. `subset` narrows the books as
    // in scan().
    std::optional<QList<int>> find(const QString& term, const QString& subset, const QVariant& subsetValue) const;
    // The same by reading every row.
    static QList<int> scan(const QString& term, const QString& subset, const QVariant& subsetValue);
    // The longest stretch of the term without LIKE wildcards: every match contains it.
    static QString longestLiteral(const QString& term);
    // Whether the trigram index can find the term: it needs three characters (code points).
    static bool indexCanFind(const QString& literal);

private:
    void continueBuild(int generation);

    const LibraryTuning& tuning;
    bool ready = false;
    qint64 buildCursor = -1; // the last book indexed by a build under way; -1 when none
    int buildGeneration = 0;
};
