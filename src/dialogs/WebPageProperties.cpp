#include "WebPageProperties.h"

#include "ui_WebPageProperties.h"

#include "FileTable.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibraryFile.h"
#include "LibrarySettings.h"
#include "Prompt.h"
#include "Rating.h"
#include "WebPage.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

WebPageProperties::WebPageProperties(QWidget* parent, int iid)
    : QDialog(parent), ui(std::make_unique<Ui::WebPageProperties>()), webPage(new WebPage(nullptr, iid))
{
    ui->setupUi(this);
    ui->btnOpenFile->setEnabled(false);
    if (iid >= 1) {
        populateForm(webPage);
        populateFiles();
    }
    if (LibraryFile::isOpenReadOnly()) {
        // Nothing changed here could be stored.
        ui->btnSave->setEnabled(false);
        ui->btnDelete->setEnabled(false);
        ui->btnSave->setToolTip(tr("The library is read-only."));
    }
}

WebPageProperties::~WebPageProperties()
{
    delete webPage;
}

void WebPageProperties::populateForm(WebPage* page)
{
    ui->bookTitle->setText(page->getTitle());
    ui->bookDescription->setPlainText(page->getDescription());
    // Where the page came from and when it was captured, as recorded; shown, not edited.
    ui->bookPublisher->setText(page->getUrl());
    ui->bookPublisher->setReadOnly(true);
    if (page->getCreated() > 0) {
        ui->dateTimeEdit->setDateTime(QDateTime::fromSecsSinceEpoch(page->getCreated()));
    }
    ui->dateTimeEdit->setReadOnly(true);
    const QPixmap cover(page->getCoverFile());
    if (!cover.isNull()) {
        ui->btnBookCover->setIcon(QIcon(cover));
    }
    webPage->setCoverFile(page->getCoverFile());
    // The stars show the page's rating, as the views do.
    Rating::showStars({ui->btnRating1, ui->btnRating2, ui->btnRating3, ui->btnRating4, ui->btnRating5},
                      page->getRating());
}

void WebPageProperties::populateFiles()
{
    const QString first = FileTable::fill(ui->fileTable, webPage);
    if (!first.isEmpty()) {
        currentFilePath = first;
        ui->btnOpenFile->setEnabled(true);
    }
}

void WebPageProperties::on_btnOpenFile_clicked()
{
    if (!currentFilePath.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(currentFilePath));
    }
}

void WebPageProperties::on_btnAddFile_clicked()
{
    const QString path =
        Prompt::openFileName(this, tr("Select Book"), lastSelectDir, tr("Book Files (*.pdf *.chm *.epub *.mobi)"));
    if (path.isEmpty()) {
        return;
    }
    webPage->addFile(path);
    LibrarySettings().setLastSelectDir(QFileInfo(path).absolutePath());
    FileTable::appendRow(ui->fileTable, webPage, webPage->getFiles()->count() - 1);
}

void WebPageProperties::on_btnRemoveFile_clicked()
{
    FileTable::removeSelected(ui->fileTable, webPage);
}

void WebPageProperties::setRating(int rating)
{
    webPage->setAverageRating(QString::number(rating));
    Rating::showStars({ui->btnRating1, ui->btnRating2, ui->btnRating3, ui->btnRating4, ui->btnRating5}, rating);
}

void WebPageProperties::on_btnRating0_clicked()
{
    setRating(0);
}

void WebPageProperties::on_btnRating1_clicked()
{
    setRating(1);
}

void WebPageProperties::on_btnRating2_clicked()
{
    setRating(2);
}

void WebPageProperties::on_btnRating3_clicked()
{
    setRating(3);
}

void WebPageProperties::on_btnRating4_clicked()
{
    setRating(4);
}

void WebPageProperties::on_btnRating5_clicked()
{
    setRating(5);
}

void WebPageProperties::on_btnSave_clicked()
{
    if (ui->bookTitle->text().isEmpty()) {
        Prompt::warning(nullptr, tr("Error"), tr("You must enter a book title."));
        return;
    }
    webPage->setTitle(ui->bookTitle->text());
    webPage->setDescription(ui->bookDescription->toPlainText());
    if (!webPage->insertWebPage()) {
        Prompt::warning(this, tr("Error"), tr("The page could not be saved in the library. Nothing was changed."));
        return;
    }
    accept();
}

void WebPageProperties::on_btnCancel_clicked()
{
    reject();
}

void WebPageProperties::on_btnDelete_clicked()
{
    if (webPage->getId() < 1) {
        return;
    }
    if (Prompt::confirmDelete(this)) {
        done(Deleted);
    }
}
