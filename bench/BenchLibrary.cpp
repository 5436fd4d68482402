// Measures the library at scale:
//   BenchLibrary [books] [--md5] [--indexing-paused] [--import-only N DIR]
// Builds a library of N books (real data.db rows, authors shared between books, one real PDF
// file per book), then reports medians over repetitions: opening the main window to its first
// painted books tab, search keystrokes (until the window is idle again), opening an author tab,
// the import duplicate check, scanning a folder of 20,000 PDFs for import, saving 1,000 imported
// books, the records and views separately, and, with --md5, hashing a 1 GiB file. Keystrokes are
// timed twice: while the title index of the never-indexed library is still being made, and once
// it is. --indexing-paused keeps the indexer of book contents paused throughout.
// --import-only N DIR writes N small PDFs to DIR and imports them into an empty library (the
// figure bench/compare-calibre.sh sets beside calibredb's).
#include "Book.h"
#include "BookCovers.h"
#include "BookProperties.h"
#include "Books.h"
#include "CoverMaker.h"
#include "ItemFile.h"
#include "ItemViews.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "MultiSelect.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {
// The library every measurement opens; made once the application exists.
LibraryDatabase* library = nullptr;

QString dataDir()
{
    return QDir::homePath() + "/bench-data/";
}

void generate(int count)
{
    QDir().mkpath(dataDir());
    QDir().mkpath(QDir::homePath() + "/books");
    LibrarySettings().setValue("dataDir", dataDir());
    library->open(dataDir());
    QSqlQuery query;
    query.exec("BEGIN");
    const int authors = std::max(1, count / 4);
    for (int aid = 1; aid <= authors; ++aid) {
        query.prepare("INSERT INTO authors (aid, name, firstName, lastName) VALUES (?, ?, ?, ?)");
        query.addBindValue(aid);
        query.addBindValue(QString("Author %1 Writer%2").arg(aid).arg(aid % 977));
        query.addBindValue(QString("Author %1").arg(aid));
        query.addBindValue(QString("Writer%1").arg(aid % 977));
        query.exec();
    }
    const QStringList words = {"river", "mountain", "glass", "winter", "garden", "machine", "silence", "harbour"};
    for (int iid = 1; iid <= count; ++iid) {
        query.prepare(
            "INSERT INTO items (iid, type, coverFile, created, updated, rating) VALUES (?, 'Book', '', 0, 0, ?)");
        query.addBindValue(iid);
        query.addBindValue(iid % 6);
        query.exec();
        query.prepare("INSERT INTO books (title, description, iid, publisher, datePublished, pageCount) VALUES (?, ?, "
                      "?, 'P', '2001', 300)");
        query.addBindValue(QString("The %1 of %2 volume %3").arg(words[iid % 8], words[(iid / 8) % 8]).arg(iid));
        query.addBindValue(
            QString("A story about %1 and %2, number %3.").arg(words[(iid / 3) % 8], words[(iid / 5) % 8]).arg(iid));
        query.addBindValue(iid);
        query.exec();
        query.prepare("INSERT INTO items_authors (iid, aid) VALUES (?, ?)");
        query.addBindValue(iid);
        query.addBindValue(1 + iid % authors);
        query.exec();
        // Two tags per book, and every fourth book in a series.
        for (int tag = 0; tag < 2; ++tag) {
            query.prepare("INSERT INTO lirenta_tags (iid, tag) VALUES (?, ?)");
            query.addBindValue(iid);
            query.addBindValue(QString("%1 tag%2").arg(words[(iid / (tag + 2)) % 8]).arg((iid + tag) % 50));
            query.exec();
        }
        if (iid % 4 == 0) {
            query.prepare("INSERT INTO lirenta_series (iid, name, number) VALUES (?, ?, ?)");
            query.addBindValue(iid);
            query.addBindValue(QString("Saga of the %1 %2").arg(words[(iid / 9) % 8]).arg(iid % 997));
            query.addBindValue(1 + iid % 12);
            query.exec();
        }
        // A note per book, in the editor's own mark-up.
        query.prepare("INSERT INTO notes (iid, note) VALUES (?, ?)");
        query.addBindValue(iid);
        query.addBindValue(QString("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\"><html><head><meta "
                                   "name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">p, li { "
                                   "white-space: pre-wrap; }</style></head><body><p>Reading note %1: the "
                                   "<b>%2</b> chapter made me think of %3 &amp; of the %4 at dusk.</p></body></html>")
                               .arg(iid)
                               .arg(words[(iid / 7) % 8], words[(iid / 11) % 8], words[(iid / 13) % 8]));
        query.exec();
        const QString path = QDir::homePath() + QString("/books/book-%1.pdf").arg(iid);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        const QByteArray content = "%PDF-1.4\n% book " + QByteArray::number(iid) + "\n";
        file.write(content);
        file.close();
        query.prepare("INSERT INTO files (fileName, filePath, fileType, fileExtension, fileMd5, fileSize, firstBytes, "
                      "iid, created, updated) VALUES (?, ?, 'pdf', 'pdf', '', ?, ?, ?, 0, 0)");
        query.addBindValue(QFileInfo(path).fileName());
        query.addBindValue(path);
        query.addBindValue(content.size());
        query.addBindValue(QString::fromLatin1(content.left(50).toHex()));
        query.addBindValue(iid);
        query.exec();
    }
    query.exec("COMMIT");
    library->close();
}

QStringList writePdfs(const QString& folder, int count, const QString& stem, int perFolder)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString dir = folder + QString("/part-%1").arg(i / perFolder);
        if (i % perFolder == 0) {
            QDir().mkpath(dir);
        }
        const QString path = dir + QString("/%1 %2.pdf").arg(stem).arg(i);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("%PDF-1.4\n% " + stem.toUtf8() + " " + QByteArray::number(i) + "\n%%EOF\n");
        paths << path;
    }
    return paths;
}

// Real PDFs of two pages, the first with a coloured block and the title, as a scanner or a
// publisher would make them (the covers are rendered from these).
QStringList writeRealPdfs(const QString& folder, int count, const QString& stem)
{
    QStringList paths;
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QString("/%1 %2.pdf").arg(stem).arg(i);
        QPdfWriter writer(path);
        writer.setResolution(72);
        writer.setTitle(QString("%1 %2").arg(stem).arg(i));
        QPainter painter(&writer);
        painter.fillRect(QRect(60, 80, 470, 500), QColor::fromHsv((i * 37) % 360, 160, 200));
        painter.setFont(QFont("Sans", 28));
        painter.drawText(QRect(60, 600, 470, 120), Qt::AlignCenter, QString("%1 %2").arg(stem).arg(i));
        writer.newPage();
        painter.setFont(QFont("Sans", 11));
        painter.drawText(QRect(60, 60, 470, 700), Qt::TextWordWrap, QString("Chapter one. ").repeated(200));
        paths << path;
    }
    return paths;
}

// Everything an import does for one file but the online look-up: fingerprint, duplicate
// check, and the book saved with its file in one transaction. With a cover maker, each saved
// book's cover is asked for at once, as the batch import does.
double importBooks(const QStringList& paths, CoverMaker* covers = nullptr)
{
    QElapsedTimer clock;
    clock.start();
    for (const QString& path : paths) {
        ItemFile candidate(nullptr, path);
        if (candidate.hasDuplicateQuick()) {
            continue;
        }
        Book book(nullptr, 0);
        book.setTitle(BookProperties::titleFromFileName(candidate.getFileName()));
        book.addFile(path);
        if (book.insertBook() && covers) {
            covers->request(book.getId());
            QCoreApplication::processEvents();
        }
    }
    if (covers && !covers->isIdle()) {
        QEventLoop wait;
        QObject::connect(covers, &CoverMaker::idle, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return clock.nsecsElapsed() / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

qint64 statusKiB(const QByteArray& field)
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(field.size()).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

qint64 peakKiB()
{
    return statusKiB("VmHWM:");
}

qint64 residentMiB()
{
    return statusKiB("VmRSS:") / 1024;
}
} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    LibraryDatabase opened;
    library = &opened;
    const QStringList arguments = app.arguments();
    QElapsedTimer clock;
    clock.start();

    const int importOnly = arguments.indexOf("--import-only");
    if (importOnly > 0 && arguments.size() > importOnly + 2) {
        const int count = arguments.at(importOnly + 1).toInt();
        const bool withCovers = arguments.contains("--with-covers");
        const QStringList paths = withCovers ? writeRealPdfs(arguments.at(importOnly + 2), count, "Imported book")
                                             : writePdfs(arguments.at(importOnly + 2), count, "Imported book", 1000);
        if (arguments.contains("--write-only")) {
            return 0;
        }
        generate(0);
        library->open(dataDir());
        CoverMaker covers;
        const double ms = importBooks(paths, withCovers ? &covers : nullptr);
        if (withCovers) {
            std::printf("covers made: %lld of %d\n", qint64(count - BookCovers::withoutCover().size()), count);
        }
        std::printf("import %d PDFs%s: %.0f ms, %.2f ms per book\n", count, withCovers ? " with covers" : "", ms,
                    ms / count);
        return 0;
    }

    const int count = argc > 1 ? atoi(argv[1]) : 10000;
    const bool md5 = arguments.contains("--md5");
    generate(count);
    if (arguments.contains("--indexing-paused")) {
        LibrarySettings().setValue(QStringLiteral("contentIndex/paused"), true);
    }
    std::printf("books %d (generated in %lld ms, peak memory so far %lld MB)\n", count, clock.elapsed(),
                peakKiB() / 1024);

    QList<double> opens;
    MainWindow* window = nullptr;
    for (int round = 0; round < 3; ++round) {
        clock.restart();
        window = new MainWindow(*library);
        window->resize(1200, 800);
        window->show();
        if (!QTest::qWaitForWindowExposed(window)) {
            std::printf("window not exposed\n");
        }
        QCoreApplication::processEvents();
        opens << clock.elapsed();
        if (round == 0) {
            std::printf("peak memory after the first opening: %lld MB\n", peakKiB() / 1024);
        }
        if (round < 2) {
            delete window;
            library->close();
        }
    }
    std::printf("open library to painted books tab: median %.0f ms (rounds:", median(opens));
    for (double open : opens) {
        std::printf(" %.0f", open);
    }
    std::printf(")\n");

    // One keystroke: the search itself and everything the window then does before it is idle.
    // Each term five times; every time is kept, in order.
    auto* view = window->findChild<ItemViews*>("ItemViews");
    const auto keystrokes = [view](const char* label, const QStringList& terms) {
        QList<double> all;
        for (const QString& term : terms) {
            QList<double> times;
            for (int i = 0; i < 5; ++i) {
                QElapsedTimer one;
                one.start();
                view->search(term);
                QCoreApplication::processEvents();
                times << one.nsecsElapsed() / 1e6;
                all << times.last();
            }
            std::printf("%s '%s': median %.1f ms, worst %.1f ms\n", label, qPrintable(term), median(times),
                        *std::max_element(times.begin(), times.end()));
        }
        return all;
    };
    // Right after the opening a library that was never indexed (as every round here: each closes
    // before its index is done) is still making its title index, a part between events.
    const QList<double> whileBuilding = keystrokes("while the title index is made", {"winter", "zzqx", ""});
    std::printf("keystrokes while the title index is made: median %.1f ms, worst %.1f ms\n", median(whileBuilding),
                *std::max_element(whileBuilding.begin(), whileBuilding.end()));
    clock.restart();
    while (library->isBuildingSearchIndex() && clock.elapsed() < 60000) {
        QTest::qWait(10);
    }
    std::printf("title index ready %lld ms after those keystrokes\n", clock.elapsed());
    const QList<double> all =
        keystrokes("search", {"winter", "volume 12345", "zzqx", "r", "ga", "mac", "garden of", ""});
    std::printf("all keystrokes: median %.1f ms, worst %.1f ms (the first, from the whole library shown: %.1f ms)\n",
                median(all), *std::max_element(all.begin(), all.end()), all.first());

    // The same keystrokes in the Everything scope, notes, tags and series included. Its index is
    // made in a second thread a little after the opening; the first search in the scope waits
    // for what is left of it.
    {
        view->search("");
        QCoreApplication::processEvents();
        QElapsedTimer build;
        build.start();
        view->setSearchScope(SearchScope::Everything);
        view->search("winter");
        QCoreApplication::processEvents();
        std::printf("everything scope: index made and first search in %lld ms\n", build.elapsed());
        const QList<double> everything =
            keystrokes("everything", {"winter", "volume 12345", "zzqx", "r", "ga", "dusk", "note 4711", "writer12",
                                      "book-99.pdf", "saga of the", "tag17", ""});
        std::printf("everything keystrokes: median %.1f ms, worst %.1f ms\n", median(everything),
                    *std::max_element(everything.begin(), everything.end()));
        view->setSearchScope(SearchScope::TitlesAndDescriptions);
        view->search("");
        QCoreApplication::processEvents();
    }
    // The same first search with the cover grid on screen: the grid hides its cells itself.
    view->toggleView();
    QCoreApplication::processEvents();
    {
        QElapsedTimer one;
        one.start();
        view->search("winter");
        QCoreApplication::processEvents();
        const double gridFirst = one.nsecsElapsed() / 1e6;
        one.restart();
        view->search("");
        QCoreApplication::processEvents();
        std::printf("on the cover grid: first search %.1f ms, back to every book %.1f ms\n", gridFirst,
                    one.nsecsElapsed() / 1e6);
    }
    view->toggleView();
    QCoreApplication::processEvents();
    std::printf("peak memory with the library open: %lld MB\n", peakKiB() / 1024);

    clock.restart();
    window->newAuthorTab(1, "Author");
    QCoreApplication::processEvents();
    std::printf("open an author tab: %lld ms\n", clock.elapsed());

    QList<double> checks;
    for (int i = 0; i < 200; ++i) {
        const QString path = QDir::homePath() + QString("/books/new-%1.pdf").arg(i);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("%PDF-1.4 new " + QByteArray::number(i));
        file.close();
        QElapsedTimer one;
        one.start();
        ItemFile candidate(nullptr, path);
        candidate.hasDuplicateQuick();
        checks << one.nsecsElapsed() / 1e6;
    }
    std::printf("duplicate check per file: median %.3f ms\n", median(checks));

    const QString scanFolder = QDir::homePath() + "/scan";
    writePdfs(scanFolder, 20000, "Scanned book", 500);
    {
        MultiSelect dialog(window);
        clock.restart();
        dialog.populateTable(scanFolder);
        std::printf("scan a folder of 20000 PDFs for import (walk, fingerprint, duplicate check, list): %lld ms, "
                    "%d new\n",
                    clock.elapsed(), dialog.findChild<QTableWidget*>("tableWidget")->rowCount());
    }
    const QStringList toImport = writePdfs(QDir::homePath() + "/import", 1000, "Imported book", 1000);
    const double importMs = importBooks(toImport);
    std::printf("save 1000 imported books: %.0f ms, %.2f ms per book\n", importMs, importMs / 1000);
    delete window;
    library->close();

    {
        LibrarySettings().setValue("dataDir", dataDir());
        library->open(dataDir());
        const qint64 before = residentMiB();
        clock.restart();
        Books books(nullptr, QString(), -1);
        std::printf("load all books (records only): %lld ms, %lld MB\n", clock.elapsed(), residentMiB() - before);
        clock.restart();
        ItemViews itemViews(nullptr, "Books", -1);
        const qint64 loaded = clock.elapsed();
        itemViews.renderItems();
        std::printf("items view: load %lld ms, render %lld ms\n", loaded, clock.elapsed() - loaded);
        library->close();
    }

    if (md5) {
        const QString big = QDir::homePath() + "/big.bin";
        QFile file(big);
        file.open(QIODevice::WriteOnly);
        QByteArray block(8 * 1024 * 1024, 'x');
        for (int i = 0; i < 128; ++i) {
            block[0] = char(i);
            file.write(block);
        }
        file.close();
        clock.restart();
        ItemFile hashed(nullptr, big);
        hashed.getFileMd5();
        const double seconds = clock.elapsed() / 1000.0;
        // md5sum on the same file, the page cache as warm for both.
        clock.restart();
        QProcess md5sum;
        md5sum.start("md5sum", {big});
        const bool ran = md5sum.waitForFinished(120000) && md5sum.exitCode() == 0;
        const double theirs = clock.elapsed() / 1000.0;
        const bool same = ran && md5sum.readAllStandardOutput().startsWith(hashed.getFileMd5().toLatin1());
        std::printf("MD5 of 1 GiB: %.2f s (%.0f MB/s); md5sum %.2f s: %.0f%% of its throughput%s\n", seconds,
                    1024 / seconds, theirs, 100 * theirs / seconds, same ? "" : " (md5sum missing or disagrees)");
    }
    std::printf("peak memory: %lld MB\n", peakKiB() / 1024);
    return 0;
}
