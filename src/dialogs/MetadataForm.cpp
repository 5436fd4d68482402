#include "MetadataForm.h"

#include "BookMetadata.h"
#include "LanguageComboBox.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

MetadataForm::MetadataForm(const Fields& fields) : fields(fields)
{
    filled.insert(fields.language, QString::number(int(fields.language->currentLanguage())));
}

void MetadataForm::fillLine(QLineEdit* field, const QString& value)
{
    if (field->text().isEmpty() || field->text() == filled.value(field)) {
        field->setText(value);
        filled.insert(field, value);
    }
}

void MetadataForm::fill(const BookMetadata& metadata, const QString& fallbackTitle)
{
    fillLine(fields.title, metadata.title.isEmpty() ? fallbackTitle : metadata.title);
    fillLine(fields.pages, metadata.pages);
    fillLine(fields.isbn13, metadata.isbn13);
    fillLine(fields.isbn10, metadata.isbn10);
    fillLine(fields.publisher, metadata.publisher);
    fillLine(fields.date, metadata.date);
    fillLine(fields.tags, metadata.tags.join(QStringLiteral(", ")));
    const QString seriesBefore = fields.series->text();
    fillLine(fields.series, metadata.series);
    if (fields.series->text() != seriesBefore || (!metadata.series.isEmpty() && fields.seriesNumber->value() == 0)) {
        fields.seriesNumber->setValue(metadata.seriesNumber);
    }
    const QString description = fields.description->toPlainText();
    if (description.isEmpty() || description == filled.value(fields.description)) {
        fields.description->setPlainText(metadata.description);
        filled.insert(fields.description, metadata.description);
    }
    // The authors as a whole: the list is the file's while nobody has touched it.
    QStringList listed;
    for (int i = 0; i < fields.authors->count(); ++i) {
        listed << fields.authors->item(i)->text();
    }
    const QString joined = listed.join(QLatin1Char('\n'));
    if (joined.isEmpty() || joined == filled.value(fields.authors)) {
        fields.authors->clear();
        QStringList names;
        for (const BookMetadata::Author& author : metadata.authors) {
            auto* entry = new QListWidgetItem(author.name, fields.authors);
            entry->setFlags(entry->flags() | Qt::ItemIsEditable);
            entry->setData(FileAsRole, author.fileAs);
            names << author.name;
        }
        filled.insert(fields.authors, names.join(QLatin1Char('\n')));
    }
    const QLocale::Language language = QLocale::codeToLanguage(metadata.language);
    const QString current = QString::number(int(fields.language->currentLanguage()));
    if (language != QLocale::AnyLanguage && current == filled.value(fields.language)) {
        fields.language->setCurrentLanguage(language);
        filled.insert(fields.language, QString::number(int(fields.language->currentLanguage())));
    }
}
