#pragma once

#include "LibraryTuning.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <atomic>
#include <future>
#include <optional>

class QSqlDatabase;
class QSqlQuery;

// The "Everything" search: an item is found by any of its words, not only by its title and
// description. A book by its title, authors, publisher, ISBNs, description, file names, tags,
// series and the words of its note; a web page by its title, address, description and note.
// The term is plain text ('%' and '_' are characters like any other), found without regard to
// capitals in every script.
//
// The words live in a trigram index of their own in the search index file, kept in step by
// temporary triggers that note which items changed. The index is made in a second thread a
// little after the library opens, so the first search in this scope waits only for what is left
// of it; it is kept across sessions under the same checks as the title index. Without the
// index file (a read-only library, no FTS5) the library is read row by row.
class EverythingSearch : public QObject
{
    Q_OBJECT

public:
    explicit EverythingSearch(const LibraryTuning& tuning, QObject* parent = nullptr);
    ~EverythingSearch() override;

    // The index's table and the triggers that note changes; run when the index file is attached.
    bool setUp();
    // The index cannot be trusted: it is emptied and made again at its next use.
    bool forget();
    // Takes in the changes noted since the last time, inside the caller's transaction.
    bool applyChanges();
    bool hasPendingChanges() const;
    // Whether the index is made; making it takes a while in a large library.
    bool isBuilt() const;
    // Makes the index in a second thread, on a connection of its own to the library and its
    // index file, a part at a time, after the tuning's delay; changes noted meanwhile are taken
    // in once it is done.
    void buildLater(const QString& libraryPath, const QString& indexPath, const QString& connectOptions);
    bool isBuildingInBackground() const;
    // Stops a build under way or planned and waits for it (the library is closing).
    void stop();

    // At most 500 iids of items of `kind` ("Book", "WebPage") holding `term`, through the
    // index; nothing when the index cannot answer. Only those `subset` selects when given (a
    // query of iids that may use the parameter ":subset", bound to `subsetValue`).
    std::optional<QList<int>> find(const QString& term, const QString& kind, const QString& subset,
                                   const QVariant& subsetValue);
    // The same by reading every item.
    static QList<int> scan(const QString& term, const QString& kind, const QString& subset,
                           const QVariant& subsetValue);
    // The words of a note, without its mark-up.
    static QString noteText(const QString& html);

private:
    bool ensureBuilt();
    void startBuild(const QString& libraryPath, const QString& indexPath, const QString& connectOptions);
    bool buildOnOwnConnection(const QString& libraryPath, const QString& indexPath, const QString& connectOptions);
    // Waits for a background build; true when it made the index.
    bool finishBackgroundBuild();

    const LibraryTuning& tuning;
    std::future<bool> backgroundBuild;
    std::atomic<bool> stopRequested{false};
    int plannedBuild = 0; // counts plans, so a build planned before a stop does not start
};
