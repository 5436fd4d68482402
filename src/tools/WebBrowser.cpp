#include "WebBrowser.h"

#include "ui_WebBrowser.h"

#include "CustomWebView.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibraryFile.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "Prompt.h"
#include "TemporaryCover.h"
#include "ViewItem.h"
#include "WebPage.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>
#include <QSqlQuery>

namespace {
// A page of our own: the browser opens without the network and says how capturing works.
const char defaultHomePage[] = "qrc:/browser/home.html";
} // namespace

WebBrowser::WebBrowser(QWidget* parent) : QWidget(parent), webView(nullptr), ui(std::make_unique<Ui::WebBrowser>())
{
    ui->setupUi(this);
    LibrarySettings settings;
    dataDir = settings.dataDir();
    libraryDir = settings.libraryDir();
    webView = new CustomWebView(this);
    ui->verticalLayout->addWidget(webView);
    connect(webView, &QWebEngineView::urlChanged, this, &WebBrowser::updateUrl);
    connect(ui->btnBack, &QToolButton::clicked, webView, &QWebEngineView::back);
    connect(ui->btnForward, &QToolButton::clicked, webView, &QWebEngineView::forward);
    webView->load(QUrl(homePage()));
    webView->show();
    if (LibraryFile::isOpenReadOnly()) {
        ui->btnDownload->setEnabled(false);
        ui->btnDownload->setToolTip(tr("The library is read-only: pages cannot be captured into it."));
    }
}

WebBrowser::~WebBrowser() = default;

QString WebBrowser::homePage()
{
    const QString configured = LibrarySettings().browserHomePage();
    return configured.isEmpty() ? QString::fromLatin1(defaultHomePage) : configured;
}

void WebBrowser::openUrl(const QString& url)
{
    webView->load(QUrl(url, QUrl::TolerantMode));
    ui->URL->setText(url);
}

void WebBrowser::disableNavigation()
{
    ui->URL->setEnabled(false);
}

QString WebBrowser::getUrl() const
{
    return ui->URL->text();
}

void WebBrowser::on_btnGo_clicked()
{
    if (ui->URL->text().isEmpty()) {
        return;
    }
    const QUrl url = QUrl::fromUserInput(ui->URL->text());
    qCDebug(lcTools) << url;
    webView->load(url);
    webView->show();
}

void WebBrowser::on_URL_returnPressed()
{
    on_btnGo_clicked();
}

void WebBrowser::updateUrl(const QUrl& url)
{
    ui->URL->setText(url.toString());
}

void WebBrowser::on_toolButton_3_clicked()
{
    QDesktopServices::openUrl(QUrl(ui->URL->text(), QUrl::TolerantMode));
}

void WebBrowser::on_toolButton_clicked()
{
    loadJS();
}

void WebBrowser::loadJS()
{
    webView->page()->runJavaScript(pageScript);
}

QString WebBrowser::capturePath(const QString& libraryDir, const QString& title)
{
    static const QRegularExpression unsafe(QStringLiteral("[/:*?\"<>|+]"), QRegularExpression::CaseInsensitiveOption);
    const QString base = (libraryDir + QString(title).replace(unsafe, QStringLiteral("_")).trimmed()).left(248);
    QString path = base + QStringLiteral(".pdf");
    for (int n = 0; QFile::exists(path); ++n) {
        path = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".pdf");
    }
    return path;
}

void WebBrowser::on_btnDownload_clicked()
{
    if (capturing) {
        return;
    }
    const QString title = webView->title();
    QString name = title.trimmed();
    // A page without a title is named after its host, so its file is never the hidden ".pdf".
    if (name.isEmpty()) {
        name = webView->url().host();
    }
    if (name.isEmpty()) {
        name = tr("Untitled");
    }
    const QString url = ui->URL->text();
    int replacing = 0;
    if (const int earlier = capturedBefore(url); earlier > 0) {
        const QMessageBox::StandardButton answer =
            Prompt::ask(this, QMessageBox::Question, tr("Capture"), tr("This page is in the library already."),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel,
                        tr("Replace the copy in the library with the page as it is now, or keep both?"), QString(),
                        {{QMessageBox::Yes, tr("Replace")}, {QMessageBox::No, tr("Keep Both")}});
        if (answer != QMessageBox::Yes && answer != QMessageBox::No) {
            return;
        }
        replacing = answer == QMessageBox::Yes ? earlier : 0;
    }
    const QString pdfPath = capturePath(libraryDir, name);
    qCDebug(lcTools) << pdfPath;
    capturing = true;
    QWebEnginePage* page = webView->page();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(page, &QWebEnginePage::pdfPrintingFinished, this,
                          [this, connection, pdfPath, title, url, replacing](const QString& path, bool success) {
                              if (path != pdfPath) {
                                  return;
                              }
                              disconnect(*connection);
                              if (!success || !QFile::exists(pdfPath)) {
                                  QFile::remove(pdfPath);
                                  failCapture(tr("The page could not be printed to %1.").arg(pdfPath));
                                  return;
                              }
                              webView->page()->toPlainText([this, pdfPath, title, url, replacing](const QString& text) {
                                  finishCapture(pdfPath, title, url, text, replacing);
                              });
                          });
    page->printToPdf(pdfPath, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
}

void WebBrowser::failCapture(const QString& reason)
{
    capturing = false;
    Prompt::warning(this, tr("Capture"), reason);
    Q_EMIT captureFailed(reason);
}

int WebBrowser::capturedBefore(const QString& url)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT iid FROM webpages WHERE url = ? ORDER BY iid DESC LIMIT 1"));
    query.addBindValue(url);
    return query.exec() && query.next() ? query.value(0).toInt() : 0;
}

void WebBrowser::finishCapture(const QString& pdfPath, const QString& title, const QString& url, const QString& text,
                               int replacing)
{
    // The thumbnail: what the page shows now, scaled to the height of a cover.
    const QString thumbnail = TemporaryCover::newPath();
    const QImage shot = webView->grab().toImage();
    if (!shot.isNull()) {
        shot.convertToFormat(QImage::Format_RGB32)
            .scaledToHeight(190, Qt::SmoothTransformation)
            .save(thumbnail, "JPG", 72);
    }

    // Replaced, the item keeps its note, rating and tags; its old copy gives way to the new one.
    auto page = std::make_unique<WebPage>(nullptr, replacing > 0 ? replacing : -1);
    ItemFile* oldCopy = replacing > 0 ? page->getFiles()->getFirstFile() : nullptr;
    const QString oldPath = oldCopy ? oldCopy->getFilePath() : QString();
    if (oldCopy) {
        page->removeFile(oldCopy);
    }
    page->addFile(pdfPath);
    page->setUrl(url);
    if (replacing <= 0) {
        page->setCreated();
    }
    page->setTitle(title);
    page->setDescription(text);
    if (QFile::exists(thumbnail)) {
        page->setCoverFile(thumbnail);
    }
    if (!page->insertWebPage()) {
        QFile::remove(thumbnail);
        failCapture(tr("The page was saved as %1, but it could not be added to the library.").arg(pdfPath));
        return;
    }
    capturing = false;
    captured = std::move(page);
    if (replacing > 0) {
        // Only a copy this program made in its own folder is removed.
        if (!oldPath.isEmpty() && oldPath != pdfPath &&
            QFileInfo(oldPath).absolutePath() == QDir(libraryDir).absolutePath()) {
            QFile::remove(oldPath);
        }
        Q_EMIT pageRecaptured(captured.get());
        return;
    }
    Q_EMIT newViewItem(captured->getViewItem());
}
