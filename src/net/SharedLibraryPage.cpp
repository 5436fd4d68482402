#include "SharedLibraryPage.h"

#include "OpdsFeed.h"

#include <QUrl>

namespace {
QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString pageHref(const QString& search, int page)
{
    QString href = QStringLiteral("/?page=%1").arg(page);
    if (!search.isEmpty()) {
        href += QStringLiteral("&q=") + QString::fromLatin1(QUrl::toPercentEncoding(search));
    }
    return href;
}
} // namespace

QByteArray SharedLibraryPage::render(const QList<LibraryCatalog::Entry>& entries, const QString& search, int page,
                                     int total)
{
    const int last = std::max(1, (total + OpdsFeed::pageSize - 1) / OpdsFeed::pageSize);
    QString html =
        QStringLiteral(
            "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>Lirenta</title><style>"
            "body{font-family:sans-serif;margin:0;background:#f4f6f8;color:#222}"
            "header{background:#2c5d8a;color:#fff;padding:10px 14px}header h1{font-size:1.2em;margin:0 0 8px}"
            "form{display:flex;gap:6px}input[type=search]{flex:1;font-size:1em;padding:6px;border:0;border-radius:4px}"
            "button{font-size:1em;padding:6px 10px;border:0;border-radius:4px;background:#e8eef4}"
            "main{display:grid;grid-template-columns:repeat(auto-fill,minmax(140px,1fr));gap:12px;padding:12px}"
            ".book{background:#fff;border-radius:6px;padding:8px;box-shadow:0 1px 2px #0002;text-align:center}"
            ".book img{width:100%;height:180px;object-fit:contain;background:#eee}.cover{height:180px;display:flex;"
            "align-items:center;justify-content:center;background:#dde5ec;color:#456;font-size:.9em}"
            ".title{font-weight:bold;margin:6px 0 2px;overflow-wrap:anywhere}.authors{color:#555;font-size:.9em}"
            "a.download{display:inline-block;margin:4px 2px 0;padding:4px 8px;background:#2c5d8a;color:#fff;"
            "border-radius:4px;text-decoration:none;font-size:.85em}nav{text-align:center;padding:0 0 16px}"
            "nav a{margin:0 8px}.count{padding:8px 14px 0;color:#555}</style></head><body>"
            "<header><h1>Lirenta</h1><form method=\"get\" action=\"/\"><input type=\"search\" name=\"q\" value=\"") +
        escaped(search) +
        QStringLiteral("\" placeholder=\"Search titles and descriptions\"><button type=\"submit\">Search"
                       "</button></form></header>");
    html += QStringLiteral("<p class=\"count\">%1 books</p><main id=\"books\">").arg(total);
    for (const LibraryCatalog::Entry& entry : entries) {
        html += QStringLiteral("<div class=\"book\">");
        if (!entry.coverFile.isEmpty() && !entry.coverFile.startsWith(QLatin1Char(':'))) {
            html += QStringLiteral("<img src=\"/thumbnail/%1\" alt=\"\">").arg(entry.iid);
        } else {
            html += QStringLiteral("<div class=\"cover\">No cover</div>");
        }
        html += QStringLiteral("<div class=\"title\">%1</div><div class=\"authors\">%2</div>")
                    .arg(escaped(entry.title), escaped(entry.authors.join(QStringLiteral(", "))));
        for (const LibraryCatalog::File& file : entry.files) {
            html += QStringLiteral("<a class=\"download\" href=\"/file/%1\" download>%2</a>")
                        .arg(file.fid)
                        .arg(escaped(file.extension.toUpper()));
        }
        html += QStringLiteral("</div>");
    }
    html += QStringLiteral("</main><nav>");
    if (page > 1) {
        html += QStringLiteral("<a href=\"%1\">Previous</a>").arg(escaped(pageHref(search, page - 1)));
    }
    html += QStringLiteral("Page %1 of %2").arg(page).arg(last);
    if (page < last) {
        html += QStringLiteral("<a href=\"%1\">Next</a>").arg(escaped(pageHref(search, page + 1)));
    }
    html += QStringLiteral("</nav></body></html>");
    return html.toUtf8();
}
