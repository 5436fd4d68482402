#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class WebPageProperties;
}

class WebPage;

// Edits a captured web page: title, description, extra files and rating.
class WebPageProperties : public QDialog
{
    Q_OBJECT
    Q_MOC_INCLUDE("WebPage.h")

public:
    // The dialog's result when the user deleted the page (after confirming).
    static constexpr int Deleted = QDialog::Accepted + 1;

    WebPageProperties(QWidget* parent, int iid);
    ~WebPageProperties() override;

    WebPage* getWebPage() const { return webPage; }
    void populateFiles();

public Q_SLOTS:
    void populateForm(WebPage* page);

private Q_SLOTS:
    void on_btnOpenFile_clicked();
    void on_btnSave_clicked();
    void on_btnCancel_clicked();
    void on_btnDelete_clicked();
    void on_btnAddFile_clicked();
    void on_btnRemoveFile_clicked();
    void on_btnRating0_clicked();
    void on_btnRating1_clicked();
    void on_btnRating2_clicked();
    void on_btnRating3_clicked();
    void on_btnRating4_clicked();
    void on_btnRating5_clicked();

private:
    void setRating(int rating);

    std::unique_ptr<Ui::WebPageProperties> ui;
    QString currentFilePath;
    WebPage* webPage;
    QString lastSelectDir;
};
