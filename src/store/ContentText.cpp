#include "ContentText.h"

#include "HtmlText.h"
#include "ZipEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>
#include <QXmlStreamReader>
#include <quazip.h>
#include <quazipfile.h>

#include <ctime>
#include <optional>

namespace {
// The time this thread has worked. The indexer runs at the lowest priority, so on a busy
// machine a book may wait long between pages: waiting is not what the limit is for.
class ThreadClock
{
public:
    ThreadClock() : start(now()) {}
    qint64 elapsed() const { return now() - start; }

private:
    static qint64 now()
    {
        timespec spent = {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &spent);
        return qint64(spent.tv_sec) * 1000 + spent.tv_nsec / 1000000;
    }
    qint64 start;
};

// Why reading must end before the next page or chapter; nothing when it may go on.
QString whyStop(const ThreadClock& clock, const ContentText::Limits& limits, const std::function<bool()>& stop)
{
    if (stop && stop()) {
        return QStringLiteral("stopped");
    }
    if (clock.elapsed() > limits.maxMilliseconds) {
        return QStringLiteral("reading it took more than %1 s of work").arg(limits.maxMilliseconds / 1000);
    }
    return QString();
}

// Adds the part unless the text grows past its limit; false (with the reason) when it does.
bool take(ContentText::Result& result, const ContentText::Part& part, qint64* chars, const ContentText::Limits& limits)
{
    *chars += part.text.size();
    if (*chars > limits.maxTextChars) {
        result.reason = QStringLiteral("it holds more than %1 million characters").arg(limits.maxTextChars / 1000000);
        return false;
    }
    result.parts << part;
    return true;
}

constexpr qint64 maxPackageBytes = 4 << 20;
constexpr qint64 maxChapterBytes = 32 << 20;

QString decoded(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    // Not UTF-8: most older text files are Latin-1 or close to it.
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool isBlank(const QString& text)
{
    for (const QChar c : text) {
        if (!c.isSpace()) {
            return false;
        }
    }
    return true;
}
} // namespace

ContentText::Result ContentText::read(const QString& path, const Limits& limits, const std::function<bool()>& stop)
{
    const QFileInfo info(path);
    Result result;
    if (!info.isFile()) {
        result.reason = QStringLiteral("the file is missing");
        return result;
    }
    if (info.size() > limits.maxFileBytes) {
        result.reason = QStringLiteral("the file is larger than %1 MB").arg(limits.maxFileBytes >> 20);
        return result;
    }
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("pdf")) {
        result = readPdf(path, limits, stop);
    } else if (suffix == QLatin1String("epub")) {
        result = readEpub(path, limits, stop);
    } else if (suffix == QLatin1String("txt") || suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
        result = readWhole(path, limits, suffix != QLatin1String("txt"));
    } else {
        result.reason = QStringLiteral("its words cannot be read");
        return result;
    }
    if (result.outcome == Outcome::Read) {
        bool blank = true;
        for (const Part& part : std::as_const(result.parts)) {
            blank = blank && isBlank(part.text);
        }
        if (blank) {
            result.outcome = Outcome::NoText;
            result.parts.clear();
        }
    }
    return result;
}

ContentText::Result ContentText::readPdf(const QString& path, const Limits& limits, const std::function<bool()>& stop)
{
    Result result;
    const ThreadClock clock;
    QPdfDocument pdf(nullptr);
    const QPdfDocument::Error error = pdf.load(path);
    if (error != QPdfDocument::Error::None) {
        result.reason = error == QPdfDocument::Error::IncorrectPassword ? QStringLiteral("it is locked by a password")
                                                                        : QStringLiteral("the PDF is damaged");
        return result;
    }
    qint64 chars = 0;
    for (int page = 0; page < pdf.pageCount(); ++page) {
        if (const QString reason = whyStop(clock, limits, stop); !reason.isEmpty()) {
            result.reason = reason;
            return result;
        }
        Part part{Kind::Page, page, pdf.getAllText(page).text()};
        if (!take(result, part, &chars, limits)) {
            return result;
        }
    }
    result.outcome = Outcome::Read;
    return result;
}

// The chapters in spine order, found through the container and the package document.
ContentText::Result ContentText::readEpub(const QString& path, const Limits& limits, const std::function<bool()>& stop)
{
    Result result;
    const ThreadClock clock;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip)) {
        result.reason = QStringLiteral("the EPUB is damaged");
        return result;
    }
    QString packagePath;
    const std::optional<QByteArray> package = ZipEntries::packageDocument(zip, maxPackageBytes, &packagePath);
    if (!package) {
        result.reason = QStringLiteral("the EPUB has no package document");
        return result;
    }
    QHash<QString, QString> manifest;
    QStringList spine;
    QXmlStreamReader xml(*package);
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement()) {
            continue;
        }
        if (xml.name() == QLatin1String("item")) {
            manifest.insert(xml.attributes().value(QLatin1String("id")).toString(),
                            xml.attributes().value(QLatin1String("href")).toString());
        } else if (xml.name() == QLatin1String("itemref")) {
            spine << xml.attributes().value(QLatin1String("idref")).toString();
        }
    }
    const QString base = QFileInfo(packagePath).path();
    qint64 chars = 0;
    for (int index = 0; index < spine.size(); ++index) {
        if (const QString reason = whyStop(clock, limits, stop); !reason.isEmpty()) {
            result.reason = reason;
            return result;
        }
        const QString href = QUrl::fromPercentEncoding(manifest.value(spine.at(index)).section('#', 0, 0).toUtf8());
        const QString entry = QDir::cleanPath(base == QLatin1String(".") ? href : base + QLatin1Char('/') + href);
        const std::optional<QByteArray> bytes =
            href.isEmpty() ? std::nullopt : ZipEntries::read(zip, entry, maxChapterBytes);
        Part part{Kind::Chapter, index, bytes ? HtmlText::plain(decoded(*bytes)) : QString()};
        if (!take(result, part, &chars, limits)) {
            return result;
        }
    }
    result.outcome = Outcome::Read;
    return result;
}

ContentText::Result ContentText::readWhole(const QString& path, const Limits& limits, bool html)
{
    Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = QStringLiteral("the file cannot be read");
        return result;
    }
    const QString text = decoded(file.read(limits.maxTextChars));
    result.parts << Part{Kind::Whole, 0, html ? HtmlText::plain(text) : text};
    result.outcome = Outcome::Read;
    return result;
}

bool ContentText::isCjk(char32_t c)
{
    return (c >= 0x3040 && c <= 0x30FF)       // hiragana, katakana
           || (c >= 0x3100 && c <= 0x312F)    // bopomofo
           || (c >= 0x3400 && c <= 0x4DBF)    // ideographs, extension A
           || (c >= 0x4E00 && c <= 0x9FFF)    // ideographs
           || (c >= 0xAC00 && c <= 0xD7AF)    // hangul syllables
           || (c >= 0xF900 && c <= 0xFAFF)    // compatibility ideographs
           || (c >= 0x20000 && c <= 0x3134F); // ideographs, extensions B and on
}

QString ContentText::joinedLines(const QString& text)
{
    // "exam-" at the end of a line and "ple" on the next are one word; soft hyphens go, and
    // so does the mark PDFium puts where a word was hyphenated at a line end.
    static const QRegularExpression broken(
        QStringLiteral("(\\p{L})[-\\x{2010}\\x{00AD}][ \\t]*\\r?\\n[ \\t]*(\\p{Ll})"));
    QString joined = text;
    joined.replace(broken, QStringLiteral("\\1\\2"));
    joined.remove(QChar(0x00AD));
    joined.remove(QChar(0xFFFE));
    return joined;
}

QString ContentText::searchable(const QString& text)
{
    const QString joined = joinedLines(text);
    QString out;
    out.reserve(joined.size() + joined.size() / 4);
    for (auto it = joined.cbegin(); it != joined.cend(); ++it) {
        char32_t c = it->unicode();
        if (it->isHighSurrogate() && it + 1 != joined.cend() && (it + 1)->isLowSurrogate()) {
            c = QChar::surrogateToUcs4(*it, *(it + 1));
            if (isCjk(c)) {
                out += QLatin1Char(' ');
                out += *it;
                out += *(it + 1);
                out += QLatin1Char(' ');
            } else {
                out += *it;
                out += *(it + 1);
            }
            ++it;
            continue;
        }
        if (isCjk(c)) {
            out += QLatin1Char(' ');
            out += *it;
            out += QLatin1Char(' ');
        } else {
            out += *it;
        }
    }
    return out;
}
