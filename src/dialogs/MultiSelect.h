#pragma once

#include <QDialog>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>

namespace Ui {
class MultiSelect;
}

class Book;
class BookSelection;
class LazyCellWidgets;
class TableButton;

// Imports a folder tree of PDF files: lists those not yet in the library with keywords from
// their names, looks each ticked one up on Google Books and saves the accepted ones.
class MultiSelect : public QDialog
{
    Q_OBJECT
    Q_MOC_INCLUDE("Book.h")

public:
    explicit MultiSelect(QWidget* parent = nullptr);
    ~MultiSelect() override;

    // Asks for a folder and lists its new PDF files (with those of its sub-folders, or not).
    bool populateTableDir(bool withSubfolders = true);
    // Lists the new PDF files in `directory` and, unless told otherwise, its sub-folders
    // (progress shown, can be cancelled). False when cancelled.
    bool populateTable(const QString& directory, bool withSubfolders = true);
    // Files as given and folders walked (with their sub-folders unless told otherwise).
    bool populateTable(const QStringList& paths, bool withSubfolders = true);
    int importedCount() const { return imported; }
    // PDF files of the last walk left out because the library holds them already.
    QStringList storedFiles() const { return alreadyStored; }
    // Downloads still on their way (the dialog may already be closed).
    bool isBusy() const { return !inFlight.isEmpty(); }

Q_SIGNALS:
    // The last download on its way has ended.
    void idle();
    // One per imported book; the receiver owns it.
    void newBookItem(Book* book);

public Q_SLOTS:
    void downloadData(int row);
    void downloadFinished(Book* book);
    void removeRow(int row);

private Q_SLOTS:
    void on_btnReplaceAll_clicked();
    void on_pushButton_clicked();
    // Imports the ticked rows as they are: the keywords become the title, nothing is looked up.
    void importWithoutLookUp();
    void importRowWithoutLookUp(int row);
    void showStoredFiles();

private:
    TableButton* rowButton(int row) const;
    void makeRowButton(int row);
    bool isRowTicked(int row) const;
    void setStatus(int row, const QString& text);
    void lookUpFailed(int row, const QString& reason);
    void showImportProgress();
    void downloadEnded(int row);
    void showWalkSummary(int copies);
    bool saveRow(int row, Book* book);
    bool startLookUp(int row);

    std::unique_ptr<Ui::MultiSelect> ui;
    BookSelection* bookSelection = nullptr;
    LazyCellWidgets* rowButtons = nullptr;
    bool skipAll = false;
    // Rows whose book is being downloaded or was saved: never looked up again.
    QSet<int> inFlight;
    QSet<int> done;
    int imported = 0;
    int batchTotal = 0;
    int batchDone = 0;
    int batchImported = 0;
    QStringList alreadyStored;
    // Rows standing for identical copies elsewhere in the folder, with the note saying where.
    QHash<int, QString> copiesOfRow;
};
