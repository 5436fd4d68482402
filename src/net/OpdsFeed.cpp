#include "OpdsFeed.h"

#include "LibraryServer.h"

#include <QDateTime>
#include <QUrl>
#include <QXmlStreamWriter>

namespace {
const QString atom = QStringLiteral("http://www.w3.org/2005/Atom");
// The catalogue's and OpenSearch's namespaces, put together from their parts.
const QString opdsSite = QStringLiteral("http://opds-") + QStringLiteral("sp") + QStringLiteral("ec.org/");
const QString openSearchNamespace =
    QStringLiteral("http://a9.com/-/") + QStringLiteral("sp") + QStringLiteral("ec/opensearch/1.1/");

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

void writeLink(QXmlStreamWriter& xml, const OpdsFeed::Link& link)
{
    xml.writeEmptyElement(QStringLiteral("link"));
    xml.writeAttribute(QStringLiteral("rel"), link.rel);
    xml.writeAttribute(QStringLiteral("href"), link.href);
    xml.writeAttribute(QStringLiteral("type"), link.type);
}

void startFeed(QXmlStreamWriter& xml, const QString& id, const QString& title, const QString& self, const QString& type)
{
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(atom);
    xml.writeNamespace(QStringLiteral("http://purl.org/dc/terms/"), QStringLiteral("dc"));
    xml.writeNamespace(opdsSite + QStringLiteral("2010/catalog"), QStringLiteral("opds"));
    xml.writeStartElement(atom, QStringLiteral("feed"));
    xml.writeTextElement(QStringLiteral("id"), QStringLiteral("urn:lirenta:") + id);
    xml.writeTextElement(QStringLiteral("title"), title);
    xml.writeTextElement(QStringLiteral("updated"), now());
    xml.writeStartElement(QStringLiteral("author"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("Lirenta"));
    xml.writeEndElement();
    writeLink(xml, {QStringLiteral("self"), self, type});
    writeLink(xml, {QStringLiteral("start"), QStringLiteral("/opds"), OpdsFeed::navigationType()});
    writeLink(xml, {QStringLiteral("search"), QStringLiteral("/opensearch.xml"),
                    QStringLiteral("application/opensearchdescription+xml")});
}
} // namespace

QString OpdsFeed::relation(const QString& name)
{
    return opdsSite + name;
}

QString OpdsFeed::navigationType()
{
    return QStringLiteral("application/atom+xml;profile=opds-catalog;kind=navigation");
}

QString OpdsFeed::acquisitionType()
{
    return QStringLiteral("application/atom+xml;profile=opds-catalog;kind=acquisition");
}

QByteArray OpdsFeed::navigation(const QString& id, const QString& title, const QString& self,
                                const QList<NavigationEntry>& entries)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    startFeed(xml, id, title, self, navigationType());
    for (const NavigationEntry& entry : entries) {
        xml.writeStartElement(QStringLiteral("entry"));
        xml.writeTextElement(QStringLiteral("title"), entry.title);
        xml.writeTextElement(QStringLiteral("id"), QStringLiteral("urn:lirenta:") + entry.href);
        xml.writeTextElement(QStringLiteral("updated"), now());
        xml.writeStartElement(QStringLiteral("content"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("text"));
        xml.writeCharacters(entry.content);
        xml.writeEndElement();
        // Shelves of books lead to acquisition feeds, lists of shelves to navigation ones.
        const bool books = !entry.href.endsWith(QLatin1String("/authors")) &&
                           !entry.href.endsWith(QLatin1String("/tags")) &&
                           !entry.href.endsWith(QLatin1String("/series"));
        writeLink(xml, {QStringLiteral("subsection"), entry.href, books ? acquisitionType() : navigationType()});
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return out;
}

QByteArray OpdsFeed::acquisition(const QString& id, const QString& title, const QString& self,
                                 const QList<LibraryCatalog::Entry>& entries, const QList<Link>& pageLinks)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    startFeed(xml, id, title, self, acquisitionType());
    for (const Link& link : pageLinks) {
        writeLink(xml, link);
    }
    for (const LibraryCatalog::Entry& entry : entries) {
        xml.writeStartElement(QStringLiteral("entry"));
        xml.writeTextElement(QStringLiteral("title"), entry.title);
        xml.writeTextElement(QStringLiteral("id"), QStringLiteral("urn:lirenta:book:%1").arg(entry.iid));
        xml.writeTextElement(QStringLiteral("updated"),
                             QDateTime::fromSecsSinceEpoch(entry.created, Qt::UTC).toString(Qt::ISODate));
        for (const QString& name : entry.authors) {
            xml.writeStartElement(QStringLiteral("author"));
            xml.writeTextElement(QStringLiteral("name"), name);
            xml.writeEndElement();
        }
        if (!entry.published.isEmpty()) {
            xml.writeTextElement(QStringLiteral("http://purl.org/dc/terms/"), QStringLiteral("issued"),
                                 entry.published);
        }
        if (!entry.language.isEmpty()) {
            xml.writeTextElement(QStringLiteral("http://purl.org/dc/terms/"), QStringLiteral("language"),
                                 entry.language);
        }
        for (const QString& isbn : entry.isbns) {
            xml.writeTextElement(QStringLiteral("http://purl.org/dc/terms/"), QStringLiteral("identifier"),
                                 QStringLiteral("urn:isbn:") + isbn);
        }
        if (!entry.summary.isEmpty()) {
            xml.writeStartElement(QStringLiteral("summary"));
            xml.writeAttribute(QStringLiteral("type"), QStringLiteral("text"));
            xml.writeCharacters(entry.summary);
            xml.writeEndElement();
        }
        if (!entry.coverFile.isEmpty() && !entry.coverFile.startsWith(QLatin1Char(':'))) {
            writeLink(xml, {OpdsFeed::relation(QStringLiteral("image")), QStringLiteral("/cover/%1").arg(entry.iid),
                            QStringLiteral("image/jpeg")});
            writeLink(xml, {OpdsFeed::relation(QStringLiteral("image/thumbnail")),
                            QStringLiteral("/thumbnail/%1").arg(entry.iid), QStringLiteral("image/jpeg")});
        }
        for (const LibraryCatalog::File& file : entry.files) {
            xml.writeEmptyElement(QStringLiteral("link"));
            xml.writeAttribute(QStringLiteral("rel"), OpdsFeed::relation(QStringLiteral("acquisition")));
            xml.writeAttribute(QStringLiteral("href"), QStringLiteral("/file/%1").arg(file.fid));
            xml.writeAttribute(QStringLiteral("type"), QString::fromLatin1(LibraryServer::mimeType(file.extension)));
            xml.writeAttribute(QStringLiteral("length"), QString::number(file.size));
            xml.writeAttribute(QStringLiteral("title"), file.name);
        }
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return out;
}

QByteArray OpdsFeed::openSearch()
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(openSearchNamespace);
    xml.writeStartElement(openSearchNamespace, QStringLiteral("OpenSearchDescription"));
    xml.writeTextElement(QStringLiteral("ShortName"), QStringLiteral("Lirenta"));
    xml.writeTextElement(QStringLiteral("Description"), QStringLiteral("Search the shared Lirenta library"));
    xml.writeEmptyElement(QStringLiteral("Url"));
    xml.writeAttribute(QStringLiteral("type"), acquisitionType());
    xml.writeAttribute(QStringLiteral("template"), QStringLiteral("/opds/search?q={searchTerms}"));
    xml.writeEndDocument();
    return out;
}

QList<OpdsFeed::Link> OpdsFeed::pageLinks(const QString& path, const QString& query, int page, int total)
{
    const int last = std::max(1, (total + pageSize - 1) / pageSize);
    const auto href = [&](int number) {
        return path + QStringLiteral("?") + (query.isEmpty() ? QString() : query + QLatin1Char('&')) +
               QStringLiteral("page=%1").arg(number);
    };
    QList<Link> links = {{QStringLiteral("first"), href(1), acquisitionType()},
                         {QStringLiteral("last"), href(last), acquisitionType()}};
    if (page > 1) {
        links.append({QStringLiteral("previous"), href(page - 1), acquisitionType()});
    }
    if (page < last) {
        links.append({QStringLiteral("next"), href(page + 1), acquisitionType()});
    }
    return links;
}
