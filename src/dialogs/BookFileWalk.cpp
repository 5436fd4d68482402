#include "BookFileWalk.h"

#include "ItemFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent>

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

    // Read in second threads; handed over here in order, a slice of time at a time with pauses
    // between, so the window keeps answering however fast the results come.
    progress.setMaximum(int(files.size()));
    // A pool of their own: the global one also draws the window, which must not wait for them.
    QThreadPool readers;
    QFuture<File> reading = QtConcurrent::mapped(&readers, files, &BookFileWalk::examine);
    int next = 0;
    QEventLoop loop;
    QTimer drain;
    QObject::connect(&drain, &QTimer::timeout, &loop, [&] {
        QElapsedTimer slice;
        slice.start();
        while (next < files.size() && reading.isResultReadyAt(next) && slice.elapsed() < 20) {
            take(reading.resultAt(next));
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
        if (next == files.size()) {
            loop.quit();
        }
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        reading.cancel();
        loop.quit();
    });
    // Not a zero timer: it would starve the window's other timers.
    drain.start(5);
    if (next < files.size()) {
        loop.exec();
    }
    drain.stop();
    if (progress.wasCanceled() || next < files.size()) {
        reading.cancel();
        readers.waitForDone();
        return false;
    }
    return true;
}
