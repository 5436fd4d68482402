#include "RichTextEditor.h"

#include "ui_RichTextEditor.h"

#include "Logging.h"
#include "Notes.h"
#include "Prompt.h"
#include "ReaderTab.h"
#include "ViewItem.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QToolButton>

RichTextEditor::RichTextEditor(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::RichTextEditor>())
{
    ui->setupUi(this);
    connect(ui->textEdit, &QTextEdit::currentCharFormatChanged, this, &RichTextEditor::showFormat);
    // The usual formatting keys, while the cursor is in the note.
    const QList<std::pair<QToolButton*, QKeySequence::StandardKey>> keys = {
        {ui->btnBold, QKeySequence::Bold},
        {ui->btnIltalic, QKeySequence::Italic},
        {ui->btnUnderline, QKeySequence::Underline}};
    for (const auto& [button, key] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), ui->textEdit, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, button, &QToolButton::click);
        button->setToolTip(button->toolTip() + QStringLiteral(" (") +
                           QKeySequence(key).toString(QKeySequence::NativeText) + QLatin1Char(')'));
    }
    updateEditable();
}

RichTextEditor::~RichTextEditor()
{
    updateNote();
}

QString RichTextEditor::toHtml() const
{
    return ui->textEdit->toHtml();
}

void RichTextEditor::loadNoteItem(ViewItem* item)
{
    loadNote(item ? item->id : -1, item ? item->title : QString());
}

void RichTextEditor::loadNoteBeside(QWidget* tab, ViewItem* focus)
{
    auto* reader = qobject_cast<ReaderTab*>(tab);
    if (reader && reader->itemId() > 0) {
        loadNote(reader->itemId(), reader->itemTitle());
    } else {
        loadNoteItem(focus);
    }
}

void RichTextEditor::loadNote(int itemId, const QString& title)
{
    const int next = itemId > 0 ? itemId : -1;
    if (next == iid && next > 0) {
        return; // the same item again: what is typed stays as it is
    }
    if (!saveOrAsk()) {
        return;
    }
    if (next < 0) {
        iid = -1;
        itemTitle.clear();
        ui->label->setText(tr("Notes on book"));
        showNote(QString());
        updateEditable();
        return;
    }
    ui->label->setText(tr("Notes on ") + title);
    iid = next;
    itemTitle = title;
    readNote();
    updateEditable();
}

void RichTextEditor::readNote()
{
    const QString note = Notes::read(iid);
    showNote(note);
    if (note.isEmpty() && !libraryReadOnly) {
        createNote();
    }
}

// A fresh document for every note, so no character format of the last one carries over.
void RichTextEditor::showNote(const QString& html)
{
    ui->textEdit->clear();
    ui->textEdit->setCurrentCharFormat(QTextCharFormat());
    if (!html.isEmpty()) {
        ui->textEdit->setHtml(html);
    }
    savedHtml = ui->textEdit->toHtml();
}

void RichTextEditor::createNote()
{
    if (iid < 1) {
        return;
    }
    if (!Notes::write(iid, ui->textEdit->toHtml())) {
        qCDebug(lcTools) << "no note row for" << iid;
    }
}

bool RichTextEditor::updateNote()
{
    if (iid < 1) {
        return false;
    }
    const QString html = ui->textEdit->toHtml();
    if (html == savedHtml) {
        return true;
    }
    if (!Notes::write(iid, html)) {
        return false;
    }
    savedHtml = html;
    return true;
}

bool RichTextEditor::saveOrAsk()
{
    if (iid < 1) {
        return true;
    }
    while (!updateNote()) {
        const QMessageBox::StandardButton answer = Prompt::ask(
            this, QMessageBox::Warning, tr("Notes"), tr("The note on \"%1\" could not be saved.").arg(itemTitle),
            QMessageBox::Retry | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel,
            tr("Retry to save it again, Discard to drop your changes, or Cancel to keep the note on screen."));
        if (answer == QMessageBox::Discard) {
            return true;
        }
        if (answer != QMessageBox::Retry) {
            return false;
        }
    }
    return true;
}

void RichTextEditor::forgetItem(int itemId)
{
    if (itemId != iid) {
        return;
    }
    iid = -1;
    itemTitle.clear();
    showNote(QString());
    ui->label->setText(tr("Notes on book"));
    updateEditable();
}

void RichTextEditor::setLibraryReadOnly(bool readOnly)
{
    libraryReadOnly = readOnly;
    updateEditable();
}

void RichTextEditor::updateEditable()
{
    const bool editable = iid > 0 && !libraryReadOnly;
    ui->textEdit->setReadOnly(!editable);
    for (QToolButton* button : findChildren<QToolButton*>()) {
        button->setEnabled(editable);
    }
    ui->textEdit->setToolTip(libraryReadOnly ? tr("The library is read-only: notes cannot be changed.")
                                             : (iid > 0 ? QString() : tr("Select an item to write its note.")));
    // With nothing selected the pane says what to do, and nothing typed goes nowhere.
    ui->textEdit->setPlaceholderText(iid > 0 ? QString()
                                             : tr("Select a book or web page, or open a book in the reader, to "
                                                  "read and write its note here."));
}

void RichTextEditor::mergeFormat(const QTextCharFormat& format)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    if (!cursor.hasSelection()) {
        cursor.select(QTextCursor::WordUnderCursor);
    }
    cursor.mergeCharFormat(format);
    ui->textEdit->mergeCurrentCharFormat(format);
    ui->textEdit->setFocus();
}

void RichTextEditor::showFormat(const QTextCharFormat& format)
{
    ui->btnBold->setChecked(format.fontWeight() >= QFont::Bold);
    ui->btnIltalic->setChecked(format.fontItalic());
    ui->btnUnderline->setChecked(format.fontUnderline());
}

void RichTextEditor::on_btnBold_clicked()
{
    QTextCharFormat format;
    const bool isBold = ui->textEdit->currentCharFormat().fontWeight() >= QFont::Bold;
    format.setFontWeight(isBold ? QFont::Normal : QFont::Bold);
    mergeFormat(format);
}

void RichTextEditor::on_btnIltalic_clicked()
{
    QTextCharFormat format;
    format.setFontItalic(!ui->textEdit->currentCharFormat().fontItalic());
    mergeFormat(format);
}

void RichTextEditor::on_btnUnderline_clicked()
{
    QTextCharFormat format;
    format.setFontUnderline(!ui->textEdit->currentCharFormat().fontUnderline());
    mergeFormat(format);
}

void RichTextEditor::toggleList(int style)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    QTextList* list = cursor.currentList();
    cursor.beginEditBlock();
    if (list && list->format().style() == QTextListFormat::Style(style)) {
        // Pressing the button again takes the selected paragraphs out of the list.
        QTextDocument* document = ui->textEdit->document();
        const QTextBlock end = document->findBlock(cursor.selectionEnd()).next();
        for (QTextBlock block = document->findBlock(cursor.selectionStart()); block.isValid() && block != end;
             block = block.next()) {
            if (QTextList* current = block.textList()) {
                current->remove(block);
            }
            QTextCursor paragraph(block);
            QTextBlockFormat format = paragraph.blockFormat();
            format.setIndent(0);
            paragraph.setBlockFormat(format);
        }
    } else {
        QTextListFormat format;
        format.setStyle(QTextListFormat::Style(style));
        cursor.createList(format);
    }
    cursor.endEditBlock();
    ui->textEdit->setFocus();
}

void RichTextEditor::on_btnUl_clicked()
{
    toggleList(QTextListFormat::ListDisc);
}

void RichTextEditor::on_btnOl_clicked()
{
    toggleList(QTextListFormat::ListDecimal);
}

void RichTextEditor::toggleHeading(int level)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    const bool same = cursor.blockFormat().headingLevel() == level;
    const int newLevel = same ? 0 : level;
    cursor.beginEditBlock();
    QTextBlockFormat block;
    block.setHeadingLevel(newLevel);
    cursor.mergeBlockFormat(block);
    // Headings are larger and bold, as the HTML export of a heading expects.
    QTextCharFormat chars;
    chars.setFontWeight(newLevel ? QFont::Bold : QFont::Normal);
    chars.setProperty(QTextFormat::FontSizeAdjustment, newLevel ? 4 - newLevel : 0);
    QTextCursor target = cursor;
    if (!target.hasSelection()) {
        target.movePosition(QTextCursor::StartOfBlock);
        target.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    target.mergeCharFormat(chars);
    ui->textEdit->mergeCurrentCharFormat(chars);
    cursor.endEditBlock();
    ui->textEdit->setFocus();
}

void RichTextEditor::on_btnH1_clicked()
{
    toggleHeading(1);
}

void RichTextEditor::on_btnH2_clicked()
{
    toggleHeading(2);
}

void RichTextEditor::on_btnH3_clicked()
{
    toggleHeading(3);
}

void RichTextEditor::on_btnAlignLeft_clicked()
{
    ui->textEdit->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
}

void RichTextEditor::on_btnAlignCenter_clicked()
{
    ui->textEdit->setAlignment(Qt::AlignHCenter);
}

void RichTextEditor::on_btnAlignRight_clicked()
{
    ui->textEdit->setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
}

void RichTextEditor::toggleVerticalAlignment(int alignment)
{
    QTextCharFormat format;
    const auto wanted = QTextCharFormat::VerticalAlignment(alignment);
    const bool already = ui->textEdit->currentCharFormat().verticalAlignment() == wanted;
    format.setVerticalAlignment(already ? QTextCharFormat::AlignNormal : wanted);
    mergeFormat(format);
}

void RichTextEditor::on_btnSuperscript_clicked()
{
    toggleVerticalAlignment(QTextCharFormat::AlignSuperScript);
}

void RichTextEditor::on_btnSubscript_clicked()
{
    toggleVerticalAlignment(QTextCharFormat::AlignSubScript);
}
