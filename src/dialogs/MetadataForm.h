#pragma once

#include <QHash>
#include <QString>

struct BookMetadata;
class LanguageComboBox;
class QDoubleSpinBox;
class QObject;
class QLineEdit;
class QListWidget;
class QTextEdit;

// Fills the book dialog's fields from what a chosen file says about itself. What the user typed
// always wins: a field is filled only when it is empty or still holds what the last chosen
// file put there (so choosing another file replaces that, and only that).
class MetadataForm
{
public:
    struct Fields
    {
        QLineEdit* title;
        QListWidget* authors;
        QLineEdit* pages;
        QLineEdit* isbn13;
        QLineEdit* isbn10;
        QLineEdit* publisher;
        QLineEdit* date;
        QTextEdit* description;
        QLineEdit* tags;
        QLineEdit* series;
        QDoubleSpinBox* seriesNumber;
        LanguageComboBox* language;
    };

    // The fields as the dialog first shows them count as untouched.
    explicit MetadataForm(const Fields& fields);

    // `fallbackTitle` (from the file's name) stands in when the file names no title.
    void fill(const BookMetadata& metadata, const QString& fallbackTitle);

    // The role of an author entry holding how the name sorts ("Last, First"), when known.
    static constexpr int FileAsRole = 0x0101;

private:
    void fillLine(QLineEdit* field, const QString& value);

    Fields fields;
    QHash<QObject*, QString> filled; // what the last file put in each field
};
