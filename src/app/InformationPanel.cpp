#include "InformationPanel.h"

#include "BookCovers.h"
#include "ViewItem.h"

#include <QDesktopServices>
#include <QImage>
#include <QUrl>

InformationPanel::InformationPanel(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &InformationPanel::followLink);
}

void InformationPanel::showItem(const ViewItem* item)
{
    coverFile = BookCovers::located(item->coverFile);
    const QString cover = coverFile.startsWith(QLatin1Char(':')) ? QLatin1String("qrc") + coverFile
                                                                 : QUrl::fromLocalFile(coverFile).toString();
    // A page count is shown only where there is one.
    const QString pages =
        item->pageCount.trimmed().isEmpty() || item->pageCount.trimmed() == QLatin1String("0")
            ? QString()
            : QLatin1String("<p>") + tr("%1 Pages").arg(item->pageCount.toHtmlEscaped()) + QLatin1String("</p>");
    setHtml(QLatin1String("<h3>") + item->title.toHtmlEscaped() + QLatin1String("</h3>") + pages +
            QLatin1String("<img align='right' src='") + cover.toHtmlEscaped() + QLatin1String("'>") +
            QLatin1String("<p>") + item->description + QLatin1String("</p>"));
}

QVariant InformationPanel::loadResource(int type, const QUrl& name)
{
    const bool own = name.scheme() == QLatin1String("qrc") ||
                     (name.isLocalFile() && !coverFile.isEmpty() && name.toLocalFile() == coverFile);
    if (type != QTextDocument::ImageResource || !own) {
        return QVariant();
    }
    // The panel is narrow: show the cover at most half its width, never larger than it is.
    QImage image(name.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + name.path() : name.toLocalFile());
    const int width = qMax(64, viewport()->width() / 2);
    if (!image.isNull() && image.width() > width) {
        image = image.scaledToWidth(width, Qt::SmoothTransformation);
    }
    return image;
}

void InformationPanel::followLink(const QUrl& link)
{
    if (link.scheme() == QLatin1String("http") || link.scheme() == QLatin1String("https")) {
        QDesktopServices::openUrl(link);
    }
}
