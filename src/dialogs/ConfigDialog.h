#pragma once

#include <QDialog>

class QDialogButtonBox;
class QListWidget;
class QStackedWidget;
class QVBoxLayout;

// A preferences dialog: a column of page icons beside the current page. A page may have the
// slots initialize() (called when the dialog opens) and cleanup() (called when it closes).
class ConfigDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ConfigDialog(QWidget* parent = nullptr);

    int addPage(QWidget* page, const QIcon& icon, const QString& title);
    int count() const;
    QWidget* page(int index) const;
    QDialogButtonBox* dialogButtonBox() const { return buttons; }
    void setCurrentPage(int index);

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QListWidget* pageList;
    QStackedWidget* pages;
    QDialogButtonBox* buttons;
};
