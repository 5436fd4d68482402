#include "Reader.h"

#include "ui_Reader.h"

#include "EpubArchive.h"
#include "EpubPackage.h"
#include "ItemFile.h"
#include "LenientChapter.h"
#include "Logging.h"
#include "ReaderRequestGuard.h"
#include "ReadingPosition.h"
#include "WebViewSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

Reader::Reader(QWidget* parent, const QString& path)
    : ReaderTab(parent, path), ui(std::make_unique<Ui::Reader>()), probe(std::make_unique<ItemFile>(nullptr, path))
{
    ui->setupUi(this);
    // The page gets the room; the contents pane keeps a narrow column.
    ui->splitter->setStretchFactor(1, 1);
    ui->splitter->setSizes({220, 700});
    WebViewSettings::applyReaderSettings(ui->webView->settings());
    guard = new ReaderRequestGuard(this);
    ui->webView->page()->setUrlRequestInterceptor(guard);
    // The chapter to show is settled once the place left is known: one load, not two.
    holdingLoads = true;
    open(path);
    connect(ui->textBrowser, &QTextBrowser::anchorClicked, this, &Reader::tocClicked);
    // Whatever brought a chapter on screen (a link inside the book, the contents, a resume),
    // Next and Previous count from it.
    connect(ui->webView, &QWebEngineView::urlChanged, this, &Reader::followChapter);
    resume(path);
    holdingLoads = false;
    if (heldUrl.isValid()) {
        ui->webView->setUrl(heldUrl);
    }
}

Reader::~Reader()
{
    keepPosition();
}

// A book of the library opens where the reader left it: chapter, place and zoom.
void Reader::resume(const QString& path)
{
    if (!problem.isEmpty()) {
        return;
    }
    const ReadingPosition position = ReadingPosition::load(path, probe->getFileMd5());
    if (!position.isValid()) {
        return;
    }
    if (!position.chapter.isEmpty() && !extractionFolder.isEmpty()) {
        const QString chapter = QDir::cleanPath(extractionFolder + QLatin1Char('/') + position.chapter);
        for (int i = 0; i < chapters.size(); ++i) {
            if (QDir::cleanPath(chapters.at(i)) == chapter) {
                chapterIndex = i;
                showFile(chapters.at(i));
                break;
            }
        }
    }
    const double zoom = position.zoom > 0 ? position.zoom : 1.0;
    ui->horizontalSlider->setValue(qRound(zoom * 1000));
    ui->webView->setZoomFactor(zoom);
    const double fraction = position.scroll;
    if (fraction > 0) {
        connect(
            ui->webView, &QWebEngineView::loadFinished, this,
            [this, fraction](bool) {
                // The place is a fraction of the chapter's height, the same text at any zoom or
                // width. The reader runs no scripts of the book's; this one runs in a world of its own.
                ui->webView->page()->runJavaScript(
                    QStringLiteral("window.scrollTo(0, %1 * document.documentElement.scrollHeight);").arg(fraction),
                    QWebEngineScript::ApplicationWorld);
            },
            Qt::SingleShotConnection);
    }
}

void Reader::showChapterAt(int index, const QString& words)
{
    if (index >= 0 && index < chapters.size()) {
        chapterIndex = index;
        showFile(chapters.at(index));
    }
    if (!words.isEmpty()) {
        connect(
            ui->webView, &QWebEngineView::loadFinished, this, [this, words](bool) { ui->webView->findText(words); },
            Qt::SingleShotConnection);
        ui->webView->findText(words);
    }
}

void Reader::keepPosition()
{
    if (!problem.isEmpty() || itemId() < 1) {
        return;
    }
    ReadingPosition position;
    if (!extractionFolder.isEmpty() && chapterIndex >= 0 && chapterIndex < chapters.size()) {
        position.chapter = QDir(extractionFolder).relativeFilePath(chapters.at(chapterIndex));
    }
    position.scroll = scrollPosition();
    position.zoom = ui->webView->zoomFactor();
    ReadingPosition::save(bookPath(), probe->getFileMd5(), position);
}

double Reader::scrollPosition() const
{
    const double height = ui->webView->page()->contentsSize().height();
    return height > 0 ? std::clamp(ui->webView->page()->scrollPosition().y() / height, 0.0, 1.0) : 0.0;
}

void Reader::followChapter(const QUrl& url)
{
    const QString file = QDir::cleanPath(LenientChapter::chapterOf(url.toLocalFile()));
    for (int i = 0; i < chapters.size(); ++i) {
        if (QDir::cleanPath(chapters.at(i)) == file) {
            chapterIndex = i;
            return;
        }
    }
}

QString Reader::tabTitle(const QString& fileName)
{
    // Long names keep their start and their end, where the words and the type are.
    const int kept = 13;
    if (fileName.size() <= 2 * kept + 1) {
        return fileName;
    }
    return fileName.left(kept) + QChar(0x2026) + fileName.right(kept);
}

QUrl Reader::currentUrl() const
{
    return ui->webView->url();
}

qreal Reader::zoomFactor() const
{
    return ui->webView->zoomFactor();
}

void Reader::open(const QString& path)
{
    const QString type = probe->getFileType();
    if (type == QLatin1String("epub")) {
        loadEpub(path);
    } else if (type == QLatin1String("txt") || type == QLatin1String("html") || type == QLatin1String("htm")) {
        loadTxt(path);
    }
}

void Reader::showFile(const QString& file)
{
    const QUrl url = QUrl::fromLocalFile(LenientChapter::shownFile(file));
    if (holdingLoads) {
        heldUrl = url;
    } else {
        ui->webView->setUrl(url);
    }
}

void Reader::showProblem(const QString& text)
{
    problem = text;
    qCDebug(lcTools) << "cannot show book:" << text;
    ui->webView->setHtml(QStringLiteral("<p style='font-family: sans-serif; color: #555'>%1</p>")
                             .arg(tr("This book cannot be shown: %1.").arg(text).toHtmlEscaped()));
}

// Books unpack under the user's cache, in a folder only the user may enter: no other local
// user can read the book or prepare the folder beforehand.
QString Reader::extractionBase()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/books");
    if (!QDir().mkpath(base) ||
        !QFile::setPermissions(base, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        return QString();
    }
    return base;
}

void Reader::loadEpub(const QString& path)
{
    const QString digest = probe->getFileMd5();
    const QString base = extractionBase();
    if (base.isEmpty()) {
        showProblem(tr("no private folder to unpack it in"));
        return;
    }
    extractionFolder = base + QLatin1Char('/') + digest;
    guard->setRoot(extractionFolder);
    linkBaseFolder = extractionFolder;
    qCDebug(lcTools) << "tmp dir: " << extractionFolder << "attempt decompress";

    QStringList files;
    QString error;
    if (digest.isEmpty() || !EpubArchive::extract(path, extractionFolder, &files, &error)) {
        showProblem(digest.isEmpty() ? tr("the file cannot be read") : error);
        return;
    }
    qCDebug(lcTools) << files;
    const QStringList ncx = files.filter(QStringLiteral("toc.ncx"), Qt::CaseSensitive);
    QStringList htmlFiles = files.filter(QStringLiteral(".html"), Qt::CaseSensitive);
    htmlFiles.sort();
    chapters = htmlFiles;
    qCDebug(lcTools) << chapters << extractionFolder;
    EpubPackage::Package package;
    const bool hasPackage = EpubPackage::readPackage(extractionFolder, &package);
    if (ncx.size() == 1) {
        qCDebug(lcTools) << "ncx file;" << ncx.first();
        if (QFileInfo::exists(ncx.first())) {
            parseNCX(ncx.first());
        }
    } else if (hasPackage) {
        showPackageToc(package);
    }
    // Reading order is the spine's, cover and title page included, whatever the contents list;
    // without a package, the contents' order, and failing that the ".html" files by name.
    QStringList spine;
    for (const QString& item : std::as_const(package.spine)) {
        if (QFileInfo::exists(item)) {
            spine << item;
        }
    }
    if (!spine.isEmpty()) {
        chapters = spine;
    }
    chapterIndex = 0;
    if (!chapters.isEmpty()) {
        showFile(chapters.first());
    } else {
        showProblem(tr("it holds no chapters that can be shown"));
    }
}

// Without a single NCX (EPUB 3 books, for one), the package's navigation document gives the
// contents.
void Reader::showPackageToc(const EpubPackage::Package& package)
{
    linkBaseFolder = package.tocBaseFolder;
    QStringList links;
    for (const EpubPackage::TocEntry& entry : std::as_const(package.toc)) {
        links << tocLink(entry);
        tocFiles << linkBaseFolder + QLatin1Char('/') + fileOf(entry.src);
    }
    if (!links.isEmpty()) {
        showToc(links);
    }
}

void Reader::showToc(const QStringList& links)
{
    ui->textBrowser->document()->setDefaultStyleSheet(
        "body{ margin: 0; padding: 0; line-height: 20px; background-color: #F9F2E6; border: 1px solid #F2E4C6; "
        "-webkit-touch-callout: none; -webkit-user-select: none; user-select: none;  }\n"
        " a{  line-height: 20px; -webkit-touch-callout: none; -webkit-user-select: none; user-select: none; "
        "padding-bottom: 20px; text-decoration: none; color: #000000; margin: 0; padding-bottom: 10px; }");
    ui->textBrowser->setHtml(QStringLiteral("<html><head></head><body><strong>TABLE OF CONTENTS</strong><br/>") +
                             links.join(QString()) + QStringLiteral("</body></html>"));
}

// One line of the contents, indented as deep as its entry lies.
QString Reader::tocLink(const EpubPackage::TocEntry& entry)
{
    return QStringLiteral("<div style=\"margin-left: %1px\"><a style=\"padding-bottom: 2px; clear:both; "
                          "padding-bottom: 4px;\" href=\"%2\">%3</a></div>")
        .arg(entry.depth * 16)
        .arg(entry.src.toHtmlEscaped(), entry.label.toHtmlEscaped());
}

void Reader::parseNCX(const QString& ncxPath)
{
    QString title;
    QList<EpubPackage::TocEntry> entries;
    EpubPackage::readNcx(ncxPath, &title, &entries);
    qCDebug(lcTools) << title;
    linkBaseFolder = QFileInfo(ncxPath).absolutePath();
    QStringList links;
    tocFiles.clear();
    tocAnchors.clear();
    for (const EpubPackage::TocEntry& entry : std::as_const(entries)) {
        if (entry.src.isEmpty()) {
            continue;
        }
        qCDebug(lcTools) << entry.label;
        const int hash = entry.src.indexOf(QLatin1Char('#'));
        // Sources are URI references: "Kapitel%20%C3%A4.xhtml" names "Kapitel ä.xhtml".
        tocFiles << linkBaseFolder + QLatin1Char('/') + fileOf(entry.src);
        tocAnchors << (hash < 0 ? entry.src : entry.src.mid(hash + 1));
        links << tocLink(entry);
    }
    showToc(links);
    chapterIndex = 0;
    // Without a spine, the contents give the reading order; an entry naming a file the book
    // lacks is no chapter.
    chapters.clear();
    for (const QString& file : std::as_const(tocFiles)) {
        if (!chapters.contains(file) && QFileInfo::exists(file)) {
            chapters << file;
        }
    }
    qCDebug(lcTools) << chapters;
}

QString Reader::fileOf(const QString& reference)
{
    return QUrl::fromPercentEncoding(reference.section(QLatin1Char('#'), 0, 0).toUtf8());
}

void Reader::tocClicked(const QUrl& link)
{
    qCDebug(lcTools) << link.path();
    const QString file = QDir::cleanPath(linkBaseFolder + QLatin1Char('/') + link.path());
    QUrl url = QUrl::fromLocalFile(LenientChapter::shownFile(file));
    url.setFragment(link.fragment());
    ui->webView->setUrl(url);
    // Next and Previous go on from the chapter now on screen.
    for (int i = 0; i < chapters.size(); ++i) {
        if (QDir::cleanPath(chapters.at(i)) == file) {
            chapterIndex = i;
            break;
        }
    }
    qCDebug(lcTools) << url;
}

void Reader::on_btnLeft_clicked()
{
    if (chapterIndex > 0) {
        --chapterIndex;
        qCDebug(lcTools) << chapters.at(chapterIndex);
        showFile(chapters.at(chapterIndex));
    }
}

void Reader::on_btnRight_clicked()
{
    if (chapterIndex < chapters.size() - 1) {
        ++chapterIndex;
        showFile(chapters.at(chapterIndex));
    }
}

void Reader::on_toolButton_2_clicked()
{
    ui->textBrowser->setVisible(!ui->textBrowser->isVisible());
}

void Reader::on_horizontalSlider_valueChanged(int value)
{
    const qreal zoom = value / 1000.0;
    qCDebug(lcTools) << zoom;
    ui->webView->setZoomFactor(zoom);
}

void Reader::on_horizontalSlider_actionTriggered(int)
{
}

void Reader::loadTxt(const QString& path)
{
    // A web page on disk may show the pictures beside it.
    guard->setRoot(QFileInfo(path).absolutePath());
    ui->toolButton_2->hide();
    ui->textBrowser->hide();
    showFile(path);
}
