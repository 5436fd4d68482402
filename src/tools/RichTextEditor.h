#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RichTextEditor;
}

class QTextCharFormat;
struct ViewItem;

// The notes pane: the rich-text note of the item last selected in any view, saved when the
// selection moves on and when the pane goes.
class RichTextEditor : public QWidget
{
    Q_OBJECT
    Q_MOC_INCLUDE("ViewItem.h")

public:
    explicit RichTextEditor(QWidget* parent = nullptr);
    ~RichTextEditor() override;

    int getItemId() const { return iid; }
    QString toHtml() const;

    void readNote();
    void createNote();
    bool updateNote();
    // The item on screen was deleted: its note goes with it, without being written back.
    void forgetItem(int itemId);

public Q_SLOTS:
    void loadNoteItem(ViewItem* item);

private Q_SLOTS:
    void on_btnBold_clicked();
    void on_btnIltalic_clicked();
    void on_btnUnderline_clicked();
    void on_btnUl_clicked();
    void on_btnOl_clicked();
    void on_btnH1_clicked();
    void on_btnH2_clicked();
    void on_btnH3_clicked();
    void on_btnAlignLeft_clicked();
    void on_btnAlignCenter_clicked();
    void on_btnAlignRight_clicked();
    void on_btnSuperscript_clicked();
    void on_btnSubscript_clicked();
    void showFormat(const QTextCharFormat& format);

private:
    void mergeFormat(const QTextCharFormat& format);
    void toggleList(int style);
    void toggleHeading(int level);
    void toggleVerticalAlignment(int alignment);

    std::unique_ptr<Ui::RichTextEditor> ui;
    int iid = -1;
};
