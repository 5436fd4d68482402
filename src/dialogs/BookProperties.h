#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class BookProperties;
}

class Book;
struct TagsAndSeries;
class DataDownloader;
class LanguageComboBox;
class MetadataForm;
struct BookDetails;
class QToolButton;

// Adds one book by hand or edits a stored one: its file(s), bibliographic data, authors,
// rating and cover, with a look-up on Google Books by title or ISBN.
class BookProperties : public QDialog
{
    Q_OBJECT
    Q_MOC_INCLUDE("Book.h")

public:
    // The dialog's result when the user deleted the book (after confirming).
    static constexpr int Deleted = QDialog::Accepted + 1;

    BookProperties(QWidget* parent, int iid);
    ~BookProperties() override;

    Book* getBook() const { return book; }
    void populateFiles();
    // The book's file, as if chosen with the file button; false (after saying why) when unusable
    // or when the user would rather not add content the library holds already.
    bool chooseFile(const QString& path);
    void chooseCover(const QString& path);
    void setUpTagsAndSeries(const TagsAndSeries& shelving);

    void populateBook();
    void addAuthor(const QString& name);
    void setRating(int rating);
    void clear();

    // A title made of the file name's words, for searching (see the definition for the rule).
    static QString titleFromFileName(const QString& fileName);

public Q_SLOTS:
    void populateForm(Book* source);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void on_btnSelectFile_clicked();
    void on_btnOpenFile_clicked();
    void on_btnReset_clicked();
    void on_btnRating0_clicked();
    void on_btnRating1_clicked();
    void on_btnRating2_clicked();
    void on_btnRating3_clicked();
    void on_btnRating4_clicked();
    void on_btnRating5_clicked();
    void on_btnDlTitle_clicked();
    void on_btnDlISBN_clicked();
    void on_btnBookAdd_clicked();
    void on_btnBookRemove_clicked();
    void on_btnBookCover_clicked();
    void on_btnAddFile_clicked();
    void on_btnRemoveFile_clicked();
    void on_btnSave_clicked();
    void on_btnCancel_clicked();
    void on_btnDelete_clicked();

private:
    void lookUp(const QString& isbn, const QString& keywords);
    void showDetails(const BookDetails& details);
    BookDetails formDetails() const;
    void showCover(const QString& path);

    std::unique_ptr<Ui::BookProperties> ui;
    Book* book = nullptr;
    QString currentFilePath;
    DataDownloader* dataDownloader;
    LanguageComboBox* language = nullptr;
    QString lastSelectDir;
    std::unique_ptr<MetadataForm> fromFile;
};
