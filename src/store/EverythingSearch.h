#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class QSqlDatabase;
class QSqlQuery;

// The "Everything" search: an item is found by any of its words, not only by its title and
// description. A book by its title, authors, publisher, ISBNs, description, file names and the
// words of its note; a web page by its title, address, description and note.
//
// The words live in a trigram index of their own in the search index file, kept in step by
// temporary triggers that note which items changed. The index is made in a second thread a
// little after the library opens, so the first search in this scope waits only for what is left
// of it.
// Without the index file (a read-only library, no FTS5) the library is read row by row.
class EverythingSearch
{
public:
    // At most 500 iids of items of `kind` ("Book", "WebPage") whose text holds `term`, as LIKE
    // matches it; only those `subset` selects when given (a query of iids that may use the
    // parameter ":subset", bound to `subsetValue`).
    static QList<int> find(const QString& term, const QString& kind, const QString& subset = QString(),
                           const QVariant& subsetValue = QVariant());

    // The statements that make the index's tables and the triggers that note changes; run when
    // the index file is attached.
    static const QStringList& setUpStatements();
    // The index cannot be trusted: it is emptied and made again at its next use.
    static bool forget();
    // Takes in the changes noted since the last time, inside the caller's transaction.
    static bool applyChanges();
    static bool hasPendingChanges();
    // Whether the index is made; making it takes a while in a large library.
    static bool isBuilt();
    // Makes the index in a second thread, on a connection of its own to the library and its
    // index file, a part at a time; changes noted meanwhile are taken in once it is done.
    static void buildInBackground(const QString& libraryPath, const QString& indexPath, const QString& connectOptions);
    static bool isBuildingInBackground();
    // Stops a build under way and waits for it (the library is closing).
    static void stopBackgroundBuild();
    // Items per part of a background build: a part holds the index file's lock while it writes.
    static void setBackgroundPart(int items) { s_part = items; }
    // The words of a note, without its mark-up.
    static QString noteText(const QString& html);

private:
    static bool ensureBuilt();
    static bool emptyIndex(QSqlQuery& query);
    static bool indexRows(const QSqlDatabase& db, const QString& condition);
    static bool buildOnOwnConnection(const QString& libraryPath, const QString& indexPath,
                                     const QString& connectOptions);
    // Waits for a background build; true when it made the index.
    static bool finishBackgroundBuild();

    static int s_part;
};
