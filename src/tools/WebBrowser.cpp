#include "WebBrowser.h"

#include "ui_WebBrowser.h"

#include "CustomWebView.h"
#include "LibraryFile.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "Prompt.h"
#include "TemporaryCover.h"
#include "ViewItem.h"
#include "WebPage.h"

#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>

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
    const QString pdfPath = capturePath(libraryDir, name);
    qCDebug(lcTools) << pdfPath;
    const QString url = ui->URL->text();
    capturing = true;
    QWebEnginePage* page = webView->page();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(page, &QWebEnginePage::pdfPrintingFinished, this,
                          [this, connection, pdfPath, title, url](const QString& path, bool success) {
                              if (path != pdfPath) {
                                  return;
                              }
                              disconnect(*connection);
                              if (!success || !QFile::exists(pdfPath)) {
                                  QFile::remove(pdfPath);
                                  failCapture(tr("The page could not be printed to %1.").arg(pdfPath));
                                  return;
                              }
                              webView->page()->toPlainText([this, pdfPath, title, url](const QString& text) {
                                  finishCapture(pdfPath, title, url, text);
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

void WebBrowser::finishCapture(const QString& pdfPath, const QString& title, const QString& url, const QString& text)
{
    // The thumbnail: what the page shows now, scaled to the height of a cover.
    const QString thumbnail = TemporaryCover::newPath();
    const QImage shot = webView->grab().toImage();
    if (!shot.isNull()) {
        shot.convertToFormat(QImage::Format_RGB32)
            .scaledToHeight(190, Qt::SmoothTransformation)
            .save(thumbnail, "JPG", 72);
    }

    auto page = std::make_unique<WebPage>(nullptr, -1);
    page->addFile(pdfPath);
    page->setUrl(url);
    page->setCreated();
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
    Q_EMIT newViewItem(captured->getViewItem());
}
