#include "BookSelection.h"

#include "ui_BookSelection.h"

#include "GoogleBooksApi.h"
#include "ItemRoles.h"
#include "NetworkAccess.h"
#include "NetworkReplies.h"
#include "Prompt.h"

#include <QDesktopServices>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QScreen>

BookSelection::BookSelection(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::BookSelection>())
{
    ui->setupUi(this);
    center();
}

BookSelection::~BookSelection() = default;

void BookSelection::center()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void BookSelection::showEvent(QShowEvent* event)
{
    center();
    QDialog::showEvent(event);
}

void BookSelection::setKeywords(const QString& keywords)
{
    ui->keywords->setText(keywords);
}

void BookSelection::setISBN(const QString& isbn)
{
    ui->isbn->setText(isbn);
}

void BookSelection::setFilePath(const QString& path)
{
    filePath = path;
    ui->filePath->setText(path);
}

void BookSelection::disableSkipAll()
{
    ui->btnSkipAll->hide();
    ui->btnSkip->setText(tr("Cancel"));
}

void BookSelection::queryGoogle()
{
    // A newer question replaces the one still on its way.
    if (pending) {
        pending->disconnect(this);
        pending->abort();
        pending->deleteLater();
    }
    QNetworkReply* answer = NetworkAccess::get(
        NetworkReplies::request(GoogleBooksApi::searchUrl(ui->isbn->text(), ui->keywords->text())), this);
    NetworkReplies::capSize(answer, NetworkReplies::maxJsonBytes);
    pending = answer;
    connect(answer, &QNetworkReply::finished, this, [this, answer] {
        pending = nullptr;
        answer->deleteLater();
        queryGoogleProcessReply(answer);
    });
}

void BookSelection::on_btnUpdate_clicked()
{
    queryGoogle();
}

void BookSelection::notFound(const QString& reason)
{
    nothingFound = true;
    failure = reason;
    if (quiet) {
        Q_EMIT answered();
        return;
    }
    QString text = tr("No books were found.\nPlease try changing information entered.");
    if (!reason.isEmpty()) {
        text += QStringLiteral("\n\n") + reason;
    }
    Prompt::critical(this, tr("Not found online"), text);
}

void BookSelection::queryGoogleProcessReply(QNetworkReply* answer)
{
    nothingFound = false;
    failure.clear();
    results = 0;
    const QString reason = NetworkReplies::failureReason(answer);
    if (!reason.isEmpty()) {
        notFound(reason);
        return;
    }
    const QByteArray body = answer->readAll();
    QList<GoogleBooksApi::Volume> volumes;
    if (!GoogleBooksApi::parseSearch(body, &volumes)) {
        notFound(tr("The reply was not a Google Books answer."));
        return;
    }
    reply = QJsonDocument::fromJson(body).toVariant();
    results = int(volumes.size());
    if (volumes.isEmpty()) {
        notFound(QString());
        return;
    }
    if (volumes.size() == 1) {
        googleItemUrl = volumes.first().selfLink;
        accept();
        Q_EMIT answered();
        return;
    }
    populateTable();
    Q_EMIT answered();
}

void BookSelection::populateTable()
{
    QTableWidget* table = ui->tableWidget;
    table->clearContents();
    table->setRowCount(0);
    const bool hasFile = !filePath.isEmpty();
    ui->filePath->setVisible(hasFile);
    ui->btnFileOpen->setVisible(hasFile);
    if (hasFile) {
        ui->filePath->setText(filePath);
    }
    QList<GoogleBooksApi::Volume> volumes;
    GoogleBooksApi::parseSearch(QJsonDocument::fromVariant(reply).toJson(), &volumes);
    for (int i = 0; i < volumes.size(); ++i) {
        const GoogleBooksApi::Volume& volume = volumes.at(i);
        table->insertRow(i);
        auto* title = new QTableWidgetItem(volume.title);
        title->setData(ItemRoles::Id, volume.selfLink);
        table->setItem(i, 0, title);
        table->setItem(i, 2, new QTableWidgetItem(volume.pageCount));
        table->setItem(i, 1, new QTableWidgetItem(volume.authors));
    }
    table->setColumnWidth(0, 220);
}

void BookSelection::on_btnFileOpen_clicked()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(ui->filePath->text()));
}

void BookSelection::on_tableWidget_cellClicked(int row, int)
{
    if (QTableWidgetItem* title = ui->tableWidget->item(row, 0)) {
        googleItemUrl = title->data(ItemRoles::Id).toString();
    }
}

void BookSelection::on_tableWidget_cellDoubleClicked(int, int)
{
    accept();
}

void BookSelection::on_btnSave_clicked()
{
    accept();
}

void BookSelection::on_btnSkip_clicked()
{
    reject();
}

void BookSelection::on_btnSkipAll_clicked()
{
    skipAll = 1;
    reject();
}
