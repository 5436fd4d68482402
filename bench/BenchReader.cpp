// The readers at work on large books, in a window as a user has it (run under Xvfb):
//
//   BenchReader --pdf [PAGES]     a PDF of PAGES pages (default 1000): the time from opening
//                                 the tab to its first page on screen, page turns (Page Down)
//                                 until the new page is drawn, and a scroll through every page:
//                                 the memory it adds and the window's longest pause
//   BenchReader --epub [CHAPTERS] an EPUB of CHAPTERS chapters (default 200) of a library book
//                                 left half-way through chapter 150: the time until the reader
//                                 shows that place again
#include "ItemFile.h"
#include "LibraryDatabase.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "PdfFiles.h"
#include "PdfPageView.h"
#include "PdfReader.h"
#include "QtModules.h"
#include "Reader.h"
#include "ReadingPosition.h"
#include "TestEnvironment.h"
#include "WindowPauses.h"
#include "ZipWriter.h"

#include <QPdfPageRenderer>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>

namespace {
long residentMegabytes()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpressionMatch match = QRegularExpression("VmRSS:\\s+(\\d+) kB").match(text);
    return match.captured(1).toLong() / 1024;
}

// Runs the event loop until `done` holds; false after `ms`. Unlike QTest::qWaitFor it never
// sleeps, which would hold up the web engine's work on this thread and the timings with it.
template <typename Predicate> bool waitUntil(Predicate done, int ms = 10000)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) {
            loop.quit();
        }
    });
    check.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!done()) {
        loop.exec();
    }
    return done();
}

// Waits until the view's renderer hands over `page`; false after ten seconds.
bool waitForPage(PdfPageView* view, int page)
{
    auto* renderer = view->findChild<QPdfPageRenderer*>();
    bool rendered = false;
    const QMetaObject::Connection connection =
        QObject::connect(renderer, &QPdfPageRenderer::pageRendered, [&](int number) { rendered |= number == page; });
    view->viewport()->repaint();
    const bool done = waitUntil([&] { return rendered; });
    QObject::disconnect(connection);
    view->viewport()->repaint();
    return done;
}

int benchPdf(int pages)
{
    const QString path = QDir::homePath() + "/long.pdf";
    QStringList texts;
    for (int page = 1; page <= pages; ++page) {
        texts << QString("Chapter %1\n\n%2").arg(page).arg(QString("Words on a page of a long book. ").repeated(60));
    }
    PdfFiles::writeTextPages(path, texts);
    std::printf("%d-page PDF, %lld kB\n", pages, QFileInfo(path).size() / 1024);

    QElapsedTimer clock;
    clock.start();
    PdfReader reader(nullptr, path);
    reader.resize(1000, 800);
    reader.show();
    const bool first = waitForPage(reader.view(), 0);
    std::printf("first page on screen: %lld ms%s\n", clock.elapsed(), first ? "" : " (not drawn)");

    QList<double> turns;
    for (int turn = 0; turn < 40; ++turn) {
        clock.restart();
        QTest::keyClick(reader.view(), Qt::Key_PageDown);
        waitForPage(reader.view(), reader.view()->readingPage());
        turns << clock.nsecsElapsed() / 1e6;
    }
    std::sort(turns.begin(), turns.end());
    std::printf("page turns: median %.1f ms, slowest %.1f ms\n", turns.at(turns.size() / 2), turns.last());

    // A steady scroll through the book, a screen at a time, as fast as the loop goes.
    reader.view()->showPlace(0);
    const long before = residentMegabytes();
    WindowPauses pauses;
    clock.restart();
    QScrollBar* bar = reader.view()->verticalScrollBar();
    long peak = before;
    while (bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + reader.view()->viewport()->height());
        waitUntil([] { return false; }, 10);
        peak = std::max(peak, residentMegabytes());
    }
    std::printf("scroll through %d pages: %.1f s, memory %ld MB to a peak of %ld MB (+%ld MB), longest pause %lld ms\n",
                pages, clock.elapsed() / 1000.0, before, peak, peak - before, pauses.longest());
    return 0;
}

int benchEpub(int chapters)
{
    const QString dataDir = QDir::homePath() + "/bench-data/";
    QDir().mkpath(dataDir);
    LibrarySettings().setValue("dataDir", dataDir);
    LibraryDatabase library;
    library.open(dataDir);
    const QString filesDir = QDir::homePath() + "/books/";
    LibrarySeeder(dataDir, filesDir).addBook({.title = "Long Book", .fileNames = {"long.epub"}});
    QList<ZipWriter::Entry> files;
    QString manifest;
    QString spine;
    for (int i = 0; i < chapters; ++i) {
        const QString name = QString("chapter%1.xhtml").arg(i, 3, 10, QChar('0'));
        files.append({name, QString("<?xml version='1.0'?><html xmlns='http://www.w3.org/1999/xhtml'><body><h1>%1</h1>"
                                    "<p>%2</p></body></html>")
                                .arg(i)
                                .arg(QString("A paragraph of the long book. ").repeated(300))
                                .toUtf8()});
        manifest += QString("<item id='c%1' href='%2' media-type='application/xhtml+xml'/>").arg(i).arg(name);
        spine += QString("<itemref idref='c%1'/>").arg(i);
    }
    files.append({"content.opf", QString("<?xml version='1.0'?><package xmlns='http://www.idpf.org/2007/opf' "
                                         "version='3.0'><manifest>%1</manifest><spine>%2</spine></package>")
                                     .arg(manifest, spine)
                                     .toUtf8()});
    const QString path = filesDir + "long.epub";
    ZipWriter::writeEpub(path, files);
    // Readings before the measured ones: the first unpacks the book and starts the web engine.
    QElapsedTimer clock;
    for (int warm = 0; warm < 3; ++warm) {
        clock.start();
        Reader reader(nullptr, path);
        reader.show();
        QSignalSpy(reader.findChild<QWebEngineView*>(), &QWebEngineView::loadFinished).wait(10000);
        std::printf("warm-up reading %d: %lld ms\n", warm + 1, clock.elapsed());
    }
    // The book was left half-way through chapter 150.
    ReadingPosition position;
    position.chapter = QString("OEBPS/chapter%1.xhtml").arg(std::min(150, chapters - 1), 3, 10, QChar('0'));
    position.scroll = 0.5;
    const QString md5 = ItemFile(nullptr, path).getFileMd5();
    QList<qint64> times;
    for (int run = 0; run < 5; ++run) {
        ReadingPosition::save(path, md5, position);
        clock.restart();
        auto reader = std::make_unique<Reader>(nullptr, path);
        reader->resize(1000, 800);
        reader->show();
        const bool resumed = waitUntil([&] { return reader->scrollPosition() > 0.45; });
        times << (resumed ? clock.elapsed() : -1);
    }
    std::sort(times.begin(), times.end());
    std::printf("EPUB of %d chapters back at its place (chapter 150, half-way): median %lld ms, slowest %lld ms%s\n",
                chapters, times.at(times.size() / 2), times.last(),
                times.first() < 0 ? " (a run did not get there)" : "");
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    // As the program starts its web views.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 2 && arguments.at(1) == "--pdf") {
        return benchPdf(arguments.size() > 2 ? arguments.at(2).toInt() : 1000);
    }
    if (arguments.size() >= 2 && arguments.at(1) == "--epub") {
        return benchEpub(arguments.size() > 2 ? arguments.at(2).toInt() : 200);
    }
    std::fprintf(stderr, "usage: BenchReader --pdf [PAGES] | --epub [CHAPTERS]\n");
    return 2;
}
