// Measures the library at scale:
//   BenchLibrary [books] [--md5]
// Builds a library of N books (real data.db rows, authors shared between books, one real PDF
// file per book), then reports medians over repetitions: opening the main window to its first
// painted books tab, search keystrokes, opening an author tab, the import duplicate check, and,
// with --md5, hashing a 1 GiB file. Peak memory is printed last.
#include "Books.h"
#include "ItemFile.h"
#include "ItemViews.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {
QString dataDir()
{
    return QDir::homePath() + "/bench-data/";
}

void generate(int count)
{
    QDir().mkpath(dataDir());
    QDir().mkpath(QDir::homePath() + "/books");
    LibrarySettings().setValue("dataDir", dataDir());
    LibraryDatabase::open(dataDir());
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
    LibraryDatabase::close();
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
    const int count = argc > 1 ? atoi(argv[1]) : 10000;
    const bool md5 = app.arguments().contains("--md5");
    QElapsedTimer clock;
    clock.start();
    generate(count);
    std::printf("books %d (generated in %lld ms)\n", count, clock.elapsed());

    {
        LibrarySettings().setValue("dataDir", dataDir());
        LibraryDatabase::open(dataDir());
        const qint64 before = residentMiB();
        clock.restart();
        Books books(nullptr, QString(), -1);
        std::printf("load all books (records only): %lld ms, %lld MB\n", clock.elapsed(), residentMiB() - before);
        for (const QString& term : {QString("winter"), QString("zzqx")}) {
            clock.restart();
            books.dbSearch(term);
            std::printf("query for '%s' alone: %lld ms\n", qPrintable(term), clock.elapsed());
        }
        clock.restart();
        ItemViews view(nullptr, "Books", -1);
        const qint64 loaded = clock.elapsed();
        view.renderItems();
        std::printf("items view: load %lld ms, render %lld ms, %lld MB with both collections\n", loaded,
                    clock.elapsed() - loaded, residentMiB() - before);
        LibraryDatabase::close();
    }

    QList<double> opens;
    for (int round = 0; round < 3; ++round) {
        clock.restart();
        auto* window = new MainWindow;
        window->resize(1200, 800);
        window->show();
        QTest::qWaitForWindowExposed(window);
        QCoreApplication::processEvents();
        opens << clock.elapsed();
        if (round < 2) {
            delete window;
            LibraryDatabase::close();
        } else {
            auto* view = window->findChild<ItemViews*>("ItemViews");
            for (const QString& term : {QString("winter"), QString("volume 12345"), QString("zzqx"), QString("r"),
                                        QString("ga"), QString("mac")}) {
                QList<double> times;
                for (int i = 0; i < 5; ++i) {
                    clock.restart();
                    view->search(term);
                    times << clock.elapsed();
                }
                std::printf("search '%s': median %.0f ms, worst %.0f ms\n", qPrintable(term), median(times),
                            *std::max_element(times.begin(), times.end()));
            }
            clock.restart();
            window->newAuthorTab(1, "Author");
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
        }
    }
    std::printf("open library to painted books tab: median %.0f ms\n", median(opens));

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
        std::printf("MD5 of 1 GiB: %.2f s (%.0f MB/s)\n", seconds, 1024 / seconds);
    }
    std::printf("peak memory: %lld MB\n", peakKiB() / 1024);
    return 0;
}
