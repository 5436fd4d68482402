#include "ContentIndexWorker.h"

#include "Logging.h"
#include "OwnConnection.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

namespace {
bool hasReadableWords(const QString& path)
{
    static const QStringList suffixes = {QStringLiteral("pdf"), QStringLiteral("epub"), QStringLiteral("txt"),
                                         QStringLiteral("html"), QStringLiteral("htm")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

qint64 monotonicMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid()) {
        clock.start();
    }
    return clock.elapsed();
}
} // namespace

ContentIndexWorker::ContentIndexWorker(const QString& libraryPath, const QString& indexPath, const QString& identity)
    : libraryPath(libraryPath), indexPath(indexPath), identity(identity)
{
}

void ContentIndexWorker::run()
{
    ContentIndex index(QStringLiteral("lirenta-content-writer"));
    if (!index.open(indexPath, identity)) {
        qCWarning(lcStore) << "Search inside books is not available: its index cannot be written at" << indexPath;
        Q_EMIT idle();
        return;
    }
    do {
        rescanWanted = false;
        if (index.wantsFreshStart()) {
            index.startAfresh();
        }
        QList<Book> todo;
        int total = 0;
        if (!plan(index, &todo, &total)) {
            break;
        }
        int done = total - int(todo.size());
        int stored = 0;
        report(done, total, true);
        for (const Book& book : std::as_const(todo)) {
            if (stopping || paused || rescanWanted) {
                break;
            }
            // Deleted while running: a fresh index, and a fresh plan for it.
            if (!index.reopenIfGone()) {
                break;
            }
            const ContentText::Result result = ContentText::read(book.path, limits, [this] { return bool(stopping); });
            if (stopping) {
                break;
            }
            if (result.outcome == ContentText::Outcome::Failed) {
                qCWarning(lcStore).noquote()
                    << QStringLiteral("Not searchable inside: %1 (%2).").arg(book.path, result.reason);
                Q_EMIT skipped(book.path, result.reason);
            }
            stored += index.store(book.iid, book.fingerprint, result) ? 1 : 0;
            report(++done, total, false);
        }
        if (stored >= 50) {
            index.optimize(); // many books in: one compact table instead of many pieces
        }
        report(done, total, true);
    } while (rescanWanted && !stopping && !paused);
    Q_EMIT idle();
}

bool ContentIndexWorker::plan(ContentIndex& index, QList<Book>* todo, int* total)
{
    QList<Book> books;
    {
        const OwnConnection library(QStringLiteral("content-plan"), libraryPath,
                                    QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!library.isOpen()) {
            return false;
        }
        QSqlQuery query(library.database());
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT iid, filePath, fileSize, fileMd5 FROM files ORDER BY iid, fid"))) {
            return false;
        }
        QSet<int> taken;
        while (query.next()) {
            const int iid = query.value(0).toInt();
            const QString path = query.value(1).toString();
            // A book's first file whose words can be read stands for it.
            if (!taken.contains(iid) && hasReadableWords(path)) {
                taken.insert(iid);
                books << Book{iid, path, {query.value(2).toLongLong(), -1, query.value(3).toString()}};
            }
        }
    }
    const QHash<int, ContentIndex::Entry> known = index.entries();
    QSet<int> inLibrary;
    for (Book& book : books) {
        inLibrary.insert(book.iid);
        const QFileInfo file(book.path);
        book.fingerprint.size = file.exists() ? file.size() : book.fingerprint.size;
        book.fingerprint.modified = file.exists() ? file.lastModified().toSecsSinceEpoch() : -1;
        const auto entry = known.constFind(book.iid);
        if (entry == known.cend() || entry->fingerprint != book.fingerprint) {
            todo->append(book);
        }
    }
    QList<int> gone;
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        if (!inLibrary.contains(it.key())) {
            gone << it.key();
        }
    }
    index.drop(gone);
    *total = int(books.size());
    return true;
}

void ContentIndexWorker::report(int done, int total, bool now)
{
    // A few times a second is enough for the status bar.
    if (now || monotonicMs() - lastReport > 200) {
        lastReport = monotonicMs();
        Q_EMIT progress(done, total);
    }
}
