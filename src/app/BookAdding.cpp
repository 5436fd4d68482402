#include "BookAdding.h"

#include "Book.h"
#include "BookProperties.h"
#include "ItemFile.h"
#include "MainWindow.h"
#include "MultiSelect.h"
#include "Prompt.h"
#include "ToolTabs.h"

#include <QFileInfo>

BookAdding::BookAdding(MainWindow* window, ToolTabs* tools, bool readOnly)
    : QObject(window), window(window), tools(tools), readOnly(readOnly)
{
}

void BookAdding::addBookFile(const QString& path)
{
    BookProperties dialog(window, -1);
    if (!path.isEmpty()) {
        dialog.chooseFile(path);
    }
    if (dialog.exec() == QDialog::Accepted) {
        Q_EMIT bookSaved(dialog.getBook());
    }
}

void BookAdding::importFolder(bool withSubfolders)
{
    auto* import = new MultiSelect(window);
    if (!import->populateTableDir(withSubfolders)) {
        import->deleteLater();
        return;
    }
    runImport(import);
}

void BookAdding::runImport(MultiSelect* import)
{
    connect(import, &MultiSelect::newBookItem, window, &MainWindow::bookAddedSlot);
    import->exec();
    // Books still downloading when the dialog closes are saved all the same.
    const auto finish = [this, import] {
        if (import->importedCount() > 0) {
            Q_EMIT importedBooks();
        }
        import->deleteLater();
    };
    if (import->isBusy()) {
        connect(import, &MultiSelect::idle, this, finish);
    } else {
        finish();
    }
}

QStringList BookAdding::openFiles(const QStringList& paths)
{
    QStringList opened;
    for (const QString& path : paths) {
        const bool isPdf = QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
        if (ItemFile::opensInReader(path) && !isPdf) {
            if (tools->openReader(path)) {
                opened << QFileInfo(path).fileName();
            }
        } else if (!QFileInfo(path).isFile()) {
            Prompt::warning(window, tr("Open"), tr("The file %1 was not found.").arg(path));
        } else if (!readOnly &&
                   Prompt::question(window, tr("Add a book"),
                                    tr("Add \u201C%1\u201D to the library?").arg(QFileInfo(path).fileName()),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            addBookFile(path);
        } else if (isPdf && ItemFile::opensInReader(path) && tools->openReader(path)) {
            // Not added: it is read all the same.
            opened << QFileInfo(path).fileName();
        }
    }
    return opened;
}
