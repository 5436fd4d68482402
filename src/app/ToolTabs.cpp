#include "ToolTabs.h"

#include "CustomWebView.h"
#include "Item.h"
#include "LibrarySettings.h"
#include "PdfReader.h"
#include "Prompt.h"
#include "Reader.h"
#include "ViewItem.h"
#include "WebBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>

ToolTabs::ToolTabs(QTabWidget* tabs, QWidget* window) : QObject(window), tabs(tabs), window(window)
{
}

bool ToolTabs::openReader(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo::exists(absolute)) {
        Prompt::warning(window, tr("Open"), tr("The file %1 was not found.").arg(absolute));
        return false;
    }
    rememberRecentFile(absolute);
    // A book open already comes to the front instead of a second copy.
    for (int index = 1; index < tabs->count(); ++index) {
        if (qobject_cast<ReaderTab*>(tabs->widget(index)) && tabs->tabToolTip(index) == absolute) {
            tabs->setCurrentIndex(index);
            return true;
        }
    }
    ReaderTab* reader = nullptr;
    if (QFileInfo(absolute).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        reader = new PdfReader(window, absolute);
    } else {
        reader = new Reader(window, absolute);
    }
    const int index = tabs->addTab(reader, Reader::tabTitle(QFileInfo(absolute).fileName()));
    tabs->setTabToolTip(index, absolute);
    tabs->setCurrentIndex(index);
    return true;
}

void ToolTabs::openReaderAt(const QString& path, int number, const QStringList& words)
{
    if (!openReader(path)) {
        return;
    }
    if (auto* pdf = qobject_cast<PdfReader*>(tabs->currentWidget())) {
        pdf->findOnPage(words.value(0), number);
    } else if (auto* reader = qobject_cast<Reader*>(tabs->currentWidget())) {
        reader->showChapterAt(number, words.value(0));
    }
}

void ToolTabs::chooseAndOpen()
{
    const QString path =
        Prompt::openFileName(window, tr("Select Book"), QDir::homePath(), tr("Book Files (*.pdf *.epub *.txt *.html)"));
    if (!path.isEmpty()) {
        openReader(path);
    }
}

WebBrowser* ToolTabs::openBrowser(const QString& title)
{
    auto* browser = new WebBrowser(tabs);
    connect(browser, &WebBrowser::newViewItem, this, &ToolTabs::pageCaptured);
    connect(browser, &WebBrowser::pageRecaptured, this, &ToolTabs::pageRecaptured);
    // The tab is named after the page on screen.
    connect(browser->getWebView(), &QWebEngineView::titleChanged, this, [this, browser](const QString& pageTitle) {
        const int index = tabs->indexOf(browser);
        if (index >= 0 && !pageTitle.isEmpty()) {
            tabs->setTabText(index, Reader::tabTitle(pageTitle));
            tabs->setTabToolTip(index, pageTitle);
        }
    });
    tabs->setCurrentIndex(tabs->addTab(browser, title));
    return browser;
}

void ToolTabs::rememberRecentFile(const QString& path)
{
    LibrarySettings settings;
    QStringList recent = settings.recentFiles();
    recent.removeAll(path);
    recent.prepend(path);
    settings.setRecentFiles(QStringList(recent.mid(0, 10)));
}
