#include "EpubPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>

namespace {
bool openXml(const QString& path, QFile* file, QXmlStreamReader* xml)
{
    file->setFileName(path);
    if (!file->open(QIODevice::ReadOnly)) {
        return false;
    }
    xml->setDevice(file);
    return true;
}

QString decodedHref(const QString& href)
{
    return QUrl::fromPercentEncoding(href.toUtf8());
}
} // namespace

bool EpubPackage::readNcx(const QString& ncxPath, QString* title, QList<TocEntry>* entries)
{
    QFile file;
    QXmlStreamReader xml;
    if (!openXml(ncxPath, &file, &xml)) {
        return false;
    }
    entries->clear();
    // Every navPoint, nested ones too, in reading order, with how deep it lies; the entry is
    // listed when its point starts and filled in as its label and content come.
    QList<int> open; // indexes of the entries of the navPoints being read, outermost first
    bool inNavMap = false;
    bool inLabel = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("docTitle")) {
                xml.readNextStartElement();
                if (xml.name() == QLatin1String("text")) {
                    *title = xml.readElementText();
                }
            } else if (name == QLatin1String("navMap")) {
                inNavMap = true;
            } else if (inNavMap && name == QLatin1String("navPoint")) {
                TocEntry entry;
                entry.depth = int(open.size());
                entries->append(entry);
                open << int(entries->size()) - 1;
            } else if (!open.isEmpty() && name == QLatin1String("navLabel")) {
                inLabel = true;
            } else if (!open.isEmpty() && inLabel && name == QLatin1String("text")) {
                (*entries)[open.last()].label = xml.readElementText().trimmed();
            } else if (!open.isEmpty() && name == QLatin1String("content")) {
                (*entries)[open.last()].src = xml.attributes().value(QLatin1String("src")).toString();
            }
        } else if (xml.isEndElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("navPoint") && !open.isEmpty()) {
                open.removeLast();
            } else if (name == QLatin1String("navLabel")) {
                inLabel = false;
            } else if (name == QLatin1String("navMap")) {
                inNavMap = false;
            }
        }
    }
    return !xml.hasError();
}

bool EpubPackage::readPackage(const QString& folder, Package* package)
{
    QFile containerFile;
    QXmlStreamReader container;
    if (!openXml(folder + QStringLiteral("/META-INF/container.xml"), &containerFile, &container)) {
        return false;
    }
    QString opfName;
    while (!container.atEnd() && opfName.isEmpty()) {
        if (container.readNextStartElement() && container.name() == QLatin1String("rootfile")) {
            opfName = container.attributes().value(QLatin1String("full-path")).toString();
        }
    }
    if (opfName.isEmpty()) {
        return false;
    }
    const QString opfPath = QDir(folder).absoluteFilePath(opfName);
    const QString opfFolder = QFileInfo(opfPath).absolutePath();
    QFile opfFile;
    QXmlStreamReader opf;
    if (!openXml(opfPath, &opfFile, &opf)) {
        return false;
    }
    QHash<QString, QString> hrefById;
    QStringList spineIds;
    QString navHref;
    while (!opf.atEnd()) {
        if (!opf.readNextStartElement()) {
            continue;
        }
        const auto attributes = opf.attributes();
        if (opf.name() == QLatin1String("item")) {
            const QString href = decodedHref(attributes.value(QLatin1String("href")).toString());
            hrefById.insert(attributes.value(QLatin1String("id")).toString(), href);
            if (attributes.value(QLatin1String("properties")).toString().split(QLatin1Char(' ')).contains("nav")) {
                navHref = href;
            }
        } else if (opf.name() == QLatin1String("itemref")) {
            spineIds << attributes.value(QLatin1String("idref")).toString();
        }
    }
    package->spine.clear();
    for (const QString& id : std::as_const(spineIds)) {
        if (hrefById.contains(id)) {
            package->spine << QDir(opfFolder).absoluteFilePath(hrefById.value(id));
        }
    }
    package->toc.clear();
    package->tocBaseFolder = opfFolder;
    if (!navHref.isEmpty()) {
        const QString navPath = QDir(opfFolder).absoluteFilePath(navHref);
        package->tocBaseFolder = QFileInfo(navPath).absolutePath();
        QFile navFile;
        QXmlStreamReader nav;
        if (openXml(navPath, &navFile, &nav)) {
            // The entries of <nav epub:type="toc">, nested lists too, with how deep each lies.
            int navDepth = -1;
            int olDepth = 0;
            int depth = 0;
            while (!nav.atEnd()) {
                nav.readNext();
                if (nav.isStartElement()) {
                    ++depth;
                    if (nav.name() == QLatin1String("nav") &&
                        nav.attributes().value(QLatin1String("http://www.idpf.org/2007/ops"), QLatin1String("type")) ==
                            QLatin1String("toc")) {
                        navDepth = depth;
                    } else if (navDepth > 0 && nav.name() == QLatin1String("ol")) {
                        ++olDepth;
                    } else if (navDepth > 0 && olDepth >= 1 && nav.name() == QLatin1String("a")) {
                        const QString href = nav.attributes().value(QLatin1String("href")).toString();
                        const QString label = nav.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
                        package->toc.append({label, href, olDepth - 1});
                        --depth;
                    }
                } else if (nav.isEndElement()) {
                    if (navDepth > 0 && nav.name() == QLatin1String("ol")) {
                        --olDepth;
                    }
                    if (depth == navDepth && nav.name() == QLatin1String("nav")) {
                        navDepth = -1;
                    }
                    --depth;
                }
            }
        }
    }
    return !package->spine.isEmpty();
}
