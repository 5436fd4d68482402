// Renders an all-books view over a library of N books with N distinct covers and reports how
// long the window is blocked and how long until every cover is on screen, while the grid is
// scrolled a page at a time.
//   BenchItemViews [N]
#include "ItemViews.h"
#include "LibraryFixture.h"
#include "TestEnvironment.h"
#include "WindowPauses.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {
void seed(const LibraryFixture& library, int count)
{
    QSqlQuery query;
    query.exec("BEGIN");
    QImage cover(300, 450, QImage::Format_RGB32);
    for (int iid = 1; iid <= count; ++iid) {
        cover.fill(QColor::fromHsv(iid * 37 % 360, 160, 180));
        const QString path = library.dataDir() + QString::number(iid) + ".jpg";
        cover.save(path, "JPG", 85);
        query.prepare(
            "INSERT INTO items (iid, type, coverFile, created, updated, rating) VALUES (?, 'Book', ?, 0, 0, ?)");
        query.addBindValue(iid);
        query.addBindValue(path);
        query.addBindValue(iid % 6);
        query.exec();
        query.prepare("INSERT INTO books (title, description, iid, publisher, datePublished) VALUES (?, ?, ?, ?, ?)");
        query.addBindValue(QString("Book number %1 of the benchmark library").arg(iid));
        query.addBindValue(QString("Description of book %1").arg(iid));
        query.addBindValue(iid);
        query.addBindValue("Publisher");
        query.addBindValue("2001");
        query.exec();
    }
    query.exec("COMMIT");
}
} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 3000;
    LibraryFixture library;
    seed(library, count);

    QElapsedTimer clock;
    clock.start();
    ItemViews view(nullptr, "Books", -1);
    const qint64 loaded = clock.elapsed();
    view.renderItems();
    const qint64 rendered = clock.elapsed();
    view.resize(1200, 800);
    view.show();
    view.toggleView();
    // The window's first paint is timed on its own: in a fresh process it includes loading the
    // fonts, whatever the number of books.
    QElapsedTimer firstPaint;
    firstPaint.start();
    QCoreApplication::processEvents();
    const qint64 painted = firstPaint.elapsed();

    WindowPauses pauses;
    auto* grid = view.findChild<QListWidget*>("viewList");
    const QImage placeholder = QIcon(":/icons/images/book.png").pixmap(QSize(128, 128)).toImage();
    QTimer poll;
    qint64 allCovers = -1;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // The last cell is the last one asked for; when it has its cover, all have.
        for (int i = grid->count() - 1; i >= 0; i -= std::max(1, grid->count() / 50)) {
            if (grid->item(i)->icon().pixmap(QSize(128, 128)).toImage() == placeholder) {
                return;
            }
        }
        allCovers = clock.elapsed();
        app.quit();
    });
    poll.start(50);
    // Meanwhile the grid is scrolled a page at a time, down and up again, as a reader would.
    QTimer scroller;
    int step = 1;
    QObject::connect(&scroller, &QTimer::timeout, [grid, &step] {
        QScrollBar* bar = grid->verticalScrollBar();
        if (bar->value() + step * bar->pageStep() > bar->maximum() || bar->value() + step * bar->pageStep() < 0) {
            step = -step;
        }
        bar->setValue(bar->value() + step * bar->pageStep());
    });
    scroller.start(100);
    QTimer::singleShot(120000, &app, &QApplication::quit);
    app.exec();

    std::printf("books %d\nload collection %lld ms\nrender table and grid %lld ms\n"
                "first paint of the window %lld ms\nall covers shown after %lld ms\n"
                "longest event-loop freeze while covers load %lld ms\n",
                count, loaded, rendered - loaded, painted, allCovers, pauses.longest());
    return 0;
}
