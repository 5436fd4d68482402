#include "InformationPanel.h"

#include "BookCovers.h"
#include "ContentIndex.h"
#include "ContentSnippets.h"
#include "ViewItem.h"

#include <QDesktopServices>
#include <QImage>
#include <QUrl>
#include <QUrlQuery>

InformationPanel::InformationPanel(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &InformationPanel::followLink);
}

bool InformationPanel::showItem(const ViewItem* item, ContentIndex* index, const QString& insideTerms)
{
    coverFile = BookCovers::located(item->coverFile);
    const QString cover = coverFile.startsWith(QLatin1Char(':')) ? QLatin1String("qrc") + coverFile
                                                                 : QUrl::fromLocalFile(coverFile).toString();
    // A page count is shown only where there is one.
    const QString pages =
        item->pageCount.trimmed().isEmpty() || item->pageCount.trimmed() == QLatin1String("0")
            ? QString()
            : QLatin1String("<p>") + tr("%1 Pages").arg(item->pageCount.toHtmlEscaped()) + QLatin1String("</p>");
    const QString found = index ? foundInside(item, *index, insideTerms) : QString();
    setHtml(QLatin1String("<h3>") + item->title.toHtmlEscaped() + QLatin1String("</h3>") + pages +
            QLatin1String("<img align='right' src='") + cover.toHtmlEscaped() + QLatin1String("'>") +
            QLatin1String("<p>") + item->description + QLatin1String("</p>") + found);
    return found.contains(QLatin1String("lirenta-found:"));
}

QString InformationPanel::foundInside(const ViewItem* item, ContentIndex& index, const QString& terms) const
{
    const std::optional<ContentIndex::Entry> entry = index.entry(item->id);
    if (entry && entry->state == ContentIndex::State::NoText) {
        return QLatin1String("<p><i>") +
               tr("No text to search inside: its pages are pictures only (a scan?).").toHtmlEscaped() +
               QLatin1String("</i></p>");
    }
    if (entry && entry->state == ContentIndex::State::Skipped) {
        return QLatin1String("<p><i>") + tr("Not searchable inside: %1.").arg(entry->note).toHtmlEscaped() +
               QLatin1String("</i></p>");
    }
    const QList<ContentIndex::Hit> hits =
        terms.trimmed().isEmpty() ? QList<ContentIndex::Hit>() : index.bestParts(item->id, terms);
    if (hits.isEmpty()) {
        return QString();
    }
    const QStringList words = ContentIndex::wordsOf(terms);
    QString html = QLatin1String("<h4>") + tr("Found inside").toHtmlEscaped() + QLatin1String("</h4>");
    for (const ContentSnippets::Snippet& snippet : ContentSnippets::make(item->filePath, hits, words)) {
        const int number = snippet.hit.number;
        const QString place = snippet.hit.kind == ContentText::Kind::Page      ? tr("Page %1").arg(number + 1)
                              : snippet.hit.kind == ContentText::Kind::Chapter ? tr("Chapter %1").arg(number + 1)
                                                                               : tr("Text");
        QUrl link;
        link.setScheme(QStringLiteral("lirenta-found"));
        link.setPath(item->filePath);
        link.setQuery(QStringLiteral("at=%1&words=%2")
                          .arg(number)
                          .arg(QString::fromLatin1(QUrl::toPercentEncoding(words.join(QLatin1Char('\n'))))));
        html += QStringLiteral("<p><a href=\"%1\">%2</a>: %3</p>")
                    .arg(link.toString(QUrl::FullyEncoded).toHtmlEscaped(), place.toHtmlEscaped(), snippet.html);
    }
    return html;
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
    if (link.scheme() == QLatin1String("lirenta-found")) {
        const QUrlQuery query(link);
        Q_EMIT foundPlaceChosen(link.path(), query.queryItemValue(QStringLiteral("at")).toInt(),
                                query.queryItemValue(QStringLiteral("words"), QUrl::FullyDecoded)
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts));
        return;
    }
    if (link.scheme() == QLatin1String("http") || link.scheme() == QLatin1String("https")) {
        QDesktopServices::openUrl(link);
    }
}
