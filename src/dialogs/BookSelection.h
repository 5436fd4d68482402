#pragma once

#include <QDialog>
#include <QVariant>

#include <memory>

namespace Ui {
class BookSelection;
}

class QNetworkReply;

// Asks Google Books for volumes matching an ISBN or keywords and lets the user pick one; a
// single match is taken at once. The result is the chosen volume's address ("selfLink").
class BookSelection : public QDialog
{
    Q_OBJECT

public:
    explicit BookSelection(QWidget* parent = nullptr);
    ~BookSelection() override;

    void setKeywords(const QString& keywords);
    void setISBN(const QString& isbn);
    void setFilePath(const QString& path);
    void disableSkipAll();
    void queryGoogle();
    QString getGoogleItemUrl() const { return googleItemUrl; }
    int getSkipAll() const { return skipAll; }
    // Whether the last query found nothing (or failed), as the user was told.
    bool foundNothing() const { return nothingFound; }
    // Why the last query failed; empty when it was answered.
    QString failureReason() const { return failure; }
    // For a run over many files: finding nothing is not told in a box, and the dialog need not
    // be shown until there is a choice to make (see answered()).
    void setQuiet(bool value) { quiet = value; }
    // How many volumes the last answer held.
    int resultCount() const { return results; }

Q_SIGNALS:
    // The query was answered, whatever the answer (a single volume is taken at once).
    void answered();

    void itemUrl(const QString& url);

public Q_SLOTS:
    void queryGoogleProcessReply(QNetworkReply* reply);
    void populateTable();

protected:
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void on_btnUpdate_clicked();
    void on_btnFileOpen_clicked();
    void on_tableWidget_cellClicked(int row, int column);
    void on_tableWidget_cellDoubleClicked(int row, int column);
    void on_btnSave_clicked();
    void on_btnSkip_clicked();
    void on_btnSkipAll_clicked();

private:
    void center();
    void notFound(const QString& reason);

    std::unique_ptr<Ui::BookSelection> ui;
    QNetworkReply* pending = nullptr;
    int skipAll = 0;
    bool nothingFound = false;
    bool quiet = false;
    int results = 0;
    QString failure;
    QString googleItemUrl;
    QVariant reply;
    QString filePath;
};
