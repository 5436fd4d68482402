#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RichTextEditor;
}

class QTextCharFormat;
struct ViewItem;

// The notes pane: the rich-text note of the item highlighted in the view on screen, saved when
// the highlight moves on and when the pane goes. With no item it is empty and read-only.
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
    // Saves the note on screen if it changed; false when there was nothing to save it to or
    // the write failed.
    bool updateNote();
    // Before the pane shows another note or the program ends: saves the note on screen; when
    // that fails, tells the user and lets them try again, discard it or keep it on screen
    // (false: it stays, and the pane does not move on).
    bool saveOrAsk();
    // The item on screen was deleted: its note goes with it, without being written back.
    void forgetItem(int itemId);
    // A library that may only be read: notes can be read, never typed.
    void setLibraryReadOnly(bool readOnly);

    // The note of the library item `itemId` (none for -1), headed with its title.
    void loadNote(int itemId, const QString& title);
    // The note for a tab on screen: the book a reader tab shows, else `focus`.
    void loadNoteBeside(QWidget* tab, ViewItem* focus);

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
    void showNote(const QString& html);
    void updateEditable();

    std::unique_ptr<Ui::RichTextEditor> ui;
    int iid = -1;
    QString itemTitle;
    // The note as stored, to tell whether what is on screen needs saving.
    QString savedHtml;
    bool libraryReadOnly = false;
};
