#include "BookMetadata.h"

#include "HtmlText.h"
#include "ZipEntries.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPdfDocument>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <optional>

namespace {
// What is read of a file at most: a package document, the start of a MOBI or a text file.
constexpr qint64 maxPackageBytes = 4 * 1024 * 1024;
constexpr qint64 maxHeadBytes = 256 * 1024;
const QLatin1String dcNamespace("http://purl.org/dc/elements/1.1/");
const QLatin1String opfNamespace("http://www.idpf.org/2007/opf");

quint32 bigEndian32(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size()) {
        return 0;
    }
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]);
}

QString normalisedDate(const QString& date)
{
    const QString trimmed = date.trimmed();
    const int time = int(trimmed.indexOf(QLatin1Char('T')));
    return time > 0 ? trimmed.left(time) : trimmed;
}

QString languageCode(const QString& language)
{
    // "en-US" and "en_GB" are English; a code is letters only.
    const QString code = language.trimmed().section(QRegularExpression(QStringLiteral("[-_]")), 0, 0).toLower();
    static const QRegularExpression letters(QStringLiteral("^[a-z]{2,3}$"));
    return letters.match(code).hasMatch() ? code : QString();
}

// PDF authors are one text: "A; B", "A and B", "A & B" name several.
QList<BookMetadata::Author> splitAuthors(const QString& text)
{
    QList<BookMetadata::Author> authors;
    static const QRegularExpression separators(QStringLiteral("\\s*(?:;|&|\\band\\b)\\s*"));
    for (const QString& name : text.split(separators, Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty()) {
            authors.append({name.trimmed(), QString()});
        }
    }
    return authors;
}

QStringList splitTags(const QString& text)
{
    QStringList tags;
    for (const QString& tag : text.split(QRegularExpression(QStringLiteral("[,;]")), Qt::SkipEmptyParts)) {
        if (!tag.trimmed().isEmpty() && !tags.contains(tag.trimmed(), Qt::CaseInsensitive)) {
            tags << tag.trimmed();
        }
    }
    return tags;
}

void takeIsbn(BookMetadata& metadata, const QString& isbn)
{
    if (isbn.size() == 13 && metadata.isbn13.isEmpty()) {
        metadata.isbn13 = isbn;
    } else if (isbn.size() == 10 && metadata.isbn10.isEmpty()) {
        metadata.isbn10 = isbn;
    }
}
} // namespace

bool BookMetadata::isEmpty() const
{
    return title.isEmpty() && authors.isEmpty() && pages.isEmpty() && isbn10.isEmpty() && isbn13.isEmpty() &&
           publisher.isEmpty() && date.isEmpty() && language.isEmpty() && description.isEmpty() && tags.isEmpty() &&
           series.isEmpty();
}

BookMetadata BookMetadata::read(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    BookMetadata metadata;
    if (suffix == QLatin1String("pdf")) {
        metadata = fromPdf(path);
    } else if (suffix == QLatin1String("epub")) {
        metadata = fromEpub(path);
    } else if (suffix == QLatin1String("mobi") || suffix == QLatin1String("azw") || suffix == QLatin1String("prc")) {
        QFile file(path);
        metadata = file.open(QIODevice::ReadOnly) ? fromMobi(file.read(maxHeadBytes)) : BookMetadata();
    } else if (suffix == QLatin1String("txt") || suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
        QFile file(path);
        metadata = file.open(QIODevice::ReadOnly) ? fromText(file.read(maxHeadBytes), suffix != QLatin1String("txt"))
                                                  : BookMetadata();
    }
    metadata.dropWhatSaysNothing(info.fileName());
    return metadata;
}

BookMetadata BookMetadata::fromPdf(const QString& path)
{
    BookMetadata metadata;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(5) != "%PDF-") {
        metadata.note = QStringLiteral("the file is not a PDF");
        return metadata;
    }
    file.close();
    QPdfDocument document;
    const QPdfDocument::Error error = document.load(path);
    if (error == QPdfDocument::Error::IncorrectPassword) {
        metadata.note = QStringLiteral("the PDF is protected by a password");
        return metadata;
    }
    if (error != QPdfDocument::Error::None || document.pageCount() < 1) {
        metadata.note = QStringLiteral("the file is not a readable PDF");
        return metadata;
    }
    metadata.title = document.metaData(QPdfDocument::MetaDataField::Title).toString().trimmed();
    metadata.authors = splitAuthors(document.metaData(QPdfDocument::MetaDataField::Author).toString());
    metadata.description = document.metaData(QPdfDocument::MetaDataField::Subject).toString().trimmed();
    metadata.tags = splitTags(document.metaData(QPdfDocument::MetaDataField::Keywords).toString());
    const QDateTime created = document.metaData(QPdfDocument::MetaDataField::CreationDate).toDateTime();
    if (created.isValid()) {
        metadata.date = created.date().toString(Qt::ISODate);
    }
    metadata.pages = QString::number(document.pageCount());
    return metadata;
}

BookMetadata BookMetadata::fromEpub(const QString& path)
{
    BookMetadata metadata;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip)) {
        metadata.note = QStringLiteral("the file is not a readable EPUB");
        return metadata;
    }
    const std::optional<QByteArray> package = ZipEntries::packageDocument(zip, maxPackageBytes);
    if (!package) {
        metadata.note = QStringLiteral("the EPUB has no package document that can be read");
        return metadata;
    }
    return fromPackageDocument(*package);
}

BookMetadata BookMetadata::fromPackageDocument(const QByteArray& opf)
{
    struct Creator
    {
        QString id;
        QString name;
        QString role;
        QString fileAs;
    };
    struct Collection
    {
        QString id;
        QString name;
        QString type;
        QString position;
    };
    BookMetadata metadata;
    QList<Creator> creators;
    QList<Collection> collections;
    QList<std::pair<QString, QString>> titles;           // id, text
    QHash<QString, QHash<QString, QString>> refinements; // id -> property -> value
    QString mainTitleId;
    QString calibreSeries;
    QString calibreIndex;
    QXmlStreamReader xml(opf);
    bool inMetadata = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("metadata")) {
            break;
        }
        if (!xml.isStartElement()) {
            continue;
        }
        if (xml.name() == QLatin1String("metadata")) {
            inMetadata = true;
            continue;
        }
        if (!inMetadata) {
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString id = attributes.value(QLatin1String("id")).toString();
        if (xml.name() == QLatin1String("meta")) {
            const QString property = attributes.value(QLatin1String("property")).toString();
            const QString name = attributes.value(QLatin1String("name")).toString();
            const QString refines = attributes.value(QLatin1String("refines")).toString().remove(QLatin1Char('#'));
            if (name == QLatin1String("calibre:series")) {
                calibreSeries = attributes.value(QLatin1String("content")).toString().trimmed();
            } else if (name == QLatin1String("calibre:series_index")) {
                calibreIndex = attributes.value(QLatin1String("content")).toString().trimmed();
            } else if (!property.isEmpty()) {
                const QString value = xml.readElementText().trimmed();
                if (property == QLatin1String("belongs-to-collection")) {
                    collections.append({id, value, QString(), QString()});
                } else if (!refines.isEmpty()) {
                    refinements[refines].insert(property, value);
                }
            }
            continue;
        }
        if (xml.namespaceUri() != dcNamespace) {
            continue;
        }
        const QString element = xml.name().toString();
        const QString role = attributes.value(opfNamespace, QLatin1String("role")).toString();
        const QString fileAs = attributes.value(opfNamespace, QLatin1String("file-as")).toString();
        const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        if (element == QLatin1String("title")) {
            titles.append({id, text});
        } else if (element == QLatin1String("creator")) {
            creators.append({id, text, role, fileAs});
        } else if (element == QLatin1String("identifier")) {
            takeIsbn(metadata, isbnIn(text));
        } else if (element == QLatin1String("publisher") && metadata.publisher.isEmpty()) {
            metadata.publisher = text;
        } else if (element == QLatin1String("date") && metadata.date.isEmpty()) {
            metadata.date = normalisedDate(text);
        } else if (element == QLatin1String("language") && metadata.language.isEmpty()) {
            metadata.language = languageCode(text);
        } else if (element == QLatin1String("description") && metadata.description.isEmpty()) {
            metadata.description = HtmlText::plain(text);
        } else if (element == QLatin1String("subject") && !text.isEmpty() &&
                   !metadata.tags.contains(text, Qt::CaseInsensitive)) {
            metadata.tags << text;
        }
    }
    // EPUB 3 says which title is the main one; otherwise the first counts.
    for (const auto& [titleId, text] : std::as_const(titles)) {
        if (metadata.title.isEmpty() || (!titleId.isEmpty() && refinements.value(titleId).value(QStringLiteral(
                                                                   "title-type")) == QLatin1String("main"))) {
            metadata.title = text;
        }
    }
    for (const Creator& creator : std::as_const(creators)) {
        const QHash<QString, QString> refined = refinements.value(creator.id);
        const QString role = creator.role.isEmpty() ? refined.value(QStringLiteral("role")) : creator.role;
        if (!role.isEmpty() && role != QLatin1String("aut")) {
            continue; // an editor, a translator, an illustrator
        }
        const QString fileAs = creator.fileAs.isEmpty() ? refined.value(QStringLiteral("file-as")) : creator.fileAs;
        if (!creator.name.isEmpty()) {
            metadata.authors.append({creator.name, fileAs});
        }
    }
    if (!calibreSeries.isEmpty()) {
        metadata.series = calibreSeries;
        metadata.seriesNumber = calibreIndex.toDouble();
    } else {
        // A collection said to be a series wins over one of another kind.
        for (Collection& collection : collections) {
            const QHash<QString, QString> refined = refinements.value(collection.id);
            collection.type = refined.value(QStringLiteral("collection-type"));
            collection.position = refined.value(QStringLiteral("group-position"));
            if (metadata.series.isEmpty() || collection.type == QLatin1String("series")) {
                metadata.series = collection.name;
                metadata.seriesNumber = collection.position.toDouble();
            }
        }
    }
    if (xml.hasError() && metadata.isEmpty()) {
        metadata.note = QStringLiteral("the package document cannot be read: %1").arg(xml.errorString());
    }
    return metadata;
}

BookMetadata BookMetadata::fromMobi(const QByteArray& bytes)
{
    BookMetadata metadata;
    if (bytes.size() < 86 || bytes.mid(60, 8) != "BOOKMOBI") {
        metadata.note = QStringLiteral("the file is not a MOBI book");
        return metadata;
    }
    const qsizetype record = bigEndian32(bytes, 78);
    if (bytes.mid(record + 16, 4) != "MOBI") {
        metadata.note = QStringLiteral("the MOBI header cannot be read");
        return metadata;
    }
    const quint32 headerLength = bigEndian32(bytes, record + 20);
    const bool utf8 = bigEndian32(bytes, record + 28) == 65001;
    const auto decode = [utf8](const QByteArray& raw) {
        if (utf8) {
            return QString::fromUtf8(raw).trimmed();
        }
        QStringDecoder windows("windows-1252");
        return windows.isValid() ? QString(windows(raw)).trimmed() : QString::fromLatin1(raw).trimmed();
    };
    const quint32 nameOffset = bigEndian32(bytes, record + 84);
    const quint32 nameLength = bigEndian32(bytes, record + 88);
    if (nameLength > 0 && nameLength < 1024 && record + nameOffset + nameLength <= quint32(bytes.size())) {
        metadata.title = decode(bytes.mid(record + nameOffset, nameLength));
    }
    const bool hasExth = (bigEndian32(bytes, record + 128) & 0x40) != 0;
    const qsizetype exth = record + 16 + headerLength;
    if (!hasExth || bytes.mid(exth, 4) != "EXTH") {
        return metadata;
    }
    const quint32 count = bigEndian32(bytes, exth + 8);
    qsizetype at = exth + 12;
    for (quint32 i = 0; i < count && i < 1000 && at + 8 <= bytes.size(); ++i) {
        const quint32 type = bigEndian32(bytes, at);
        const quint32 length = bigEndian32(bytes, at + 4);
        if (length < 8 || at + length > quint32(bytes.size())) {
            break;
        }
        const QString value = decode(bytes.mid(at + 8, length - 8));
        switch (type) {
        case 100:
            metadata.authors.append({value, QString()});
            break;
        case 101:
            metadata.publisher = value;
            break;
        case 103:
            metadata.description = HtmlText::plain(value);
            break;
        case 104:
            takeIsbn(metadata, isbnIn(value));
            break;
        case 105:
            metadata.tags << value;
            break;
        case 106:
            metadata.date = normalisedDate(value);
            break;
        case 503:
            metadata.title = value;
            break;
        case 524:
            metadata.language = languageCode(value);
            break;
        default:
            break;
        }
        at += length;
    }
    return metadata;
}

BookMetadata BookMetadata::fromText(const QByteArray& bytes, bool html)
{
    BookMetadata metadata;
    QString text = QString::fromUtf8(bytes.left(maxHeadBytes));
    if (text.startsWith(QChar(0xfeff))) {
        text.remove(0, 1);
    }
    if (html) {
        static const QRegularExpression titleElement(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                                     QRegularExpression::CaseInsensitiveOption |
                                                         QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch match = titleElement.match(text);
        if (match.hasMatch()) {
            metadata.title = HtmlText::plain(match.captured(1)).simplified();
        }
        return metadata;
    }
    // The first line with a letter in it: a title, not a rule of dashes or a page number.
    static const QRegularExpression letter(QStringLiteral("\\p{L}"), QRegularExpression::UseUnicodePropertiesOption);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.simplified();
        if (letter.match(trimmed).hasMatch()) {
            metadata.title = trimmed.left(200);
            break;
        }
    }
    return metadata;
}

bool BookMetadata::titleSaysNothing(const QString& title, const QString& fileName)
{
    const QString plain = title.simplified();
    if (plain.isEmpty()) {
        return true;
    }
    static const QRegularExpression empty(
        QStringLiteral("^(untitled|unknown|no title|title|document|doc|none|null|book|new document)([-_ ]?\\d+)?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression office(QStringLiteral("^microsoft (word|powerpoint|excel) - "),
                                           QRegularExpression::CaseInsensitiveOption);
    if (empty.match(plain).hasMatch() || office.match(plain).hasMatch()) {
        return true;
    }
    // The file's own name, with or without its suffix, tells nothing the name did not.
    const QFileInfo file(fileName);
    return !fileName.isEmpty() && (plain.compare(file.fileName(), Qt::CaseInsensitive) == 0 ||
                                   plain.compare(file.completeBaseName(), Qt::CaseInsensitive) == 0);
}

bool BookMetadata::authorSaysNothing(const QString& name)
{
    static const QRegularExpression placeholder(
        QStringLiteral("^(administrator|admin|user|owner|unknown|author|root|guest|default|customer|"
                       "unknown author|anonymous user)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString plain = name.simplified();
    return plain.isEmpty() || placeholder.match(plain).hasMatch();
}

bool BookMetadata::hasValidCheckDigit(const QString& isbn)
{
    if (isbn.size() == 10) {
        int sum = 0;
        for (int i = 0; i < 10; ++i) {
            const QChar c = isbn.at(i);
            const int value = (i == 9 && c.toUpper() == QLatin1Char('X')) ? 10 : c.digitValue();
            if (value < 0) {
                return false;
            }
            sum += value * (10 - i);
        }
        return sum % 11 == 0;
    }
    if (isbn.size() == 13) {
        int sum = 0;
        for (int i = 0; i < 13; ++i) {
            const int value = isbn.at(i).digitValue();
            if (value < 0) {
                return false;
            }
            sum += value * (i % 2 == 0 ? 1 : 3);
        }
        return sum % 10 == 0;
    }
    return false;
}

QString BookMetadata::isbnIn(const QString& identifier)
{
    QString text = identifier.trimmed();
    static const QRegularExpression prefix(QStringLiteral("^(urn:isbn:|isbn[:\\s]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    text.remove(prefix);
    text.remove(QRegularExpression(QStringLiteral("[-\\s]")));
    static const QRegularExpression shape(QStringLiteral("^(\\d{9}[\\dXx]|\\d{13})$"));
    if (!shape.match(text).hasMatch()) {
        return QString();
    }
    // Only a valid check digit makes the number an ISBN, whether it is named one or bare.
    return hasValidCheckDigit(text) ? text.toUpper() : QString();
}

void BookMetadata::dropWhatSaysNothing(const QString& fileName)
{
    if (titleSaysNothing(title, fileName)) {
        title.clear();
    }
    QList<Author> kept;
    for (const Author& author : std::as_const(authors)) {
        if (!authorSaysNothing(author.name)) {
            kept << author;
        }
    }
    authors = kept;
}
