#include "BookProperties.h"

#include "ui_BookProperties.h"

#include "Author.h"
#include "Authors.h"
#include "Book.h"
#include "BookDetails.h"
#include "BookMetadata.h"
#include "BookSelection.h"
#include "DataDownloader.h"
#include "FileTable.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LanguageComboBox.h"
#include "LibraryFile.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "MetadataForm.h"
#include "Prompt.h"
#include "Rating.h"
#include "TagsAndSeries.h"
#include "TemporaryCover.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDesktopServices>
#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

BookProperties::BookProperties(QWidget* parent, int iid)
    : QDialog(parent), ui(std::make_unique<Ui::BookProperties>()), book(new Book(this, iid)),
      dataDownloader(new DataDownloader(this))
{
    ui->setupUi(this);
    ui->btnOpenFile->setEnabled(false);
    ui->btnBookCover->setAcceptDrops(true);
    ui->btnBookCover->installEventFilter(this);
    if (iid >= 1) {
        ui->btnReset->hide();
        ui->btnSelectFile->hide();
        populateForm(book);
        populateFiles();
    } else {
        // A book not yet in the library has nothing to delete.
        ui->btnDelete->setEnabled(false);
    }
    language = new LanguageComboBox(ui->languageWidget);
    ui->languageWidget->addWidget(language);
    showDetails(iid >= 1 ? BookDetails::read(iid) : BookDetails());
    setUpTagsAndSeries(iid >= 1 ? book->getTagsAndSeries() : TagsAndSeries());
    fromFile = std::make_unique<MetadataForm>(MetadataForm::Fields{
        ui->bookTitle, ui->bookAuthors, ui->bookPages, ui->bookISBN13, ui->bookISBN10, ui->bookPublisher,
        ui->bookPublishedYear, ui->bookDescription, ui->bookTags, ui->bookSeries, ui->bookSeriesNumber, language});
    if (LibraryFile::isOpenReadOnly()) {
        // Nothing typed here could be stored.
        ui->btnSave->setEnabled(false);
        ui->btnDelete->setEnabled(false);
        ui->btnSave->setToolTip(tr("The library is read-only."));
    }

    connect(dataDownloader, &DataDownloader::bookDownloaded, this, [this](Book* downloaded) {
        populateForm(downloaded);
        delete downloaded;
    });
    connect(dataDownloader, &DataDownloader::downloadFailed, this, [this](const QString& reason) {
        Prompt::warning(this, tr("Nothing found"),
                        tr("The book's information could not be downloaded.\n\n%1").arg(reason));
    });
    lastSelectDir = LibrarySettings().lastSelectDir();
    if (lastSelectDir.isEmpty()) {
        lastSelectDir = QDir::homePath();
    }
}

BookProperties::~BookProperties()
{
    delete book;
}

QString BookProperties::titleFromFileName(const QString& fileName)
{
    // Only the final suffix goes: "Learning pdf tools.pdf" keeps its "pdf".
    QString title = fileName;
    const int dot = title.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        title.truncate(dot);
    }
    static const QRegularExpression separators(QStringLiteral("[-_,;.]"));
    title.replace(separators, QStringLiteral(" "));
    // Letters, digits and their accents of every script stay; other signs go.
    static const QRegularExpression signs(QStringLiteral("[^\\p{L}\\p{M}\\p{N} ]"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    title.remove(signs);
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    title.replace(blanks, QStringLiteral(" "));
    return title.trimmed();
}

void BookProperties::showDetails(const BookDetails& details)
{
    ui->groupBox->setChecked(details.own);
    ui->lineEdit->setText(details.location);
    ui->groupBox_3->setChecked(details.haveRead);
    ui->field_book_read_2->setDate(details.readDate.isValid() ? details.readDate : QDate::currentDate());
    ui->checkBox_2->setChecked(details.want);
    if (!details.language.isEmpty()) {
        const QLocale::Language stored = QLocale::codeToLanguage(details.language);
        if (stored != QLocale::AnyLanguage) {
            language->setCurrentLanguage(stored);
        }
    }
}

BookDetails BookProperties::formDetails() const
{
    BookDetails details;
    details.own = ui->groupBox->isChecked();
    details.location = details.own ? ui->lineEdit->text().trimmed() : QString();
    details.haveRead = ui->groupBox_3->isChecked();
    details.readDate = details.haveRead ? ui->field_book_read_2->date() : QDate();
    details.want = ui->checkBox_2->isChecked();
    details.language = QLocale::languageToCode(language->currentLanguage());
    return details;
}

void BookProperties::on_btnSelectFile_clicked()
{
    const QString path = Prompt::openFileName(this, tr("Select Book"), lastSelectDir,
                                              tr("Book Files (*.txt *.epub *.mobi *.pdf *.chm)"));
    if (!path.isEmpty()) {
        chooseFile(path);
    }
}

bool BookProperties::chooseFile(const QString& path)
{
    const QString problem = ItemFile::unusableReason(path);
    if (!problem.isEmpty()) {
        Prompt::warning(this, tr("Select Book"), problem);
        return false;
    }
    // A new book whose file the library holds already, perhaps under another name.
    if (book->getId() < 1) {
        ItemFile file(nullptr, path);
        const int holder = file.holderOfSameContent();
        if (holder > 0 &&
            !Prompt::proceed(this, tr("Already in the library"),
                             tr("The library already holds this file's content, in \u201C%1\u201D.\n\nAdd it as "
                                "another book all the same?")
                                 .arg(Book(nullptr, holder).getTitle()),
                             tr("Add Anyway"))) {
            return false;
        }
    }
    // The file takes the place of any chosen before; what the user typed stays, and what the
    // file says about itself fills the rest.
    book->getFiles()->clear();
    ui->fileTable->clearContents();
    ui->fileTable->setRowCount(0);
    currentFilePath = path;
    ui->btnOpenFile->setEnabled(true);
    book->addFile(path);
    LibrarySettings().setLastSelectDir(QFileInfo(path).absolutePath());
    const BookMetadata metadata = BookMetadata::read(path);
    if (!metadata.note.isEmpty()) {
        qCInfo(lcDialogs).noquote() << QFileInfo(path).fileName() << "says nothing about itself:" << metadata.note;
    }
    fromFile->fill(metadata, titleFromFileName(QFileInfo(path).fileName()));
    populateFiles();
    return true;
}

void BookProperties::populateFiles()
{
    const QString first = FileTable::fill(ui->fileTable, book);
    if (!first.isEmpty()) {
        currentFilePath = first;
        ui->btnOpenFile->setEnabled(true);
    }
}

void BookProperties::on_btnAddFile_clicked()
{
    const QString path =
        Prompt::openFileName(this, tr("Select Book"), lastSelectDir, tr("Book Files (*.pdf *.chm *.epub *.mobi)"));
    if (path.isEmpty()) {
        return;
    }
    book->addFile(path);
    LibrarySettings().setLastSelectDir(QFileInfo(path).absolutePath());
    FileTable::appendRow(ui->fileTable, book, book->getFiles()->count() - 1);
}

void BookProperties::on_btnRemoveFile_clicked()
{
    FileTable::removeSelected(ui->fileTable, book);
}

void BookProperties::on_btnOpenFile_clicked()
{
    if (!currentFilePath.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(currentFilePath));
    }
}

void BookProperties::on_btnBookAdd_clicked()
{
    auto* entry = new QListWidgetItem(QString(), ui->bookAuthors);
    entry->setFlags(entry->flags() | Qt::ItemIsEditable);
    ui->bookAuthors->setCurrentItem(entry);
    ui->bookAuthors->editItem(entry);
}

void BookProperties::on_btnBookRemove_clicked()
{
    delete ui->bookAuthors->currentItem();
}

void BookProperties::addAuthor(const QString& name)
{
    auto* entry = new QListWidgetItem(name, ui->bookAuthors);
    entry->setFlags(entry->flags() | Qt::ItemIsEditable);
}

void BookProperties::setRating(int rating)
{
    Rating::showStars({ui->btnRating1, ui->btnRating2, ui->btnRating3, ui->btnRating4, ui->btnRating5}, rating);
    book->setAverageRating(rating);
}

void BookProperties::on_btnRating0_clicked()
{
    setRating(0);
}

void BookProperties::on_btnRating1_clicked()
{
    setRating(1);
}

void BookProperties::on_btnRating2_clicked()
{
    setRating(2);
}

void BookProperties::on_btnRating3_clicked()
{
    setRating(3);
}

void BookProperties::on_btnRating4_clicked()
{
    setRating(4);
}

void BookProperties::on_btnRating5_clicked()
{
    setRating(5);
}

void BookProperties::showCover(const QString& path)
{
    const QPixmap cover(path);
    ui->btnBookCover->setIcon(cover.isNull() ? QIcon(":/images/images/no_cover.png") : QIcon(cover));
}

void BookProperties::populateForm(Book* source)
{
    qCDebug(lcDialogs) << "populate function called";
    ui->bookTitle->setText(source->getTitle());
    ui->bookISBN13->setText(source->getIsbn13());
    ui->bookISBN10->setText(source->getIsbn10());
    ui->bookDescription->setHtml(source->getDescription());
    ui->bookPages->setText(source->getPageCount());
    ui->bookPublisher->setText(source->getPublisher());
    ui->bookPublishedYear->setText(source->getDatePublished());
    showCover(source->getCoverFile());
    qCDebug(lcDialogs) << "\"" + source->getCoverFile() + "\"";
    book->setCoverFile(source->getCoverFile());
    ui->bookAuthors->clear();
    Authors* authors = source->getAuthors();
    for (int i = 0; i < authors->count(); ++i) {
        addAuthor(authors->getAuthor(i)->getName());
    }
    setRating(source->getRating());
}

void BookProperties::populateBook()
{
    book->setTitle(ui->bookTitle->text());
    book->setIsbn13(ui->bookISBN13->text());
    book->setIsbn10(ui->bookISBN10->text());
    book->setDescription(ui->bookDescription->toPlainText());
    book->setPageCount(ui->bookPages->text());
    book->setPublisher(ui->bookPublisher->text());
    book->setDatePublished(ui->bookPublishedYear->text());
    book->getAuthors()->removeAuthors();
    for (int i = 0; i < ui->bookAuthors->count(); ++i) {
        const QString name = ui->bookAuthors->item(i)->text().trimmed();
        // An entry added and left blank names nobody.
        if (!name.isEmpty()) {
            book->getAuthors()->addAuthor(name, ui->bookAuthors->item(i)->data(MetadataForm::FileAsRole).toString());
        }
    }
    qCDebug(lcDialogs) << "author count" << book->getAuthors()->count();
}

void BookProperties::lookUp(const QString& isbn, const QString& keywords)
{
    BookSelection selection(this);
    selection.disableSkipAll();
    selection.setFilePath(currentFilePath);
    if (isbn.isEmpty()) {
        selection.setKeywords(keywords);
    } else {
        selection.setISBN(isbn);
    }
    selection.queryGoogle();
    if (selection.exec() == QDialog::Accepted && !selection.getGoogleItemUrl().isEmpty()) {
        dataDownloader->googleInfoDownload(selection.getGoogleItemUrl());
    }
}

void BookProperties::on_btnDlTitle_clicked()
{
    if (ui->bookTitle->text().isEmpty()) {
        Prompt::critical(this, tr("Nothing found"), tr("No books were found.\nPlease try altering the title."));
        return;
    }
    lookUp(QString(), ui->bookTitle->text());
}

void BookProperties::on_btnDlISBN_clicked()
{
    const QString isbn13 = ui->bookISBN13->text();
    const QString isbn10 = ui->bookISBN10->text();
    if (isbn13.isEmpty() && isbn10.isEmpty()) {
        Prompt::critical(this, tr("Nothing found"),
                         tr("No books were found.\nPlease enter alter the ISBN or try searching by title."));
        return;
    }
    lookUp(isbn13.isEmpty() ? isbn10 : isbn13, QString());
}

void BookProperties::on_btnBookCover_clicked()
{
    const QString path =
        Prompt::openFileName(this, tr("Select Book"), lastSelectDir, tr("Image Files (*.jpg *.png *.gif)"));
    if (!path.isEmpty()) {
        chooseCover(path);
    }
}

void BookProperties::chooseCover(const QString& path)
{
    // The chosen image is copied: the user's own file is never moved into the library.
    const QString cover = TemporaryCover::fromImageFile(path);
    if (cover.isEmpty()) {
        Prompt::warning(this, tr("Book Cover"), tr("%1 is not an image that can be read.").arg(path));
        return;
    }
    if (book->getCoverFile().contains(QLatin1String("coverfile-tmp-"))) {
        QFile::remove(book->getCoverFile());
    }
    book->setCoverFile(cover);
    showCover(cover);
}

void BookProperties::on_btnSave_clicked()
{
    if (ui->bookTitle->text().isEmpty()) {
        Prompt::warning(nullptr, tr("Error"), tr("You must enter a book title."));
        return;
    }
    populateBook();
    book->setDetails(formDetails());
    TagsAndSeries shelving;
    shelving.tags = TagsAndSeries::parseTags(ui->bookTags->text());
    shelving.series = ui->bookSeries->text().simplified();
    shelving.number = shelving.series.isEmpty() ? 0 : ui->bookSeriesNumber->value();
    book->setTagsAndSeries(shelving);
    if (!book->insertBook()) {
        Prompt::warning(this, tr("Error"), tr("The book could not be saved in the library. Nothing was changed."));
        return;
    }
    accept();
}

void BookProperties::on_btnCancel_clicked()
{
    reject();
}

void BookProperties::on_btnDelete_clicked()
{
    if (book->getId() < 1) {
        return;
    }
    if (Prompt::confirmDelete(this)) {
        done(Deleted);
    }
}

void BookProperties::on_btnReset_clicked()
{
    clear();
}

void BookProperties::clear()
{
    ui->bookAuthors->clear();
    ui->bookDescription->clear();
    ui->bookISBN10->clear();
    ui->bookISBN13->clear();
    ui->bookPages->clear();
    ui->bookPublishedYear->clear();
    ui->bookPublisher->clear();
    ui->bookTitle->clear();
    ui->btnBookCover->setIcon(QIcon(":/images/images/no_cover.png"));
    delete book;
    book = new Book(nullptr, -1);
    ui->fileTable->clearContents();
    ui->fileTable->setRowCount(0);
}

// An image file dropped on the cover button becomes the cover, as if chosen with the button.
bool BookProperties::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ui->btnBookCover) {
        return QDialog::eventFilter(watched, event);
    }
    const auto droppedImage = [](const QMimeData* data) {
        if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile()) {
            return QString();
        }
        const QString path = data->urls().first().toLocalFile();
        return QImageReader(path).canRead() ? path : QString();
    };
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!droppedImage(drag->mimeData()).isEmpty() && ui->btnBookCover->isEnabled()) {
            drag->acceptProposedAction();
        } else {
            drag->ignore();
        }
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedImage(drop->mimeData());
        if (path.isEmpty() || !ui->btnBookCover->isEnabled()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        chooseCover(path);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Tags complete from the tags in use, each after its comma; series from the series in use.
void BookProperties::setUpTagsAndSeries(const TagsAndSeries& shelving)
{
    ui->bookTags->setText(shelving.tagsText());
    ui->bookSeries->setText(shelving.series);
    ui->bookSeriesNumber->setValue(shelving.number);
    auto* tags = new QCompleter(TagsAndSeries::tagsInUse(), this);
    tags->setCaseSensitivity(Qt::CaseInsensitive);
    tags->setWidget(ui->bookTags);
    const auto lastTagStart = [this] {
        return ui->bookTags->text().left(ui->bookTags->cursorPosition()).lastIndexOf(QLatin1Char(',')) + 1;
    };
    connect(ui->bookTags, &QLineEdit::textEdited, this, [this, tags, lastTagStart] {
        const QString typed =
            ui->bookTags->text().mid(lastTagStart(), ui->bookTags->cursorPosition() - lastTagStart()).trimmed();
        if (typed.isEmpty()) {
            tags->popup()->hide();
            return;
        }
        tags->setCompletionPrefix(typed);
        tags->complete();
    });
    connect(tags, qOverload<const QString&>(&QCompleter::activated), this, [this, lastTagStart](const QString& tag) {
        const QString text = ui->bookTags->text();
        const int start = lastTagStart();
        const int end = text.indexOf(QLatin1Char(','), ui->bookTags->cursorPosition());
        const QString before = text.left(start);
        const QString after = end < 0 ? QString() : text.mid(end);
        const QString chosen = (start > 0 ? QStringLiteral(" ") : QString()) + tag;
        ui->bookTags->setText(before + chosen + after);
        ui->bookTags->setCursorPosition(before.size() + chosen.size());
    });
    auto* series = new QCompleter(TagsAndSeries::seriesInUse(), this);
    series->setCaseSensitivity(Qt::CaseInsensitive);
    ui->bookSeries->setCompleter(series);
}
