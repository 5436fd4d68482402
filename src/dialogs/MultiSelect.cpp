#include "MultiSelect.h"

#include "ui_MultiSelect.h"

#include "Book.h"
#include "BookProperties.h"
#include "BookSelection.h"
#include "DataDownloader.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "ItemRoles.h"
#include "LazyCellWidgets.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "Prompt.h"
#include "TableButton.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>

namespace {
const int statusColumn = 5;
const int eagerButtonRows = 100;
} // namespace

MultiSelect::MultiSelect(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::MultiSelect>())
{
    ui->setupUi(this);
    auto* plain = new QPushButton(tr("Import Without Look-up"), this);
    plain->setObjectName(QStringLiteral("btnImportPlain"));
    plain->setToolTip(tr("Add all checked files as they are: the keywords become the title, nothing is looked up."));
    ui->horizontalLayout_2->insertWidget(ui->horizontalLayout_2->indexOf(ui->pushButton), plain);
    connect(plain, &QPushButton::clicked, this, &MultiSelect::importWithoutLookUp);
    connect(ui->importProgress, &QLabel::linkActivated, this, &MultiSelect::showStoredFiles);
    rowButtons = new LazyCellWidgets(ui->tableWidget, [this](int row) { makeRowButton(row); });
}

MultiSelect::~MultiSelect() = default;

bool MultiSelect::populateTableDir(bool withSubfolders)
{
    LibrarySettings settings;
    QString start = settings.lastSelectDir();
    if (start.isEmpty()) {
        start = QDir::homePath();
    }
    const QString directory = Prompt::existingDirectory(this, tr("Select Directory"), start);
    if (directory.isEmpty()) {
        close();
        return false;
    }
    settings.setLastSelectDir(directory);
    return populateTable(directory, withSubfolders);
}

bool MultiSelect::populateTable(const QString& directory, bool withSubfolders)
{
    return populateTable(QStringList{directory}, withSubfolders);
}

bool MultiSelect::populateTable(const QStringList& paths, bool withSubfolders)
{
    // Thousands of files take a while to fingerprint: show progress and let the user stop.
    QProgressDialog progress(tr("Looking for new PDF files..."), tr("Cancel"), 0, 0, parentWidget());
    progress.setWindowTitle(tr("Add multiple books"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    int examined = 0;

    QTableWidget* table = ui->tableWidget;
    alreadyStored.clear();
    // Files identical to one listed already: found by size and first bytes, confirmed by MD5.
    QHash<QString, QList<int>> rowsByFingerprint;
    QHash<int, QString> digestOfRow;
    QHash<int, QStringList> copyPaths;
    copiesOfRow.clear();
    int copies = 0;
    // Each file is looked at once: false when the user cancelled.
    const auto consider = [&](const QString& path) -> bool {
        ++examined;
        if (sinceRepaint.elapsed() > 50) {
            progress.setLabelText(
                tr("Looking for new PDF files...\n%1 examined, %2 new").arg(examined).arg(table->rowCount()));
            progress.setValue(0);
            QCoreApplication::processEvents();
            sinceRepaint.restart();
            if (progress.wasCanceled()) {
                return false;
            }
        }
        if (path.split(QLatin1Char('.')).last().toLower() != QLatin1String("pdf")) {
            return true;
        }
        ItemFile file(nullptr, path);
        // Named .pdf is not enough: an empty file or another kind of file is no PDF book.
        static const QString pdfMagic = QString::fromLatin1(QByteArray("%PDF-").toHex());
        if (file.getFileType() != QLatin1String("pdf") || !file.getFirstBytes().startsWith(pdfMagic)) {
            return true;
        }
        if (file.hasDuplicateQuick()) {
            alreadyStored << path;
            return true;
        }
        const QString fingerprint = QString::number(file.getFileSize()) + QLatin1Char(':') + file.getFirstBytes();
        int original = -1;
        for (int candidate : rowsByFingerprint.value(fingerprint)) {
            if (!digestOfRow.contains(candidate)) {
                ItemFile listed(nullptr, table->item(candidate, 1)->data(ItemRoles::Id).toString());
                digestOfRow.insert(candidate, listed.getFileMd5());
            }
            if (digestOfRow.value(candidate) == file.getFileMd5()) {
                original = candidate;
                break;
            }
        }
        if (original >= 0) {
            ++copies;
            copyPaths[original] << path;
            copiesOfRow.insert(original, tr("Also at: %1").arg(copyPaths.value(original).join(QLatin1String(", "))));
            setStatus(original, copiesOfRow.value(original));
            return true;
        }
        const int row = table->rowCount();
        table->insertRow(row);
        auto* keywords = new QTableWidgetItem(BookProperties::titleFromFileName(file.getFileName()));
        keywords->setData(ItemRoles::Id, path);
        table->setItem(row, 1, keywords);
        rowsByFingerprint[fingerprint] << row;
        if (row < eagerButtonRows) {
            makeRowButton(row);
        }
        return true;
    };
    for (const QString& start : paths) {
        if (!QFileInfo(start).isDir()) {
            if (!consider(start)) {
                return false;
            }
            continue;
        }
        QDirIterator walk(start, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                          withSubfolders ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
        while (walk.hasNext()) {
            if (!consider(walk.next())) {
                return false;
            }
        }
    }
    table->resizeColumnsToContents();
    rowButtons->update();
    showWalkSummary(copies);
    return true;
}

// What the walk found, so no file silently has no row.
void MultiSelect::showWalkSummary(int copies)
{
    QStringList parts;
    parts << tr("New PDF files listed: %1.").arg(ui->tableWidget->rowCount());
    if (!alreadyStored.isEmpty()) {
        parts << tr("Already in the library, left out: %1 (<a href=\"stored\">show</a>).").arg(alreadyStored.size());
    }
    if (copies > 0) {
        parts << tr("Identical copies of listed files, noted in their rows: %1.").arg(copies);
    }
    ui->importProgress->setText(parts.join(QLatin1Char(' ')));
}

void MultiSelect::showStoredFiles()
{
    Prompt::information(this, tr("Already in the library"),
                        tr("These files are in the library already (the same file or one with the same "
                           "content):\n\n%1")
                            .arg(alreadyStored.join(QLatin1Char('\n'))));
}

// The buttons of a row are a few widgets each, too costly to make for thousands of files at
// once: the first rows get them right away, the others when they come into view. A row
// without buttons yet counts as ticked, as new buttons are.
void MultiSelect::makeRowButton(int row)
{
    QTableWidget* table = ui->tableWidget;
    QTableWidgetItem* keywords = table->item(row, 1);
    if (!keywords || table->cellWidget(row, 0)) {
        return;
    }
    auto* buttons = new TableButton(table);
    buttons->setFilePath(keywords->data(ItemRoles::Id).toString());
    buttons->setRow(row);
    connect(buttons, &TableButton::downloadData, this, &MultiSelect::downloadData);
    connect(buttons, &TableButton::importWithoutLookUp, this, &MultiSelect::importRowWithoutLookUp);
    table->setCellWidget(row, 0, buttons);
}

bool MultiSelect::isRowTicked(int row) const
{
    const TableButton* buttons = rowButton(row);
    return !buttons || buttons->getChecked();
}

TableButton* MultiSelect::rowButton(int row) const
{
    return qobject_cast<TableButton*>(ui->tableWidget->cellWidget(row, 0));
}

void MultiSelect::setStatus(int row, const QString& text)
{
    QTableWidgetItem* cell = ui->tableWidget->item(row, statusColumn);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        ui->tableWidget->setItem(row, statusColumn, cell);
    }
    // A row standing for identical copies keeps saying so, whatever happened to it.
    const QString copies = copiesOfRow.value(row);
    const QString shown = copies.isEmpty() || text.startsWith(copies) ? text : text + QStringLiteral("; ") + copies;
    cell->setText(shown);
    cell->setToolTip(shown);
}

void MultiSelect::on_btnReplaceAll_clicked()
{
    const QString find = ui->findSearch->text();
    const QString replacement = ui->findReplace->text();
    // An empty text is found between every two letters; replacing it would garble every row.
    if (find.isEmpty()) {
        return;
    }
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        QTableWidgetItem* keywords = ui->tableWidget->item(row, 1);
        keywords->setText(keywords->text().replace(find, replacement).trimmed());
    }
}

void MultiSelect::downloadData(int row)
{
    startLookUp(row);
}

// True when a download for the row started; false when it was skipped or nothing was chosen.
bool MultiSelect::startLookUp(int row)
{
    QTableWidgetItem* keywords = ui->tableWidget->item(row, 1);
    if (!keywords || inFlight.contains(row) || done.contains(row)) {
        return false;
    }
    const QString path = keywords->data(ItemRoles::Id).toString();
    delete bookSelection;
    bookSelection = new BookSelection(this);
    bookSelection->setFilePath(path);
    bookSelection->setKeywords(keywords->text());
    bookSelection->queryGoogle();
    if (bookSelection->exec() != QDialog::Accepted || bookSelection->getGoogleItemUrl().isEmpty()) {
        skipAll = bookSelection->getSkipAll() != 0;
        setStatus(row, bookSelection->foundNothing() ? tr("Not found online") : tr("Skipped"));
        return false;
    }
    auto* downloader = new DataDownloader(this);
    connect(downloader, &DataDownloader::bookDownloaded, this, [this, downloader](Book* book) {
        downloader->deleteLater();
        downloadFinished(book);
    });
    connect(downloader, &DataDownloader::downloadFailed, this, [this, downloader, row](const QString& reason) {
        downloader->deleteLater();
        lookUpFailed(row, reason);
    });
    inFlight.insert(row);
    setStatus(row, tr("Downloading..."));
    downloader->googleInfoDownload(bookSelection->getGoogleItemUrl());
    downloader->book->addFile(path);
    downloader->book->setItemRow(row);
    return true;
}

void MultiSelect::lookUpFailed(int row, const QString& reason)
{
    // The row stays listed and ticked so the user can edit its keywords and try again.
    setStatus(row, tr("Failed: %1").arg(reason));
    downloadEnded(row);
}

void MultiSelect::downloadEnded(int row)
{
    inFlight.remove(row);
    ++batchDone;
    showImportProgress();
    if (inFlight.isEmpty()) {
        Q_EMIT idle();
    }
}

void MultiSelect::downloadFinished(Book* book)
{
    std::unique_ptr<Book> downloaded(book);
    qCDebug(lcDialogs) << "\"" + book->getFirstFilePath() + "\"";
    const int row = book->getItemRow();
    saveRow(row, book);
    downloadEnded(row);
}

bool MultiSelect::saveRow(int row, Book* book)
{
    if (!book->insertBook()) {
        setStatus(row, tr("Failed: the book could not be saved in the library."));
        return false;
    }
    done.insert(row);
    ++imported;
    ++batchImported;
    removeRow(row);
    setStatus(row, tr("Imported"));
    qCDebug(lcDialogs) << book->getId() << "emit signal";
    Q_EMIT newBookItem(new Book(nullptr, book->getId()));
    return true;
}

void MultiSelect::importWithoutLookUp()
{
    QTableWidget* table = ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!table->isRowHidden(row) && isRowTicked(row)) {
            importRowWithoutLookUp(row);
        }
    }
}

void MultiSelect::importRowWithoutLookUp(int row)
{
    QTableWidgetItem* keywords = ui->tableWidget->item(row, 1);
    if (!keywords || inFlight.contains(row) || done.contains(row)) {
        return;
    }
    const QString title = keywords->text().trimmed();
    if (title.isEmpty()) {
        setStatus(row, tr("Failed: the title is empty."));
        return;
    }
    Book book(nullptr, -1);
    book.setTitle(title);
    book.addFile(keywords->data(ItemRoles::Id).toString());
    saveRow(row, &book);
}

void MultiSelect::removeRow(int row)
{
    if (TableButton* buttons = rowButton(row)) {
        if (buttons->getChecked()) {
            buttons->toggleChecked();
        }
    }
    ui->tableWidget->hideRow(row);
}

void MultiSelect::showImportProgress()
{
    if (batchTotal == 0) {
        return;
    }
    ui->importProgressBar->setVisible(true);
    ui->importProgressBar->setMaximum(batchTotal);
    ui->importProgressBar->setValue(qMin(batchDone, batchTotal));
    QString text =
        tr("%1 of %2 done, %3 remaining").arg(batchDone).arg(batchTotal).arg(qMax(0, batchTotal - batchDone));
    if (batchDone >= batchTotal) {
        // Imported rows leave the list, so the end of the run says how many they were.
        text += tr("; imported: %1").arg(batchImported);
    }
    ui->importProgress->setText(text);
}

void MultiSelect::on_pushButton_clicked()
{
    skipAll = false;
    QList<int> rows;
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        if (isRowTicked(row) && !inFlight.contains(row) && !done.contains(row)) {
            rows << row;
        }
    }
    batchTotal = rows.size();
    batchDone = 0;
    showImportProgress();
    batchImported = 0;
    for (int row : std::as_const(rows)) {
        // Downloads of earlier rows end while this row's choice is open, so whether this row
        // started one is asked, not read off the number in flight.
        if (!startLookUp(row)) {
            // Skipped or nothing accepted: counts as handled.
            ++batchDone;
            showImportProgress();
        }
        if (skipAll) {
            // The rows Skip All passed over are done with too: the counter reaches its end.
            for (int rest = rows.indexOf(row) + 1; rest < rows.size(); ++rest) {
                setStatus(rows.at(rest), tr("Skipped"));
                ++batchDone;
            }
            showImportProgress();
            break;
        }
    }
}
