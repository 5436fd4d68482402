#include "MultiSelect.h"

#include "ui_MultiSelect.h"

#include "Authors.h"
#include "Book.h"
#include "BookDetails.h"
#include "BookFileWalk.h"
#include "BookProperties.h"
#include "BookSelection.h"
#include "DataDownloader.h"
#include "ItemFile.h"
#include "ItemRoles.h"
#include "LazyCellWidgets.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "Prompt.h"
#include "SqlTransaction.h"
#include "TableButton.h"
#include "TagsAndSeries.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

namespace {
const int titleColumn = 1;
const int isbnColumn = 2;
const int authorsColumn = 3;
const int pagesColumn = 4;
const int statusColumn = 5;
const int eagerButtonRows = 100;
} // namespace

MultiSelect::MultiSelect(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::MultiSelect>())
{
    ui->setupUi(this);
    connect(ui->importProgress, &QLabel::linkActivated, this, &MultiSelect::showStoredFiles);
    rowButtons = new LazyCellWidgets(ui->tableWidget, [this](int row) { makeRowButton(row); });
    // Sizing the columns to thousands of rows would hold up the window: the first rows tell.
    ui->tableWidget->horizontalHeader()->setResizeContentsPrecision(200);
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
    Counts counts;
    Copies copies;
    alreadyStored.clear();
    copiesOfRow.clear();
    if (!BookFileWalk::run(paths, withSubfolders, parentWidget(),
                           [&](const BookFileWalk::File& file) { list(file, counts, copies); })) {
        return false;
    }
    ui->tableWidget->resizeColumnsToContents();
    rowButtons->update();
    showWalkSummary(counts);
    return true;
}

void MultiSelect::list(const BookFileWalk::File& file, Counts& counts, Copies& copies)
{
    ++counts.found;
    if (file.kind == BookFileWalk::File::Kind::NotBook) {
        ++counts.notImportable;
        addRow(file.path, tr("Not a book file"), BookMetadata(), false);
        return;
    }
    if (file.kind == BookFileWalk::File::Kind::NotPdf) {
        ++counts.notImportable;
        addRow(file.path, tr("Not a PDF file"), BookMetadata(), false);
        return;
    }
    ItemFile described(nullptr, file.path);
    if (described.hasDuplicateQuick()) {
        alreadyStored << file.path;
        return;
    }
    // Identical to a file listed already: found by size and first bytes, confirmed by MD5.
    const QString fingerprint = QString::number(described.getFileSize()) + QLatin1Char(':') + described.getFirstBytes();
    for (int candidate : copies.rowsByFingerprint.value(fingerprint)) {
        if (!copies.digestOfRow.contains(candidate)) {
            ItemFile listed(nullptr, ui->tableWidget->item(candidate, titleColumn)->data(ItemRoles::Id).toString());
            copies.digestOfRow.insert(candidate, listed.getFileMd5());
        }
        if (copies.digestOfRow.value(candidate) == described.getFileMd5()) {
            ++counts.copies;
            copies.pathsOfRow[candidate] << file.path;
            copiesOfRow.insert(candidate,
                               tr("Also at: %1").arg(copies.pathsOfRow.value(candidate).join(QLatin1String(", "))));
            setStatus(candidate, copiesOfRow.value(candidate));
            return;
        }
    }
    copies.rowsByFingerprint[fingerprint] << ui->tableWidget->rowCount();
    addRow(file.path,
           file.metadata.note.isEmpty() ? QString()
                                        : tr("The file says nothing about itself: %1").arg(file.metadata.note),
           file.metadata, true);
}

void MultiSelect::addRow(const QString& path, const QString& status, const BookMetadata& metadata, bool importable)
{
    QTableWidget* table = ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);
    // The file's own title and first author are the best keywords; its name otherwise.
    QString keywords =
        metadata.title.isEmpty() ? BookProperties::titleFromFileName(QFileInfo(path).fileName()) : metadata.title;
    if (!metadata.title.isEmpty() && !metadata.firstAuthor().isEmpty()) {
        keywords += QLatin1Char(' ') + metadata.firstAuthor();
    }
    auto* title = new QTableWidgetItem(keywords);
    title->setData(ItemRoles::Id, path);
    title->setToolTip(path);
    table->setItem(row, titleColumn, title);
    QStringList authors;
    for (const BookMetadata::Author& author : metadata.authors) {
        authors << author.name;
    }
    table->setItem(row, isbnColumn,
                   new QTableWidgetItem(metadata.isbn13.isEmpty() ? metadata.isbn10 : metadata.isbn13));
    table->setItem(row, authorsColumn, new QTableWidgetItem(authors.join(QLatin1String(", "))));
    table->setItem(row, pagesColumn, new QTableWidgetItem(metadata.pages));
    metadataOfRow.insert(row, metadata);
    keywordsOfRow.insert(row, keywords);
    if (!importable) {
        notImportable.insert(row);
        title->setFlags(title->flags() & ~Qt::ItemIsEditable);
    }
    if (!status.isEmpty()) {
        setStatus(row, status);
    }
    if (importable && row < eagerButtonRows) {
        makeRowButton(row);
    }
}

// What the walk found, so no file silently has no row: the counts add up to the files found.
void MultiSelect::showWalkSummary(const Counts& counts)
{
    QStringList parts;
    parts << tr("Files found: %1.").arg(counts.found);
    parts << tr("Listed: %1").arg(ui->tableWidget->rowCount()) +
                 (counts.notImportable > 0 ? tr(" (%1 of them cannot be imported)").arg(counts.notImportable)
                                           : QString()) +
                 QLatin1Char('.');
    if (!alreadyStored.isEmpty()) {
        parts << tr("Already in the library, left out: %1 (<a href=\"stored\">show</a>).").arg(alreadyStored.size());
    }
    if (counts.copies > 0) {
        parts << tr("Identical copies of listed files, noted in their rows: %1.").arg(counts.copies);
    }
    walkSummary = parts.join(QLatin1Char(' '));
    ui->importProgress->setText(walkSummary);
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
    QTableWidgetItem* keywords = table->item(row, titleColumn);
    if (!keywords || table->cellWidget(row, 0) || notImportable.contains(row)) {
        return;
    }
    auto* buttons = new TableButton(table);
    buttons->setFilePath(keywords->data(ItemRoles::Id).toString());
    buttons->setRow(row);
    if (done.contains(row) && buttons->getChecked()) {
        buttons->toggleChecked();
    }
    connect(buttons, &TableButton::downloadData, this, &MultiSelect::downloadData);
    connect(buttons, &TableButton::importWithoutLookUp, this, &MultiSelect::importRowWithoutLookUp);
    table->setCellWidget(row, 0, buttons);
}

bool MultiSelect::isRowTicked(int row) const
{
    const TableButton* buttons = rowButton(row);
    return !buttons || buttons->getChecked();
}

bool MultiSelect::canImport(int row) const
{
    return ui->tableWidget->item(row, titleColumn) && !notImportable.contains(row) && !inFlight.contains(row) &&
           !done.contains(row);
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
        QTableWidgetItem* keywords = ui->tableWidget->item(row, titleColumn);
        keywords->setText(keywords->text().replace(find, replacement).trimmed());
    }
}

void MultiSelect::downloadData(int row)
{
    stopRequested = false;
    startLookUp(row);
}

bool MultiSelect::choose(int row)
{
    const BookMetadata metadata = metadataOfRow.value(row);
    const QString isbn = metadata.isbn13.isEmpty() ? metadata.isbn10 : metadata.isbn13;
    const QString keywords = ui->tableWidget->item(row, titleColumn)->text();
    // The ISBN the file names first; when that finds nothing, the keywords.
    for (const bool byIsbn : {true, false}) {
        if ((byIsbn && isbn.isEmpty()) || (!byIsbn && keywords.isEmpty())) {
            continue;
        }
        delete bookSelection;
        bookSelection = new BookSelection(this);
        bookSelection->setQuiet(true);
        bookSelection->setFilePath(ui->tableWidget->item(row, titleColumn)->data(ItemRoles::Id).toString());
        bookSelection->setISBN(byIsbn ? isbn : QString());
        bookSelection->setKeywords(byIsbn ? QString() : keywords);
        QEventLoop answer;
        connect(bookSelection, &BookSelection::answered, &answer, &QEventLoop::quit);
        connect(this, &MultiSelect::stopped, &answer, &QEventLoop::quit);
        bookSelection->queryGoogle();
        answer.exec();
        if (stopRequested) {
            setStatus(row, tr("Stopped"));
            return false;
        }
        if (bookSelection->result() == QDialog::Accepted) {
            return true; // one volume: taken at once
        }
        if (!bookSelection->foundNothing()) {
            // Several: the user chooses, skips this one, or skips the rest.
            const bool chosen =
                bookSelection->exec() == QDialog::Accepted && !bookSelection->getGoogleItemUrl().isEmpty();
            if (!chosen) {
                skipAll = bookSelection->getSkipAll() != 0;
                setStatus(row, tr("Skipped"));
            }
            return chosen;
        }
        if (!bookSelection->failureReason().isEmpty()) {
            setStatus(row, tr("Failed: %1").arg(bookSelection->failureReason()));
            return false;
        }
    }
    setStatus(row, tr("Not found online"));
    return false;
}

// True when a download for the row started; false when it was skipped or nothing was found.
bool MultiSelect::startLookUp(int row)
{
    if (!canImport(row)) {
        return false;
    }
    if (!choose(row)) {
        return false;
    }
    const QString path = ui->tableWidget->item(row, titleColumn)->data(ItemRoles::Id).toString();
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
    if (uncommitted) {
        uncommitted->emplace_back(row, std::unique_ptr<Book>(book->copy()));
        return true;
    }
    announceSaved(row, book->copy());
    return true;
}

void MultiSelect::announceSaved(int row, Book* copy)
{
    done.insert(row);
    ++imported;
    finishRow(row);
    setStatus(row, tr("Imported"));
    showImportProgress();
    Q_EMIT newBookItem(copy);
}

void MultiSelect::on_btnImportPlain_clicked()
{
    // One transaction for all the rows: a commit waits for the disk, and a commit for each
    // book was a good part of what a large import took. Rows are told they are imported, and
    // the books shown, only once it is committed; if it is not, none of them stays.
    std::vector<std::pair<int, std::unique_ptr<Book>>> saved;
    SqlTransaction transaction;
    uncommitted = transaction.isActive() ? &saved : nullptr;
    QTableWidget* table = ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!table->isRowHidden(row) && isRowTicked(row)) {
            importRowWithoutLookUp(row);
        }
    }
    uncommitted = nullptr;
    const bool committed = !transaction.isActive() || transaction.commit();
    for (auto& [row, book] : saved) {
        if (committed) {
            announceSaved(row, book.release());
        } else {
            setStatus(row, tr("Failed: the book could not be saved in the library."));
        }
    }
}

// The file's own description becomes the record; keywords the user typed become its title.
void MultiSelect::importRowWithoutLookUp(int row)
{
    if (!canImport(row)) {
        return;
    }
    const QString keywords = ui->tableWidget->item(row, titleColumn)->text().trimmed();
    const BookMetadata metadata = metadataOfRow.value(row);
    const bool edited = keywords != keywordsOfRow.value(row);
    const QString title = edited || metadata.title.isEmpty() ? keywords : metadata.title;
    if (title.isEmpty()) {
        setStatus(row, tr("Failed: the title is empty."));
        return;
    }
    Book book(nullptr, -1);
    book.setTitle(title);
    book.setIsbn13(metadata.isbn13);
    book.setIsbn10(metadata.isbn10);
    book.setPageCount(metadata.pages);
    book.setPublisher(metadata.publisher);
    book.setDatePublished(metadata.date);
    book.setDescription(metadata.description);
    for (const BookMetadata::Author& author : metadata.authors) {
        book.getAuthors()->addAuthor(author.name, author.fileAs);
    }
    if (!metadata.tags.isEmpty() || !metadata.series.isEmpty()) {
        TagsAndSeries shelving;
        shelving.tags = metadata.tags;
        shelving.series = metadata.series;
        shelving.number = metadata.seriesNumber;
        book.setTagsAndSeries(shelving);
    }
    if (!metadata.language.isEmpty()) {
        BookDetails details;
        details.language = metadata.language;
        book.setDetails(details);
    }
    book.addFile(ui->tableWidget->item(row, titleColumn)->data(ItemRoles::Id).toString());
    saveRow(row, &book);
}

// A finished row stays listed with its status, unticked; hidden when the user asks for that.
void MultiSelect::finishRow(int row)
{
    if (TableButton* buttons = rowButton(row)) {
        if (buttons->getChecked()) {
            buttons->toggleChecked();
        }
    }
    if (ui->hideFinished->isChecked()) {
        ui->tableWidget->hideRow(row);
    }
}

void MultiSelect::removeRow(int row)
{
    finishRow(row);
    ui->tableWidget->hideRow(row);
}

void MultiSelect::on_hideFinished_toggled(bool hide)
{
    for (int row : std::as_const(done)) {
        ui->tableWidget->setRowHidden(row, hide);
    }
}

void MultiSelect::showImportProgress()
{
    if (batchTotal == 0) {
        ui->importProgress->setText(walkSummary + QLatin1Char(' ') + tr("Imported: %1.").arg(imported));
        return;
    }
    ui->importProgressBar->setVisible(true);
    ui->importProgressBar->setMaximum(batchTotal);
    ui->importProgressBar->setValue(qMin(batchDone, batchTotal));
    ui->importProgress->setText(tr("%1 of %2 looked up, %3 remaining; imported: %4")
                                    .arg(batchDone)
                                    .arg(batchTotal)
                                    .arg(qMax(0, batchTotal - batchDone))
                                    .arg(imported));
}

void MultiSelect::setRunning(bool running)
{
    ui->btnStop->setVisible(running);
    ui->pushButton->setEnabled(!running);
    ui->btnImportPlain->setEnabled(!running);
}

void MultiSelect::on_pushButton_clicked()
{
    skipAll = false;
    stopRequested = false;
    QList<int> rows;
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        if (isRowTicked(row) && canImport(row)) {
            rows << row;
        }
    }
    batchTotal = int(rows.size());
    batchDone = 0;
    showImportProgress();
    setRunning(true);
    for (int i = 0; i < rows.size(); ++i) {
        const int row = rows.at(i);
        // Downloads of earlier rows end while this row's choice is open, so whether this row
        // started one is asked, not read off the number in flight.
        if (!startLookUp(row)) {
            // Skipped, not found or stopped: counts as handled.
            ++batchDone;
            showImportProgress();
        }
        if (skipAll || stopRequested) {
            // The rows passed over are done with too: the counter reaches its end.
            for (int rest = i + 1; rest < rows.size(); ++rest) {
                setStatus(rows.at(rest), stopRequested ? tr("Stopped") : tr("Skipped"));
                ++batchDone;
            }
            showImportProgress();
            break;
        }
    }
    setRunning(false);
}

void MultiSelect::on_btnStop_clicked()
{
    stopRequested = true;
    delete bookSelection; // its question on its way goes with it
    bookSelection = nullptr;
    Q_EMIT stopped();
}

void MultiSelect::on_btnClose_clicked()
{
    reject();
}

// Closing during a run stops it; downloads under way finish and save their books.
void MultiSelect::reject()
{
    if (!ui->btnStop->isHidden()) {
        on_btnStop_clicked();
    }
    QDialog::reject();
}
