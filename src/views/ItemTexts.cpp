#include "ItemTexts.h"

#include "ViewItem.h"

#include <QRegularExpression>

namespace {
QString cutDescription(const QString& description)
{
    return description.size() > 400 ? description.left(400) + QLatin1String("...") : description;
}

// A tool tip would load any image a description names, local files included; it shows none.
QString withoutImages(QString html)
{
    static const QRegularExpression image(QStringLiteral("<img\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    return html.remove(image);
}
} // namespace

QString ItemTexts::gridTitle(const QString& title)
{
    return title.size() > 20 ? title.left(20) + QLatin1String("...") : title;
}

QString ItemTexts::toolTip(const ViewItem* vi)
{
    // Titles and dates are plain text; a book description from an online look-up is HTML.
    const QString heading = QLatin1String("<h4>") + vi->title.toHtmlEscaped() + QLatin1String("</h4>");
    if (vi->type == QLatin1String("WebPage")) {
        QString text = heading + QLatin1String("<p>") + vi->datePublished.toHtmlEscaped() + QLatin1String("</p>");
        if (!vi->description.isEmpty()) {
            text += QLatin1String("<p>") + cutDescription(vi->description).toHtmlEscaped() + QLatin1String("</p>");
        }
        return text;
    }
    if (vi->description.isEmpty()) {
        return QString();
    }
    return heading + QLatin1String("<p>") + vi->datePublished.toHtmlEscaped() + QLatin1String(", ") +
           vi->pageCount.toHtmlEscaped() + QLatin1Char(' ') + tr("pages") + QLatin1String("</p>") +
           QLatin1String("<p>") + withoutImages(cutDescription(vi->description)) + QLatin1String("</p>");
}
