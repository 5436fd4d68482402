#include "BookFileWalk.h"

#include "ItemFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QtConcurrent>

#include <map>

BookFileWalk::File BookFileWalk::examine(const QString& path)
{
    File file;
    file.path = path;
    if (!ItemFile::isBookFile(path)) {
        return file; // named by the user, so listed as no book
    }
    // Named .pdf is not enough: an empty file or another kind of file is no PDF book.
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0 &&
        !ItemFile::hasPdfContent(path)) {
        file.kind = File::Kind::NotPdf;
        return file;
    }
    file.kind = File::Kind::Book;
    file.metadata = BookMetadata::read(path);
    return file;
}

bool BookFileWalk::run(const QStringList& paths, bool withSubfolders, QWidget* parent,
                       const std::function<void(const File&)>& take)
{
    QProgressDialog progress(QCoreApplication::translate("MultiSelect", "Looking for book files..."),
                             QCoreApplication::translate("MultiSelect", "Cancel"), 0, 0, parent);
    progress.setWindowTitle(QCoreApplication::translate("MultiSelect", "Add multiple books"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();

    QStringList files;
    for (const QString& start : paths) {
        if (!QFileInfo(start).isDir()) {
            files << start;
            continue;
        }
        QStringList found;
        QDirIterator walk(start, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                          withSubfolders ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
        while (walk.hasNext()) {
            const QString path = walk.next();
            if (ItemFile::isBookFile(path)) {
                found << path;
            }
            if (sinceRepaint.elapsed() > 40) {
                progress.setLabelText(QCoreApplication::translate("MultiSelect", "Looking for book files...\n%1 found")
                                          .arg(files.size() + found.size()));
                QCoreApplication::processEvents();
                sinceRepaint.restart();
            }
            if (progress.wasCanceled()) {
                return false;
            }
        }
        found.sort();
        files << found;
    }

    // Read in second threads; handed over here in order, as they come.
    progress.setMaximum(int(files.size()));
    QFutureWatcher<File> watcher;
    std::map<int, File> waiting;
    int next = 0;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<File>::resultReadyAt, &loop, [&](int index) {
        if (index < next) {
            return;
        }
        waiting.emplace(index, watcher.resultAt(index));
        while (!waiting.empty() && waiting.begin()->first == next) {
            take(waiting.begin()->second);
            waiting.erase(waiting.begin());
            ++next;
        }
        if (sinceRepaint.elapsed() > 40) {
            progress.setValue(next);
            progress.setLabelText(
                QCoreApplication::translate("MultiSelect", "Reading what the files say about themselves...\n%1 of %2")
                    .arg(next)
                    .arg(files.size()));
            sinceRepaint.restart();
        }
    });
    QObject::connect(&watcher, &QFutureWatcher<File>::finished, &loop, &QEventLoop::quit);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        watcher.cancel();
        loop.quit();
    });
    watcher.setFuture(QtConcurrent::mapped(files, &BookFileWalk::examine));
    if (!watcher.isFinished()) {
        loop.exec();
    }
    if (progress.wasCanceled() || watcher.isCanceled()) {
        watcher.waitForFinished();
        return false;
    }
    // Results the watcher had not yet handed over when the work ended (or ended before it
    // was watched) are taken in order now.
    watcher.waitForFinished();
    for (; next < files.size(); ++next) {
        take(watcher.resultAt(next));
    }
    return true;
}
