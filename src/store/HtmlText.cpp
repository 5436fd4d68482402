#include "HtmlText.h"

#include <QRegularExpression>

QString HtmlText::plain(const QString& html)
{
    if (html.isEmpty()) {
        return QString();
    }
    // The editor's mark-up: a head with a style sheet, then the body. Only the body's words count.
    QString text = html;
    const int headEnd = text.indexOf(QLatin1String("</head>"), 0, Qt::CaseInsensitive);
    if (headEnd >= 0) {
        text.remove(0, headEnd + 7);
    }
    static const QRegularExpression blocks(QStringLiteral("<(br|/p|/li|/h[1-6]|/div|/tr)[^>]*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    text.replace(blocks, QStringLiteral(" "));
    text.remove(tags);
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    // The named entities book descriptions use most.
    static const QList<std::pair<const char*, char16_t>> named = {
        {"&eacute;", u'é'}, {"&egrave;", u'è'}, {"&agrave;", u'à'}, {"&aacute;", u'á'}, {"&auml;", u'ä'},
        {"&ouml;", u'ö'},   {"&uuml;", u'ü'},   {"&Auml;", u'Ä'},   {"&Ouml;", u'Ö'},   {"&Uuml;", u'Ü'},
        {"&szlig;", u'ß'},  {"&ccedil;", u'ç'}, {"&ntilde;", u'ñ'}, {"&iacute;", u'í'}, {"&oacute;", u'ó'},
        {"&uacute;", u'ú'}, {"&copy;", u'©'},   {"&mdash;", u'—'},  {"&ndash;", u'–'},  {"&hellip;", u'…'},
        {"&lsquo;", u'‘'},  {"&rsquo;", u'’'},  {"&ldquo;", u'“'},  {"&rdquo;", u'”'},  {"&apos;", u'\''}};
    for (const auto& [entity, character] : named) {
        text.replace(QLatin1String(entity), QString(QChar(character)));
    }
    static const QRegularExpression numbered(QStringLiteral("&#(x?)([0-9a-fA-F]+);"));
    QRegularExpressionMatch match = numbered.match(text);
    while (match.hasMatch()) {
        bool ok = false;
        const uint code = match.captured(2).toUInt(&ok, match.captured(1).isEmpty() ? 10 : 16);
        const QString replacement = ok ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1) : QString();
        text.replace(match.capturedStart(), match.capturedLength(), replacement);
        match = numbered.match(text, match.capturedStart() + replacement.size());
    }
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text.simplified();
}
