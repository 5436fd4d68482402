#include "EverythingSearch.h"

#include "HtmlText.h"
#include "Logging.h"
#include "OwnConnection.h"
#include "SqlTransaction.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QVariant>

#include <chrono>

namespace {
// Fields are joined by a unit separator, so a phrase never matches across two of them.
const QChar fieldSeparator(0x1f);
constexpr int maxFound = 500;

// Every text of an item, one row each; `%1` narrows the items.
const char itemTexts[] =
    "SELECT items.iid, items.type, COALESCE(b.title, w.title), COALESCE(b.description, w.description), "
    "b.publisher, b.isbn10, b.isbn13, w.url, "
    "(SELECT group_concat(a.name, ' ') FROM items_authors ia JOIN authors a ON a.aid = ia.aid "
    "WHERE ia.iid = items.iid), "
    "(SELECT group_concat(f.fileName, ' ') FROM files f WHERE f.iid = items.iid), "
    "(SELECT n.note FROM notes n WHERE n.iid = items.iid), %2 "
    "FROM items LEFT JOIN books b ON b.iid = items.iid LEFT JOIN webpages w ON w.iid = items.iid %1 "
    "ORDER BY items.iid";

// Tags and series, where the library has their tables (one opened read-only may not).
QString shelvingColumns(const QSqlDatabase& db)
{
    QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                                   "('lirenta_tags', 'lirenta_series')"),
                    db);
    if (query.next() && query.value(0).toInt() == 2) {
        return QStringLiteral("(SELECT group_concat(t.tag, ' ') FROM lirenta_tags t WHERE t.iid = items.iid), "
                              "(SELECT s.name FROM lirenta_series s WHERE s.iid = items.iid)");
    }
    return QStringLiteral("NULL, NULL");
}

QString itemTextsWhere(const QString& condition, const QSqlDatabase& db)
{
    return QString::fromLatin1(itemTexts).arg(condition, shelvingColumns(db));
}

// An item's words as the index keeps them, capitals folded away; a row of itemTexts.
QString body(const QSqlQuery& row)
{
    QStringList fields;
    for (int column = 2; column <= 9; ++column) {
        const QString text = row.value(column).toString();
        if (!text.isEmpty()) {
            fields << text;
        }
    }
    const QString note = EverythingSearch::noteText(row.value(10).toString());
    if (!note.isEmpty()) {
        fields << note;
    }
    for (int column = 11; column <= 12; ++column) {
        if (!row.value(column).toString().isEmpty()) {
            fields << row.value(column).toString();
        }
    }
    return fields.join(fieldSeparator).toCaseFolded();
}

bool emptyIndex(QSqlQuery& query, const QString& createStatement)
{
    // Made anew rather than emptied: deleting a full index row by row takes seconds. A table
    // cannot be dropped while a statement of the connection is still reading; then it is emptied.
    if (query.exec(QStringLiteral("DROP TABLE IF EXISTS lirenta_search.everything"))) {
        return query.exec(createStatement);
    }
    return query.exec(QStringLiteral("DELETE FROM lirenta_search.everything"));
}

const QString& createIndexStatement()
{
    static const QString statement =
        QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS lirenta_search.everything USING fts5(body, kind UNINDEXED, "
                       "tokenize='trigram')");
    return statement;
}

bool indexRows(const QSqlDatabase& db, const QString& condition)
{
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (!rows.exec(itemTextsWhere(condition, db))) {
        qCWarning(lcStore) << "everything index:" << rows.lastError().text();
        return false;
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO lirenta_search.everything (rowid, body, kind) VALUES (:iid, :body, "
                                  ":kind)"));
    while (rows.next()) {
        insert.bindValue(QStringLiteral(":iid"), rows.value(0));
        insert.bindValue(QStringLiteral(":body"), body(rows));
        insert.bindValue(QStringLiteral(":kind"), rows.value(1));
        if (!insert.exec()) {
            qCWarning(lcStore) << "everything index:" << insert.lastError().text();
            return false;
        }
    }
    return !rows.lastError().isValid();
}

QString narrowedTo(const QString& column, const QString& subset)
{
    return subset.isEmpty() ? QString() : QStringLiteral(" AND %1 IN (%2)").arg(column, subset);
}
} // namespace

EverythingSearch::EverythingSearch(const LibraryTuning& tuning, QObject* parent) : QObject(parent), tuning(tuning)
{
}

EverythingSearch::~EverythingSearch()
{
    stop();
}

bool EverythingSearch::setUp()
{
    static const QStringList statements = [] {
        QStringList made = {
            createIndexStatement(),
            "CREATE TEMP TABLE IF NOT EXISTS lirenta_everything_changes (iid INTEGER)",
        };
        // Each table an item's words come from notes the items it changed.
        for (const char* table :
             {"items", "books", "webpages", "files", "items_authors", "notes", "lirenta_tags", "lirenta_series"}) {
            for (const QString event : {"INSERT", "UPDATE", "DELETE"}) {
                const QString row = event == QLatin1String("DELETE") ? "old" : "new";
                made << QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS lirenta_everything_%1_%2 AFTER %3 ON "
                                       "main.%1 BEGIN INSERT INTO lirenta_everything_changes (iid) VALUES (%4.iid); "
                                       "%5END")
                            .arg(QString::fromLatin1(table), event.toLower(), event, row,
                                 event == QLatin1String("UPDATE")
                                     ? QStringLiteral("INSERT INTO lirenta_everything_changes (iid) VALUES (old.iid); ")
                                     : QString());
            }
        }
        // A renamed author changes the words of every book of theirs.
        made << "CREATE TEMP TRIGGER IF NOT EXISTS lirenta_everything_authors_update AFTER UPDATE ON main.authors "
                "BEGIN INSERT INTO lirenta_everything_changes (iid) SELECT iid FROM main.items_authors "
                "WHERE aid = new.aid; END";
        return made;
    }();
    QSqlQuery query;
    for (const QString& statement : statements) {
        if (!query.exec(statement)) {
            qCWarning(lcStore) << "No everything index:" << query.lastError().text();
            return false;
        }
    }
    return true;
}

bool EverythingSearch::forget()
{
    QSqlQuery query;
    return emptyIndex(query, createIndexStatement()) &&
           query.exec(QStringLiteral("INSERT OR REPLACE INTO lirenta_search.state (key, value) VALUES "
                                     "('everything', '0')"));
}

bool EverythingSearch::isBuilt() const
{
    // Without the index file the query fails: not made.
    QSqlQuery state;
    return state.exec(QStringLiteral("SELECT value FROM lirenta_search.state WHERE key = 'everything'")) &&
           state.next() && state.value(0).toString() == QLatin1String("1");
}

bool EverythingSearch::ensureBuilt()
{
    if (backgroundBuild.valid()) {
        finishBackgroundBuild();
        // What changed while it was made goes in now.
        if (isBuilt() && hasPendingChanges()) {
            SqlTransaction transaction(SqlTransaction::Lock::Immediate);
            if (!transaction.isActive() || !applyChanges() || !transaction.commit()) {
                transaction.rollback();
                forget();
            }
        }
    }
    if (isBuilt()) {
        return true;
    }
    qCDebug(lcStore) << "building the everything index";
    SqlTransaction transaction;
    QSqlQuery query;
    if (!transaction.isActive() || !emptyIndex(query, createIndexStatement()) ||
        !query.exec(QStringLiteral("DELETE FROM lirenta_everything_changes")) ||
        !indexRows(QSqlDatabase::database(), QString()) ||
        !query.exec(QStringLiteral("INSERT OR REPLACE INTO lirenta_search.state (key, value) VALUES "
                                   "('everything', '1')"))) {
        qCWarning(lcStore) << "everything index not made:" << query.lastError().text();
        transaction.rollback();
        return false;
    }
    return transaction.commit();
}

bool EverythingSearch::hasPendingChanges() const
{
    QSqlQuery query;
    return query.exec(QStringLiteral("SELECT 1 FROM lirenta_everything_changes LIMIT 1")) && query.next();
}

bool EverythingSearch::applyChanges()
{
    // During a background build the notes wait: the build may not have read those items yet.
    if (isBuildingInBackground() || !hasPendingChanges()) {
        return true;
    }
    QSqlQuery query;
    if (isBuilt() && (!query.exec(QStringLiteral("DELETE FROM lirenta_search.everything WHERE rowid IN "
                                                 "(SELECT iid FROM lirenta_everything_changes)")) ||
                      !indexRows(QSqlDatabase::database(),
                                 QStringLiteral("WHERE items.iid IN (SELECT iid FROM lirenta_everything_changes)")))) {
        qCWarning(lcStore) << "everything index:" << query.lastError().text();
        return false;
    }
    return query.exec(QStringLiteral("DELETE FROM lirenta_everything_changes"));
}

void EverythingSearch::buildLater(const QString& libraryPath, const QString& indexPath, const QString& connectOptions)
{
    const int plan = ++plannedBuild;
    // A while after the window is up, when its covers and the user's first searches have had
    // the machine to themselves (its writing slows the index those searches read).
    QTimer::singleShot(tuning.everythingBuildDelayMs, this, [=, this] {
        if (plan == plannedBuild) {
            startBuild(libraryPath, indexPath, connectOptions);
        }
    });
}

void EverythingSearch::startBuild(const QString& libraryPath, const QString& indexPath, const QString& connectOptions)
{
    // Inside a transaction the second connection would not see its changes, and their notes
    // would be dropped below.
    if (backgroundBuild.valid() || SqlTransaction::anyOpen() || isBuilt()) {
        return;
    }
    // The build reads everything as it is from here on; only later changes need taking in.
    QSqlQuery().exec(QStringLiteral("DELETE FROM lirenta_everything_changes"));
    stopRequested = false;
    backgroundBuild = std::async(std::launch::async, &EverythingSearch::buildOnOwnConnection, this, libraryPath,
                                 indexPath, connectOptions);
}

bool EverythingSearch::isBuildingInBackground() const
{
    return backgroundBuild.valid() && backgroundBuild.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

void EverythingSearch::stop()
{
    ++plannedBuild;
    if (backgroundBuild.valid()) {
        stopRequested = true;
        finishBackgroundBuild();
        stopRequested = false;
    }
}

bool EverythingSearch::finishBackgroundBuild()
{
    return backgroundBuild.valid() && backgroundBuild.get();
}

// Runs in the second thread. Each part is a transaction of its own, so the library's own
// connection waits at most one part for the files.
bool EverythingSearch::buildOnOwnConnection(const QString& libraryPath, const QString& indexPath,
                                            const QString& connectOptions)
{
    bool made = false;
    {
        const OwnConnection connection(QStringLiteral("everything"), libraryPath, connectOptions);
        QSqlDatabase db = connection.database();
        made = db.isOpen();
        QSqlQuery query(db);
        if (made) {
            query.prepare(QStringLiteral("ATTACH DATABASE :path AS lirenta_search"));
            query.bindValue(QStringLiteral(":path"), indexPath);
            made = query.exec() && query.exec(QStringLiteral("PRAGMA lirenta_search.synchronous=OFF")) &&
                   query.exec(QStringLiteral("BEGIN IMMEDIATE")) && emptyIndex(query, createIndexStatement()) &&
                   query.exec(QStringLiteral("COMMIT"));
        }
        qint64 cursor = 0;
        while (made && !stopRequested) {
            query.prepare(QStringLiteral(
                "SELECT MAX(iid) FROM (SELECT iid FROM main.items WHERE iid > :cursor ORDER BY iid LIMIT :part)"));
            query.bindValue(QStringLiteral(":cursor"), cursor);
            query.bindValue(QStringLiteral(":part"), tuning.everythingPart);
            made = query.exec() && query.next();
            if (!made || query.value(0).isNull()) {
                break;
            }
            const qint64 last = query.value(0).toLongLong();
            query.finish();
            // Immediate: a part that read the index file before writing it would fail, not
            // wait, when the library's own connection wrote there in between.
            made = query.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                   indexRows(db, QStringLiteral("WHERE items.iid > %1 AND items.iid <= %2").arg(cursor).arg(last)) &&
                   query.exec(QStringLiteral("COMMIT"));
            if (!made) {
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            }
            cursor = last;
        }
        made = made && !stopRequested &&
               query.exec(QStringLiteral(
                   "INSERT OR REPLACE INTO lirenta_search.state (key, value) VALUES ('everything', '1')"));
        if (!made && !stopRequested) {
            qCWarning(lcStore) << "everything index not made in the background:" << query.lastError().text()
                               << db.lastError().text();
        }
    }
    return made;
}

QString EverythingSearch::noteText(const QString& html)
{
    return HtmlText::plain(html);
}

std::optional<QList<int>> EverythingSearch::find(const QString& term, const QString& kind, const QString& subset,
                                                 const QVariant& subsetValue)
{
    if (!ensureBuilt()) {
        return std::nullopt;
    }
    const QString folded = term.toCaseFolded();
    QSqlQuery query;
    // The index finds the items holding the term (three characters at least); instr() decides
    // exactly, on the folded words.
    if (folded.toUcs4().size() >= 3) {
        query.prepare(QStringLiteral("SELECT rowid FROM lirenta_search.everything WHERE everything MATCH :phrase "
                                     "AND kind = :kind AND instr(body, :term) > 0%1 ORDER BY rowid LIMIT %2")
                          .arg(narrowedTo(QStringLiteral("rowid"), subset))
                          .arg(maxFound));
        query.bindValue(QStringLiteral(":phrase"),
                        QLatin1Char('"') + QString(folded).replace(QLatin1Char('"'), "\"\"") + QLatin1Char('"'));
    } else {
        query.prepare(QStringLiteral("SELECT rowid FROM lirenta_search.everything WHERE kind = :kind AND "
                                     "instr(body, :term) > 0%1 ORDER BY rowid LIMIT %2")
                          .arg(narrowedTo(QStringLiteral("rowid"), subset))
                          .arg(maxFound));
    }
    query.bindValue(QStringLiteral(":kind"), kind);
    query.bindValue(QStringLiteral(":term"), folded);
    if (!subset.isEmpty()) {
        query.bindValue(QStringLiteral(":subset"), subsetValue);
    }
    QList<int> found;
    if (query.exec()) {
        while (query.next()) {
            found << query.value(0).toInt();
        }
    }
    if (query.lastError().isValid()) {
        qCWarning(lcStore) << "everything index did not answer:" << query.lastError().text();
        return std::nullopt;
    }
    return found;
}

QList<int> EverythingSearch::scan(const QString& term, const QString& kind, const QString& subset,
                                  const QVariant& subsetValue)
{
    QList<int> found;
    const QSqlDatabase db = QSqlDatabase::database();
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    rows.prepare(itemTextsWhere(QStringLiteral("WHERE items.type = :kind") + narrowedTo("items.iid", subset), db));
    rows.bindValue(QStringLiteral(":kind"), kind);
    if (!subset.isEmpty()) {
        rows.bindValue(QStringLiteral(":subset"), subsetValue);
    }
    if (!rows.exec()) {
        qCWarning(lcStore) << "search:" << rows.lastError().text();
        return found;
    }
    const QString folded = term.toCaseFolded();
    while (found.size() < maxFound && rows.next()) {
        if (body(rows).contains(folded)) {
            found << rows.value(0).toInt();
        }
    }
    return found;
}
