#pragma once

#include "BookFileWalk.h"
#include "BookMetadata.h"

#include <QDialog>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

namespace Ui {
class MultiSelect;
}

class Book;
class BookSelection;
class LazyCellWidgets;
class TableButton;

// Imports a folder tree of book files (PDF, EPUB, MOBI, CHM, text, HTML): lists every file
// found with what it says about itself, and looks each ticked one up on Google Books (by its
// ISBN where it names one), or imports it as it describes itself. A run over many files never
// stops to ask unless there is a choice to make; every row ends with its status, and every file
// found is accounted for in the footer.
class MultiSelect : public QDialog
{
    Q_OBJECT
    Q_MOC_INCLUDE("Book.h")

public:
    explicit MultiSelect(QWidget* parent = nullptr);
    ~MultiSelect() override;

    // Asks for a folder and lists its new book files (with those of its sub-folders, or not).
    bool populateTableDir(bool withSubfolders = true);
    // Lists the new book files in `directory` and, unless told otherwise, its sub-folders
    // (progress shown, can be cancelled). False when cancelled.
    bool populateTable(const QString& directory, bool withSubfolders = true);
    // Files as given (every one listed, books or not) and folders walked.
    bool populateTable(const QStringList& paths, bool withSubfolders = true);
    int importedCount() const { return imported; }
    // Book files of the last walk left out because the library holds them already.
    QStringList storedFiles() const { return alreadyStored; }
    // Downloads still on their way (the dialog may already be closed).
    bool isBusy() const { return !inFlight.isEmpty(); }

Q_SIGNALS:
    // The last download on its way has ended.
    void idle();
    // One per imported book; the receiver owns it.
    void newBookItem(Book* book);
    // The user stopped the run of look-ups (or closed the dialog during it).
    void stopped();

public Q_SLOTS:
    void downloadData(int row);
    void downloadFinished(Book* book);
    void removeRow(int row);
    void reject() override;

private Q_SLOTS:
    void on_btnReplaceAll_clicked();
    void on_pushButton_clicked();
    void on_btnImportPlain_clicked();
    void on_btnStop_clicked();
    void on_btnClose_clicked();
    void on_hideFinished_toggled(bool hide);
    void importRowWithoutLookUp(int row);
    void showStoredFiles();

private:
    struct Counts
    {
        int found = 0;
        int copies = 0;
        int notImportable = 0;
    };
    // Which files of the same size and first bytes are listed already, and their MD5s.
    struct Copies
    {
        QHash<QString, QList<int>> rowsByFingerprint;
        QHash<int, QString> digestOfRow;
        QHash<int, QStringList> pathsOfRow;
    };
    void list(const BookFileWalk::File& file, Counts& counts, Copies& copies);
    void addRow(const QString& path, const QString& status, const BookMetadata& metadata, bool importable);
    TableButton* rowButton(int row) const;
    void makeRowButton(int row);
    bool isRowTicked(int row) const;
    bool canImport(int row) const;
    void setStatus(int row, const QString& text);
    void lookUpFailed(int row, const QString& reason);
    void showImportProgress();
    void downloadEnded(int row);
    void showWalkSummary(const Counts& counts);
    bool saveRow(int row, Book* book);
    // The row is imported: it says so, and the book (`copy`, handed on) goes to the views.
    void announceSaved(int row, Book* copy);
    bool startLookUp(int row);
    // Asks Google Books (the file's ISBN first, then the keywords); true with one volume chosen.
    bool choose(int row);
    void finishRow(int row);
    void setRunning(bool running);

    std::unique_ptr<Ui::MultiSelect> ui;
    BookSelection* bookSelection = nullptr;
    LazyCellWidgets* rowButtons = nullptr;
    bool skipAll = false;
    bool stopRequested = false;
    // Rows whose book is being downloaded or was saved: never looked up again.
    QSet<int> inFlight;
    QSet<int> done;
    // Rows listed to account for a file that cannot be imported (not a PDF, not a book).
    QSet<int> notImportable;
    QHash<int, BookMetadata> metadataOfRow;
    QHash<int, QString> keywordsOfRow; // as first proposed, to tell whether the user edited them
    int imported = 0;
    // While rows are imported in one transaction, what is saved waits here for the commit.
    std::vector<std::pair<int, std::unique_ptr<Book>>>* uncommitted = nullptr;
    int batchTotal = 0;
    int batchDone = 0;
    QStringList alreadyStored;
    QString walkSummary;
    // Rows standing for identical copies elsewhere in the folder, with the note saying where.
    QHash<int, QString> copiesOfRow;
};
