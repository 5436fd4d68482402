#include "ItemActions.h"

#include "Book.h"
#include "BookProperties.h"
#include "ItemViews.h"
#include "LibraryFile.h"
#include "Prompt.h"
#include "ViewItem.h"
#include "WebPage.h"
#include "WebPageProperties.h"

#include <QCursor>
#include <QFileInfo>
#include <QMenu>

void ItemActions::bookItemMenu(ItemViews* view, const ViewItem* vi, bool single)
{
    QMenu menu(view);
    if (single) {
        QMenu* open = menu.addMenu(tr("Open"));
        for (const QString& path : vi->filePaths) {
            QAction* action = open->addAction(QFileInfo(path).fileName());
            action->setData(QFileInfo(path).absoluteFilePath());
        }
        QObject::connect(open, &QMenu::triggered, view, [view](QAction* action) { view->openItemFile(action); });
        addSystemViewerEntry(&menu, view, vi->filePath);
        menu.addAction(tr("Properties"), view, [view] { view->editItem(); });
        // Only a book whose first file is a PDF can be converted.
        menu.addAction(tr("Convert"), view, [view] { view->actionConvertItems(); })
            ->setEnabled(!LibraryFile::isOpenReadOnly() &&
                         vi->filePath.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive));
    }
    menu.addAction(tr("Delete"), view, [view] { view->deleteItem(); })->setEnabled(!LibraryFile::isOpenReadOnly());
    menu.exec(QCursor::pos());
}

void ItemActions::addSystemViewerEntry(QMenu* menu, ItemViews* view, const QString& path)
{
    if (!path.isEmpty()) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        menu->addAction(tr("Open with System Viewer"), view, [view, absolute] { view->openInSystemViewer(absolute); });
    }
}

void ItemActions::webPageItemMenu(ItemViews* view, const ViewItem* vi, bool single)
{
    QMenu menu(view);
    if (single) {
        if (!vi->filePath.isEmpty()) {
            QAction* openPdf = menu.addAction(tr("Open PDF"));
            openPdf->setData(vi->filePath);
            QObject::connect(openPdf, &QAction::triggered, view, [view, openPdf] { view->openItemFile(openPdf); });
            addSystemViewerEntry(&menu, view, vi->filePath);
        }
        menu.addAction(tr("Properties"), view, [view] { view->editItem(); });
        QAction* openExternal = menu.addAction(tr("Open URL (External)"));
        openExternal->setData(vi->url);
        QObject::connect(openExternal, &QAction::triggered, view,
                         [view, openExternal] { view->openItemUrl(openExternal); });
    }
    menu.addAction(tr("Delete"), view, [view] { view->deleteItem(); })->setEnabled(!LibraryFile::isOpenReadOnly());
    menu.exec(QCursor::pos());
}

void ItemActions::edit(QWidget* parent, ViewItem* vi, const Changed& changed, const Deleted& deleted)
{
    const int iid = vi->id;
    int result = QDialog::Rejected;
    if (vi->type == QLatin1String("Book")) {
        BookProperties dialog(parent, iid);
        result = dialog.exec();
        if (result == QDialog::Accepted && !vi->items.isEmpty()) {
            static_cast<Book*>(vi->items.first())->reload();
            changed(vi);
        }
    } else if (vi->type == QLatin1String("WebPage")) {
        WebPageProperties dialog(parent, iid);
        result = dialog.exec();
        if (result == QDialog::Accepted && !vi->items.isEmpty()) {
            // The dialog edited a copy; show what it stored.
            auto* page = static_cast<WebPage*>(vi->items.first());
            page->reload();
            changed(page->getViewItem());
        }
    }
    if (result == BookProperties::Deleted) {
        if (deleteFromLibrary(vi->items.isEmpty() ? nullptr : vi->items.first())) {
            deleted(iid);
        } else {
            Prompt::warning(parent, tr("Delete"),
                            tr("\"%1\" could not be deleted from the library and is still there.").arg(vi->title));
        }
    }
}

void ItemActions::deleteChosen(QWidget* parent, const QList<ViewItem*>& chosen, const Deleted& deleted)
{
    QStringList titles;
    for (const ViewItem* vi : chosen) {
        titles << vi->title;
    }
    if (chosen.isEmpty() || LibraryFile::isOpenReadOnly() || !Prompt::confirmDelete(parent, titles)) {
        return;
    }
    // The records are taken first: every deletion the views hear of changes the selection.
    struct Target
    {
        int iid;
        QString title;
        Item* record;
    };
    QList<Target> targets;
    for (const ViewItem* vi : chosen) {
        targets.append({vi->id, vi->title, vi->items.isEmpty() ? nullptr : vi->items.first()});
    }
    QStringList failed;
    for (const Target& target : std::as_const(targets)) {
        if (deleteFromLibrary(target.record)) {
            deleted(target.iid);
        } else {
            failed << target.title;
        }
    }
    if (!failed.isEmpty()) {
        Prompt::warning(parent, tr("Delete"),
                        tr("These items could not be deleted from the library and are still there:\n\n%1")
                            .arg(failed.join(QLatin1Char('\n'))));
    }
}

bool ItemActions::deleteFromLibrary(Item* record)
{
    if (!record) {
        return false;
    }
    if (record->getType() == QLatin1String("Book")) {
        return static_cast<Book*>(record)->deleteBook();
    }
    if (record->getType() == QLatin1String("WebPage")) {
        return static_cast<WebPage*>(record)->deleteWebPage();
    }
    return false;
}
