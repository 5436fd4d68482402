#include "TitleIndex.h"

#include "Logging.h"
#include "SqlStatement.h"
#include "SqlTransaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

namespace {
const char* const changeNotes[] = {
    "CREATE TEMP TABLE IF NOT EXISTS lirenta_search_changes (seq INTEGER PRIMARY KEY, removal INTEGER, bid INTEGER, "
    "title TEXT, description TEXT)",
    "CREATE TEMP TRIGGER IF NOT EXISTS lirenta_books_search_insert AFTER INSERT ON main.books BEGIN "
    "INSERT INTO lirenta_search_changes (removal, bid, title, description) "
    "VALUES (0, new.bid, new.title, new.description); END",
    "CREATE TEMP TRIGGER IF NOT EXISTS lirenta_books_search_delete AFTER DELETE ON main.books BEGIN "
    "INSERT INTO lirenta_search_changes (removal, bid, title, description) "
    "VALUES (1, old.bid, old.title, old.description); END",
    "CREATE TEMP TRIGGER IF NOT EXISTS lirenta_books_search_update AFTER UPDATE ON main.books BEGIN "
    "INSERT INTO lirenta_search_changes (removal, bid, title, description) "
    "VALUES (1, old.bid, old.title, old.description); "
    "INSERT INTO lirenta_search_changes (removal, bid, title, description) "
    "VALUES (0, new.bid, new.title, new.description); END",
};

QString phrase(const QString& literal)
{
    return QLatin1Char('"') + QString(literal).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}
} // namespace

TitleIndex::TitleIndex(const LibraryTuning& tuning, QObject* parent) : QObject(parent), tuning(tuning)
{
}

bool TitleIndex::setUp(bool trusted, qint64 books, bool* fillLater)
{
    ready = false;
    *fillLater = false;
    QSqlQuery query;
    // Libraries of earlier versions carried the index inside; it goes.
    for (const char* statement :
         {"DROP TRIGGER IF EXISTS main.lirenta_books_search_insert",
          "DROP TRIGGER IF EXISTS main.lirenta_books_search_delete",
          "DROP TRIGGER IF EXISTS main.lirenta_books_search_update", "DROP TABLE IF EXISTS main.lirenta_books_search",
          "CREATE VIRTUAL TABLE IF NOT EXISTS lirenta_search.books_search USING fts5(title, description, content='', "
          "tokenize='trigram')"}) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCWarning(lcStore) << "No title index:" << query.lastError().text();
            return false;
        }
    }
    if (!trusted) {
        qCDebug(lcStore) << "rebuilding the title index";
        *fillLater = books > tuning.titleIndexInBackgroundAbove;
        if (!query.exec(
                QStringLiteral("INSERT INTO lirenta_search.books_search (books_search) VALUES ('delete-all')")) ||
            (!*fillLater &&
             !query.exec(QStringLiteral("INSERT INTO lirenta_search.books_search (rowid, title, description) "
                                        "SELECT bid, title, description FROM main.books")))) {
            qCWarning(lcStore) << "No title index:" << query.lastError().text();
            return false;
        }
    }
    for (const char* statement : changeNotes) {
        if (!query.exec(QString::fromLatin1(statement))) {
            qCWarning(lcStore) << "No title index:" << query.lastError().text();
            return false;
        }
    }
    return true;
}

bool TitleIndex::rebuild()
{
    stop();
    QSqlQuery count(QStringLiteral("SELECT COUNT(*) FROM main.books"));
    const qint64 books = count.next() ? count.value(0).toLongLong() : 0;
    count.finish();
    SqlTransaction transaction(SqlTransaction::Lock::Immediate);
    bool fillLater = false;
    QSqlQuery clear;
    if (!transaction.isActive() || !clear.exec(QStringLiteral("DELETE FROM lirenta_search_changes")) ||
        !setUp(false, books, &fillLater) || !transaction.commit()) {
        transaction.rollback();
        setAside();
        return false;
    }
    if (fillLater) {
        fillInBackground();
    } else {
        ready = true;
    }
    return true;
}

void TitleIndex::fillInBackground()
{
    ready = false;
    buildCursor = 0;
    const int generation = ++buildGeneration;
    QTimer::singleShot(0, this, [this, generation] { continueBuild(generation); });
}

void TitleIndex::setAside()
{
    stop();
    ready = false;
}

void TitleIndex::stop()
{
    buildCursor = -1;
    ++buildGeneration;
}

// One part of an index made in the background: the changes since the last part to books
// already indexed, then the next books in key order. Changes to books not yet indexed need
// nothing: their part reads them as they are by then.
void TitleIndex::continueBuild(int generation)
{
    if (generation != buildGeneration || buildCursor < 0) {
        return; // stopped meanwhile
    }
    if (SqlTransaction::anyOpen()) {
        QTimer::singleShot(20, this, [this, generation] { continueBuild(generation); });
        return;
    }
    SqlTransaction transaction(SqlTransaction::Lock::Immediate);
    QSqlQuery query;
    bool ok = transaction.isActive() && writeChanges(buildCursor);
    qint64 last = buildCursor;
    if (ok) {
        query.prepare(QStringLiteral("SELECT MAX(bid) FROM (SELECT bid FROM main.books WHERE bid > :cursor "
                                     "ORDER BY bid LIMIT :part)"));
        query.bindValue(QStringLiteral(":cursor"), buildCursor);
        query.bindValue(QStringLiteral(":part"), tuning.titleIndexPart);
        ok = query.exec() && query.next();
        if (ok && !query.value(0).isNull()) {
            last = query.value(0).toLongLong();
        }
        query.finish();
    }
    if (ok && last > buildCursor) {
        query.prepare(QStringLiteral("INSERT INTO lirenta_search.books_search (rowid, title, description) "
                                     "SELECT bid, title, description FROM main.books "
                                     "WHERE bid > :cursor AND bid <= :last"));
        query.bindValue(QStringLiteral(":cursor"), buildCursor);
        query.bindValue(QStringLiteral(":last"), last);
        ok = query.exec();
    }
    if (!ok || !transaction.commit()) {
        qCWarning(lcStore) << "title index not made:" << query.lastError().text();
        transaction.rollback();
        buildCursor = -1; // searches keep reading every row; the next opening tries again
        return;
    }
    if (last == buildCursor) {
        buildCursor = -1;
        ready = true;
        qCDebug(lcStore) << "title index made";
        return;
    }
    buildCursor = last;
    QTimer::singleShot(0, this, [this, generation] { continueBuild(generation); });
}

bool TitleIndex::hasPendingChanges() const
{
    QSqlQuery pending;
    return pending.exec(QStringLiteral("SELECT 1 FROM lirenta_search_changes LIMIT 1")) && pending.next();
}

bool TitleIndex::writeChanges(qint64 lastBid) const
{
    struct Change
    {
        bool removal;
        QVariant bid;
        QVariant title;
        QVariant description;
    };
    QList<Change> changes;
    {
        QSqlQuery pending;
        pending.setForwardOnly(true);
        if (!pending.exec(QStringLiteral("SELECT removal, bid, title, description FROM lirenta_search_changes "
                                         "ORDER BY seq"))) {
            return false;
        }
        while (pending.next()) {
            if (pending.value(1).toLongLong() <= lastBid) {
                changes.append({pending.value(0).toInt() != 0, pending.value(1), pending.value(2), pending.value(3)});
            }
        }
    }
    QSqlQuery insert;
    insert.prepare(QStringLiteral("INSERT INTO lirenta_search.books_search (rowid, title, description) "
                                  "VALUES (:bid, :title, :description)"));
    QSqlQuery remove;
    remove.prepare(QStringLiteral("INSERT INTO lirenta_search.books_search (books_search, rowid, title, "
                                  "description) VALUES ('delete', :bid, :title, :description)"));
    for (const Change& change : std::as_const(changes)) {
        QSqlQuery& statement = change.removal ? remove : insert;
        statement.bindValue(QStringLiteral(":bid"), change.bid);
        statement.bindValue(QStringLiteral(":title"), change.title);
        statement.bindValue(QStringLiteral(":description"), change.description);
        if (!SqlStatement::run(statement)) {
            return false;
        }
    }
    // Changes to books beyond `lastBid` go too: their part reads them as they are by then.
    QSqlQuery clear;
    return clear.exec(QStringLiteral("DELETE FROM lirenta_search_changes"));
}

QString TitleIndex::longestLiteral(const QString& term)
{
    QString longest;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= term.size(); ++i) {
        if (i == term.size() || term.at(i) == QLatin1Char('%') || term.at(i) == QLatin1Char('_')) {
            if (i - start > longest.size()) {
                longest = term.mid(start, i - start);
            }
            start = i + 1;
        }
    }
    return longest;
}

bool TitleIndex::indexCanFind(const QString& literal)
{
    // Characters beyond the Basic Multilingual Plane take two UTF-16 units each.
    return literal.size() >= 3 && literal.toUcs4().size() >= 3;
}

std::optional<QList<int>> TitleIndex::find(const QString& term, const QString& subset,
                                           const QVariant& subsetValue) const
{
    const QString literal = longestLiteral(term);
    if (!ready || !indexCanFind(literal)) {
        return std::nullopt;
    }
    // The index finds the few books holding the term's longest plain run; LIKE then decides
    // exactly as the full scan would (ASCII letters without case, '%' and '_' as wildcards), in
    // the same order. The index hands out its rows in key order, so 500 matches end the search.
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT books.iid FROM lirenta_search.books_search JOIN main.books AS books ON "
                                 "books.bid = books_search.rowid WHERE books_search MATCH :phrase AND "
                                 "((books.title LIKE :pattern) OR (books.description LIKE :pattern))%1 "
                                 "ORDER BY books_search.rowid LIMIT 500")
                      .arg(subset.isEmpty() ? QString() : QStringLiteral(" AND books.iid IN (%1)").arg(subset)));
    query.bindValue(QStringLiteral(":phrase"), phrase(literal));
    query.bindValue(QStringLiteral(":pattern"), QLatin1Char('%') + term + QLatin1Char('%'));
    if (!subset.isEmpty()) {
        query.bindValue(QStringLiteral(":subset"), subsetValue);
    }
    if (!query.exec()) {
        qCWarning(lcStore) << "title index did not answer:" << query.lastError().text();
        return std::nullopt;
    }
    QList<int> found;
    while (query.next()) {
        found << query.value(0).toInt();
    }
    if (query.lastError().isValid()) {
        qCWarning(lcStore) << "title index did not answer:" << query.lastError().text();
        return std::nullopt;
    }
    return found;
}

QList<int> TitleIndex::scan(const QString& term, const QString& subset, const QVariant& subsetValue)
{
    QList<int> found;
    QSqlQuery query;
    query.prepare(
        QStringLiteral("SELECT iid FROM main.books WHERE ((title LIKE :pattern) OR (description LIKE :pattern))%1 "
                       "ORDER BY bid LIMIT 500")
            .arg(subset.isEmpty() ? QString() : QStringLiteral(" AND iid IN (%1)").arg(subset)));
    query.bindValue(QStringLiteral(":pattern"), QLatin1Char('%') + term + QLatin1Char('%'));
    if (!subset.isEmpty()) {
        query.bindValue(QStringLiteral(":subset"), subsetValue);
    }
    if (!query.exec()) {
        qCWarning(lcStore) << "search:" << query.lastError().text();
        return found;
    }
    while (query.next()) {
        found << query.value(0).toInt();
    }
    return found;
}
