#include "BookDrops.h"

#include "BookAdding.h"
#include "ItemFile.h"
#include "MainWindow.h"
#include "MultiSelect.h"
#include "WebBrowser.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

BookDrops::BookDrops(MainWindow* window, BookAdding* adding) : QObject(window), window(window), adding(adding)
{
    window->installEventFilter(this);
}

bool BookDrops::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window) {
        return false;
    }
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (kindOf(drag->mimeData()) != Kind::None) {
            drag->acceptProposedAction();
        } else {
            drag->ignore(); // the usual no-drop cursor
        }
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* dropped = static_cast<QDropEvent*>(event);
        if (drop(dropped->mimeData())) {
            dropped->acceptProposedAction();
        } else {
            dropped->ignore();
        }
        return true;
    }
    return false;
}

BookDrops::Kind BookDrops::kindOf(const QMimeData* data, QStringList* paths, QUrl* address)
{
    if (!data || !data->hasUrls()) {
        return Kind::None;
    }
    const QList<QUrl> urls = data->urls();
    if (urls.size() == 1 &&
        (urls.first().scheme() == QLatin1String("http") || urls.first().scheme() == QLatin1String("https"))) {
        if (address) {
            *address = urls.first();
        }
        return Kind::WebAddress;
    }
    QStringList local;
    bool folder = false;
    bool anyBook = false;
    for (const QUrl& url : urls) {
        const QFileInfo info(url.toLocalFile());
        if (!url.isLocalFile() || !info.exists()) {
            return Kind::None;
        }
        folder = folder || info.isDir();
        anyBook = anyBook || ItemFile::isBookFile(info.filePath());
        local << info.absoluteFilePath();
    }
    // Nothing that could be a book: refused. With a book among them, every file goes to the
    // import, which says of each one what it is.
    if (local.isEmpty() || (!folder && !anyBook)) {
        return Kind::None;
    }
    if (paths) {
        *paths = local;
    }
    return local.size() == 1 && !folder ? Kind::OneBook : Kind::SeveralBooks;
}

bool BookDrops::drop(const QMimeData* data)
{
    QStringList paths;
    QUrl address;
    const Kind kind = kindOf(data, &paths, &address);
    if (kind == Kind::None) {
        return false;
    }
    // The dialogs open after the drop has ended, so the program the files came from is free.
    QTimer::singleShot(0, window, [this, kind, paths, address] {
        switch (kind) {
        case Kind::OneBook:
            adding->addBookFile(paths.first());
            break;
        case Kind::SeveralBooks: {
            auto* import = new MultiSelect(window);
            if (import->populateTable(paths, true)) {
                adding->runImport(import);
            } else {
                import->deleteLater();
            }
            break;
        }
        case Kind::WebAddress:
            window->newBrowserTab(tr("Web Browser"))->openUrl(address.toString());
            break;
        case Kind::None:
            break;
        }
    });
    return true;
}
