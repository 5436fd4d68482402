#include "LenientChapter.h"

#include "Logging.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {
const QLatin1String copySuffix(".lenient.html");
}

QString LenientChapter::shownFile(const QString& path)
{
    static const QStringList xmlSuffixes = {QStringLiteral("xhtml"), QStringLiteral("xht"), QStringLiteral("xml")};
    if (!xmlSuffixes.contains(QFileInfo(path).suffix().toLower()) || parsesAsXml(path)) {
        return path;
    }
    const QString copy = path + copySuffix;
    if (QFileInfo(copy).size() != QFileInfo(path).size()) {
        QFile::remove(copy);
        if (!QFile::copy(path, copy)) {
            qCWarning(lcTools) << "no HTML copy of" << path;
            return path;
        }
    }
    qCDebug(lcTools) << "showing" << path << "as HTML";
    return copy;
}

QString LenientChapter::chapterOf(const QString& shownPath)
{
    return shownPath.endsWith(copySuffix) ? shownPath.chopped(copySuffix.size()) : shownPath;
}

bool LenientChapter::parsesAsXml(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return true; // nothing to copy; the engine says what it can
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
    }
    return !xml.hasError();
}
