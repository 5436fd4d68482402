#include "RichTextEditor.h"

#include "ui_RichTextEditor.h"

#include "Logging.h"
#include "ViewItem.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>

RichTextEditor::RichTextEditor(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::RichTextEditor>())
{
    ui->setupUi(this);
    connect(ui->textEdit, &QTextEdit::currentCharFormatChanged, this, &RichTextEditor::showFormat);
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
    if (!item) {
        return;
    }
    updateNote();
    ui->label->setText(tr("Notes on ") + item->title);
    iid = item->id;
    readNote();
}

void RichTextEditor::readNote()
{
    QSqlQuery query;
    query.prepare("SELECT note FROM notes WHERE iid = :iid LIMIT 1");
    query.bindValue(":iid", iid);
    if (!query.exec()) {
        ui->textEdit->clear();
        return;
    }
    const QString note = query.next() ? query.value(0).toString() : QString();
    if (!note.isEmpty()) {
        ui->textEdit->setHtml(note);
    } else {
        ui->textEdit->clear();
        createNote();
    }
}

void RichTextEditor::createNote()
{
    if (iid < 1) {
        return;
    }
    QSqlQuery query;
    query.prepare("INSERT INTO notes                      (iid, note)                      VALUES                      "
                  "(:iid, :note)");
    query.bindValue(":iid", iid);
    query.bindValue(":note", ui->textEdit->toHtml());
    if (!query.exec()) {
        qCDebug(lcTools) << query.lastError();
    }
}

bool RichTextEditor::updateNote()
{
    if (iid < 1) {
        return false;
    }
    QSqlQuery query;
    query.prepare("UPDATE notes SET                 note = :note WHERE iid = :iid");
    query.bindValue(":iid", iid);
    query.bindValue(":note", ui->textEdit->toHtml());
    return query.exec();
}

void RichTextEditor::forgetItem(int itemId)
{
    if (itemId != iid) {
        return;
    }
    iid = -1;
    ui->textEdit->clear();
    ui->label->setText(tr("Notes on book"));
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
