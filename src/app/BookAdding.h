#pragma once

#include <QObject>
#include <QStringList>

class Book;
class MainWindow;
class MultiSelect;
class ToolTabs;

// The ways books come into the library from the window: one file through the book dialog, a
// folder or several files through the batch import, and files handed over on the command
// line (books the reader shows open there; others are offered for adding).
class BookAdding : public QObject
{
    Q_OBJECT
    Q_MOC_INCLUDE("Book.h")

public:
    BookAdding(MainWindow* window, ToolTabs* tools, bool readOnly);

    // The book dialog, with the file chosen when given.
    void addBookFile(const QString& path);
    void importFolder(bool withSubfolders);
    void runImport(MultiSelect* import);
    // The names of the files that opened in the reader.
    QStringList openFiles(const QStringList& paths);

Q_SIGNALS:
    // The book dialog saved this record; it lives until the signal returns.
    void bookSaved(Book* book);
    // A batch import ended with books imported.
    void importedBooks();

private:
    MainWindow* window;
    ToolTabs* tools;
    bool readOnly;
};
