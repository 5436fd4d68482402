#include "ZipWriter.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

bool ZipWriter::write(const QString& path, const QList<Entry>& entries)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate)) {
        return false;
    }
    for (const Entry& entry : entries) {
        QuaZipNewInfo info(entry.name);
        info.externalAttr = entry.symbolicLink ? (0120777u << 16) : (0100644u << 16);
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, info) || file.write(entry.data) != entry.data.size()) {
            return false;
        }
        file.close();
    }
    zip.close();
    return zip.getZipError() == 0;
}

bool ZipWriter::writeEpub(const QString& path, const QList<Entry>& oebpsFiles)
{
    QList<Entry> entries = {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml",
         "<?xml version=\"1.0\"?><container version=\"1.0\" "
         "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles><rootfile "
         "full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles></container>"},
    };
    for (const Entry& file : oebpsFiles) {
        entries.append({"OEBPS/" + file.name, file.data, file.symbolicLink});
    }
    return write(path, entries);
}
