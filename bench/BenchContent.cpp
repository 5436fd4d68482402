// Searching inside books: reading their words, the index, and queries.
//
//   BenchContent --write N FOLDER [PAGES]   N PDFs of PAGES pages (100) of varied text
//   BenchContent --throughput FOLDER        pdftotext over every PDF, then Lirenta reading the
//                                           same PDFs into an index (in a child process: its
//                                           time and peak memory); index size against the text
//   BenchContent --calibre FOLDER           calibredb fts_index and fts_search on the same PDFs,
//                                           side by side with Lirenta's index and queries
//   BenchContent --queries N [PAGES [INDEX]] an index of N books of PAGES pages of varied text,
//                                           then query times (median and worst); an INDEX
//                                           file given is kept, and searched again as it is
//   BenchContent --window FOLDER            the window over a library of FOLDER's PDFs while the
//                                           indexer reads them: its longest pause
// Run under `taskset -c 0` for one core.
#include "Book.h"
#include "ContentIndex.h"
#include "ContentIndexer.h"
#include "ContentText.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "QtModules.h"
#include "TestEnvironment.h"
#include "WindowPauses.h"

#include <cstdio>
#include <random>

namespace {
// Words of one to four syllables: about 40,000 different ones, drawn by Zipf's law as the
// words of real text are. A book has words of its own subject too, which come back on its
// pages as they do in real books (a quarter of its words).
class WordSource
{
public:
    explicit WordSource(unsigned seed) : random(seed)
    {
        static const QStringList syllables = {"ka", "lo",  "mir", "sen", "ta",  "vel", "dor", "qui", "ban", "ro",
                                              "ne", "shi", "gal", "pe",  "tur", "ax",  "lin", "mo",  "zu",  "fen"};
        for (int n = 0; words.size() < 40000; ++n) {
            QString word;
            for (int rest = n;; rest /= 20) {
                word += syllables.at(rest % 20);
                if (rest < 20) {
                    break;
                }
            }
            words << word;
        }
        double total = 0;
        for (int rank = 1; rank <= words.size(); ++rank) {
            total += 1.0 / rank;
            cumulative << total;
        }
    }
    QString word()
    {
        const double at = std::uniform_real_distribution<double>(0, cumulative.last())(random);
        return words.at(int(std::lower_bound(cumulative.begin(), cumulative.end(), at) - cumulative.begin()));
    }
    void startBook()
    {
        subject.clear();
        std::uniform_int_distribution<int> rank(200, int(words.size()) - 1);
        for (int n = 0; n < 150; ++n) {
            subject << words.at(rank(random));
        }
    }
    QString page(int wordCount)
    {
        QStringList out;
        std::uniform_int_distribution<int> which(0, 3);
        for (int n = 0; n < wordCount; ++n) {
            const bool ofSubject = !subject.isEmpty() && which(random) == 0;
            out << (ofSubject ? subject.at(std::uniform_int_distribution<int>(0, 149)(random)) : word());
        }
        return out.join(' ') + '.';
    }
    const QStringList& vocabulary() const { return words; }

private:
    std::mt19937 random;
    QStringList words;
    QList<double> cumulative;
    QStringList subject;
};

long peakMegabytes()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    const QRegularExpressionMatch match =
        QRegularExpression("VmHWM:\\s+(\\d+) kB").match(QString::fromLatin1(status.readAll()));
    return match.captured(1).toLong() / 1024;
}

QStringList pdfsIn(const QString& folder)
{
    QStringList paths;
    for (const QFileInfo& file : QDir(folder).entryInfoList({"*.pdf"}, QDir::Files, QDir::Name)) {
        paths << file.absoluteFilePath();
    }
    return paths;
}

void writePdfs(int count, const QString& folder, int pages)
{
    QDir().mkpath(folder);
    WordSource words(7);
    for (int n = 0; n < count; ++n) {
        words.startBook();
        QPdfWriter writer(QString("%1/book-%2.pdf").arg(folder).arg(n, 5, 10, QChar('0')));
        writer.setResolution(72);
        QPainter painter(&writer);
        painter.setFont(QFont("DejaVu Sans", 10));
        for (int page = 0; page < pages; ++page) {
            if (page > 0) {
                writer.newPage();
            }
            painter.drawText(QRect(40, 40, 500, 740), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, words.page(300));
        }
    }
    std::printf("wrote %d PDFs of %d pages into %s\n", count, pages, qPrintable(folder));
}

// Reads every PDF into a fresh index as the indexer does, one after the other.
int indexInto(const QString& folder, const QString& indexPath)
{
    ContentIndex index("bench");
    index.open(indexPath, "bench");
    QElapsedTimer clock;
    clock.start();
    qint64 textBytes = 0;
    int iid = 0;
    for (const QString& path : pdfsIn(folder)) {
        const ContentText::Result result = ContentText::read(path, ContentText::Limits());
        for (const ContentText::Part& part : result.parts) {
            textBytes += part.text.toUtf8().size();
        }
        const QFileInfo file(path);
        index.store(++iid, {file.size(), file.lastModified().toSecsSinceEpoch(), QString()}, result);
    }
    index.optimize(); // as the indexer does after many books
    index.close();
    std::printf("%lld %lld %ld\n", clock.elapsed(), textBytes, peakMegabytes());
    return 0;
}

qint64 indexBytes(const QString& indexPath)
{
    qint64 bytes = 0;
    for (const char* suffix : {"", "-wal"}) {
        bytes += QFileInfo(indexPath + suffix).size();
    }
    return bytes;
}

struct LirentaRun
{
    qint64 ms = 0;
    qint64 textBytes = 0;
    long peakMb = 0;
};

LirentaRun runIndexer(const QString& folder, const QString& indexPath)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--index-into", folder, indexPath});
    child.waitForFinished(-1);
    const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(' ');
    return {figures.value(0).toLongLong(), figures.value(1).toLongLong(), figures.value(2).trimmed().toLong()};
}

int throughput(const QString& folder)
{
    const QStringList pdfs = pdfsIn(folder);
    QElapsedTimer clock;
    clock.start();
    for (const QString& path : pdfs) {
        QProcess::execute("pdftotext", {"-q", path, QDir::homePath() + "/out.txt"});
    }
    const qint64 poppler = clock.elapsed();
    const QString indexPath = QDir::homePath() + "/content-index.db";
    const LirentaRun lirenta = runIndexer(folder, indexPath);
    std::printf("%lld PDFs: pdftotext %.1f s (%.1f books/s); Lirenta read and indexed them in %.1f s (%.1f books/s), "
                "%.0f%% of pdftotext's speed\n",
                qint64(pdfs.size()), poppler / 1000.0, pdfs.size() * 1000.0 / poppler, lirenta.ms / 1000.0,
                pdfs.size() * 1000.0 / lirenta.ms, 100.0 * poppler / lirenta.ms);
    std::printf("indexer peak memory %ld MB; text %.1f MB, index %.1f MB (%.0f%% of the text)\n", lirenta.peakMb,
                lirenta.textBytes / 1e6, indexBytes(indexPath) / 1e6,
                100.0 * indexBytes(indexPath) / lirenta.textBytes);
    return 0;
}

struct Timings
{
    double median = 0;
    double worst = 0;
};

Timings timings(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return ms.isEmpty() ? Timings() : Timings{ms.at(ms.size() / 2), ms.last()};
}

// Queries of one, two and three words and a phrase, from common to rare words.
QStringList queriesOf(const QStringList& vocabulary, int count)
{
    std::mt19937 random(11);
    QStringList queries;
    for (int n = 0; n < count; ++n) {
        const auto pick = [&] {
            // Ranks spread on a log scale: common, middling and rare words alike.
            const double rank = std::exp(std::uniform_real_distribution<double>(0, std::log(20000.0))(random));
            return vocabulary.at(int(rank) - 1);
        };
        switch (n % 4) {
        case 0:
            queries << pick();
            break;
        case 1:
            queries << pick() + ' ' + pick();
            break;
        case 2:
            queries << pick() + ' ' + pick() + ' ' + pick();
            break;
        default:
            queries << '"' + vocabulary.at(n % 5) + ' ' + vocabulary.at(n % 7 + 1) + '"';
            break;
        }
    }
    return queries;
}

// A query as the views and the information panel run it: the first 500 books, ranked where
// ranking is affordable (as the library's search asks), then the best places in the first one.
double timeQuery(ContentIndex& index, const QString& terms)
{
    QElapsedTimer clock;
    clock.start();
    const QList<int> books = index.find(terms, 500);
    if (!books.isEmpty()) {
        index.bestParts(books.first(), terms);
    }
    return clock.nsecsElapsed() / 1e6;
}

int queries(int books, int pages, const QString& keptIndex)
{
    // An index kept from an earlier run (given as a path) is searched again as it is.
    const QString indexPath = keptIndex.isEmpty() ? QDir::homePath() + "/content-index.db" : keptIndex;
    const bool made = QFile::exists(indexPath);
    ContentIndex index("bench");
    index.open(indexPath, "bench");
    WordSource words(3);
    if (made) {
        index.close();
        books = 0;
    }
    QElapsedTimer clock;
    clock.start();
    qint64 textBytes = 0;
    for (int iid = 1; iid <= books; ++iid) {
        ContentText::Result result;
        result.outcome = ContentText::Outcome::Read;
        words.startBook();
        for (int page = 0; page < pages; ++page) {
            result.parts << ContentText::Part{ContentText::Kind::Page, page, words.page(300)};
            textBytes += result.parts.last().text.size();
        }
        index.store(iid, {1, 1, QString()}, result);
        if (iid % 1000 == 0) {
            std::printf("  %d books indexed, %.0f s\n", iid, clock.elapsed() / 1000.0);
            std::fflush(stdout);
        }
    }
    if (!made) {
        index.optimize();
        index.close();
    }
    std::printf("%d books of %d pages: text %.0f MB, index %.0f MB (%.0f%%), made in %.0f s\n", books, pages,
                textBytes / 1e6, indexBytes(indexPath) / 1e6, 100.0 * indexBytes(indexPath) / textBytes,
                clock.elapsed() / 1000.0);
    // The first query after an opening reads the index from disk as a user's first one does.
    index.open(indexPath, "bench");
    QList<double> ms;
    QList<std::pair<double, QString>> slowest;
    const QStringList asked = queriesOf(words.vocabulary(), 200);
    for (const QString& terms : asked) {
        ms << timeQuery(index, terms);
        slowest.append({ms.last(), terms});
    }
    const Timings all = timings(ms);
    std::printf("%lld queries: median %.1f ms, worst %.1f ms\n", qint64(asked.size()), all.median, all.worst);
    QList<double> wordsOnly;
    for (const auto& [time, terms] : std::as_const(slowest)) {
        if (!terms.startsWith('"')) {
            wordsOnly << time;
        }
    }
    const Timings plain = timings(wordsOnly);
    std::printf("without the phrases: median %.1f ms, worst %.1f ms\n", plain.median, plain.worst);
    std::sort(slowest.rbegin(), slowest.rend());
    for (int n = 0; n < 5 && n < slowest.size(); ++n) {
        std::printf("  %.1f ms: %s (%lld books)\n", slowest.at(n).first, qPrintable(slowest.at(n).second),
                    qint64(index.find(slowest.at(n).second).size()));
    }
    return 0;
}

double timeCommand(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    if (output) {
        *output = process.readAllStandardOutput();
    }
    return clock.nsecsElapsed() / 1e6;
}

int calibre(const QString& folder)
{
    const QString library = QDir::homePath() + "/calibre-library";
    QDir().mkpath(library);
    timeCommand("calibredb", {"add", "--library-path", library, "-r", folder});
    const double calibreIndex = timeCommand("calibredb", {"fts_index", "enable", "--wait-for-completion",
                                                          "--indexing-speed=fast", "--library-path", library});
    const QString indexPath = QDir::homePath() + "/content-index.db";
    const LirentaRun lirenta = runIndexer(folder, indexPath);
    std::printf("index %lld PDFs: calibredb fts_index %.1f s, Lirenta %.1f s\n", qint64(pdfsIn(folder).size()),
                calibreIndex / 1000.0, lirenta.ms / 1000.0);

    const QStringList asked = queriesOf(WordSource(7).vocabulary(), 12);
    QList<double> calibreMs;
    QList<double> lirentaMs;
    ContentIndex index("bench");
    index.open(indexPath, "bench");
    for (const QString& terms : asked) {
        QByteArray found;
        calibreMs << timeCommand("calibredb",
                                 {"fts_search", "--library-path", library, "--output-format", "json",
                                  "--do-not-match-on-related-words", terms},
                                 &found);
        lirentaMs << timeQuery(index, terms);
    }
    const Timings theirs = timings(calibreMs);
    const Timings ours = timings(lirentaMs);
    std::printf("%lld searches: calibredb fts_search median %.0f ms (worst %.0f); Lirenta median %.1f ms (worst "
                "%.1f), %.0f times faster\n",
                qint64(asked.size()), theirs.median, theirs.worst, ours.median, ours.worst,
                theirs.median / std::max(0.01, ours.median));
    return 0;
}

int window(const QString& folder)
{
    const QString dataDir = QDir::homePath() + "/data/";
    QDir().mkpath(dataDir);
    LibrarySettings().setValue("dataDir", dataDir);
    LibraryDatabase library;
    library.open(dataDir);
    for (const QString& path : pdfsIn(folder)) {
        Book book(nullptr, 0);
        book.setTitle(QFileInfo(path).baseName());
        book.addFile(path);
        book.insertBook();
    }
    library.close();
    MainWindow mainWindow(library);
    mainWindow.resize(1200, 800);
    mainWindow.show();
    ContentIndexer& indexer = library.contentIndexer();
    QElapsedTimer clock;
    clock.start();
    WindowPauses pauses(1);
    QEventLoop loop;
    QObject::connect(&indexer, &ContentIndexer::finished, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("window over %d books while they are indexed: %.1f s, longest pause %lld ms\n", indexer.totalCount(),
                clock.elapsed() / 1000.0, pauses.longest());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString mode = arguments.value(1);
    if (mode == "--write" && arguments.size() >= 4) {
        writePdfs(arguments.at(2).toInt(), arguments.at(3), arguments.value(4, "100").toInt());
        return 0;
    }
    if (mode == "--index-into" && arguments.size() >= 4) {
        return indexInto(arguments.at(2), arguments.at(3));
    }
    if (mode == "--throughput" && arguments.size() >= 3) {
        return throughput(arguments.at(2));
    }
    if (mode == "--calibre" && arguments.size() >= 3) {
        return calibre(arguments.at(2));
    }
    if (mode == "--queries" && arguments.size() >= 3) {
        return queries(arguments.at(2).toInt(), arguments.value(3, "100").toInt(), arguments.value(4));
    }
    if (mode == "--window" && arguments.size() >= 3) {
        return window(arguments.at(2));
    }
    std::fprintf(stderr, "usage: BenchContent --write N FOLDER [PAGES] | --throughput FOLDER | --calibre FOLDER | "
                         "--queries N [PAGES] | --window FOLDER\n");
    return 2;
}
