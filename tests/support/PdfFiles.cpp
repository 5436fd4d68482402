#include "PdfFiles.h"

#include <QFile>
#include <QMap>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

bool PdfFiles::writeWithInfo(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& info, int pages)
{
    QList<QByteArray> objects;
    QByteArray kids;
    for (int page = 0; page < pages; ++page) {
        kids += QByteArray::number(3 + page) + " 0 R ";
    }
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    objects << "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>";
    for (int page = 0; page < pages; ++page) {
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 400] >>";
    }
    QByteArray dictionary = "<<";
    for (const auto& [key, value] : info) {
        dictionary += " /" + key + " " + value;
    }
    objects << dictionary + " >>";
    QByteArray pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets) {
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R /Info " +
           QByteArray::number(objects.size()) + " 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size();
}

namespace {
// The number after the last `key` in the file: the newest trailer's.
int lastNumberAfter(const QByteArray& pdf, const QByteArray& key)
{
    const qsizetype at = pdf.lastIndexOf(key);
    return at < 0 ? -1
                  : QRegularExpression("^\\s*(\\d+)")
                        .match(QString::fromLatin1(pdf.mid(at + key.size(), 20)))
                        .captured(1)
                        .toInt();
}

// Appends an incremental update to `pdf`: `replaced` objects by number, `added` ones numbered
// from the trailer's /Size on, and a trailer with `trailerExtra`.
bool appendUpdate(QFile& file, const QByteArray& pdf, const QMap<int, QByteArray>& replaced,
                  const QList<QByteArray>& added, const QByteArray& trailerExtra)
{
    const int first = lastNumberAfter(pdf, "/Size");
    const int root = lastNumberAfter(pdf, "/Root");
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (first < 1 || root < 1 || startxref < 0) {
        return false;
    }
    const QByteArray previous = pdf.mid(startxref + 9).trimmed().split('\n').first().trimmed();
    QMap<int, QByteArray> objects = replaced;
    for (int i = 0; i < added.size(); ++i) {
        objects.insert(first + i, added.at(i));
    }
    QByteArray update = "\n";
    QMap<int, qsizetype> offsets;
    for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
        offsets.insert(it.key(), pdf.size() + update.size());
        update += QByteArray::number(it.key()) + " 0 obj\n" + it.value() + "\nendobj\n";
    }
    const qsizetype xrefAt = pdf.size() + update.size();
    update += "xref\n0 1\n0000000000 65535 f \n";
    for (auto it = offsets.cbegin(); it != offsets.cend(); ++it) {
        update += QByteArray::number(it.key()) + " 1\n" + QByteArray::number(it.value()).rightJustified(10, '0') +
                  " 00000 n \n";
    }
    update += "trailer\n<< /Size " + QByteArray::number(first + added.size()) + " /Root " + QByteArray::number(root) +
              " 0 R" + trailerExtra + " /Prev " + previous + " >>\nstartxref\n" + QByteArray::number(xrefAt) +
              "\n%%EOF\n";
    return file.seek(pdf.size()) && file.write(update) == update.size();
}
} // namespace

bool PdfFiles::addInfo(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& info)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return false;
    }
    const QByteArray pdf = file.readAll();
    QByteArray dictionary = "<<";
    for (const auto& [key, value] : info) {
        dictionary += " /" + key + " " + value;
    }
    dictionary += " >>";
    return appendUpdate(file, pdf, {}, {dictionary},
                        " /Info " + QByteArray::number(lastNumberAfter(pdf, "/Size")) + " 0 R");
}

bool PdfFiles::addOutline(const QString& path, const QList<std::pair<QString, int>>& entries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return false;
    }
    const QByteArray pdf = file.readAll();
    const QString text = QString::fromLatin1(pdf);
    const QRegularExpressionMatch catalog =
        QRegularExpression("(\\d+) 0 obj\\s*<<\\s*/Type /Catalog\\s*/Pages (\\d+) 0 R").match(text);
    QList<QByteArray> pages;
    auto page = QRegularExpression("(\\d+) 0 obj\\s*<<\\s*/Type /Page\\s").globalMatch(text);
    while (page.hasNext()) {
        pages << page.next().captured(1).toLatin1();
    }
    const int outlines = lastNumberAfter(pdf, "/Size");
    if (!catalog.hasMatch() || outlines < 1 || entries.isEmpty()) {
        return false;
    }
    const auto ref = [](int object) { return QByteArray::number(object) + " 0 R"; };
    QList<QByteArray> added;
    added << "<< /Type /Outlines /First " + ref(outlines + 1) + " /Last " + ref(outlines + int(entries.size())) +
                 " /Count " + QByteArray::number(entries.size()) + " >>";
    for (int i = 0; i < entries.size(); ++i) {
        const int target = std::clamp(entries.at(i).second, 0, int(pages.size()) - 1);
        QByteArray item = "<< /Title " + utf16(entries.at(i).first) + " /Parent " + ref(outlines) + " /Dest [" +
                          pages.value(target) + " 0 R /XYZ 0 842 0]";
        if (i > 0) {
            item += " /Prev " + ref(outlines + i);
        }
        if (i + 1 < entries.size()) {
            item += " /Next " + ref(outlines + i + 2);
        }
        added << item + " >>";
    }
    const QByteArray newCatalog = "<< /Type /Catalog /Pages " + catalog.captured(2).toLatin1() + " 0 R /Outlines " +
                                  ref(outlines) + " /PageMode /UseOutlines >>";
    return appendUpdate(file, pdf, {{catalog.captured(1).toInt(), newCatalog}}, added, QByteArray());
}

QByteArray PdfFiles::utf16(const QString& text)
{
    QByteArray bytes("\xfe\xff", 2);
    for (const QChar c : text) {
        bytes += char(c.unicode() >> 8);
        bytes += char(c.unicode() & 0xff);
    }
    return "<" + bytes.toHex().toUpper() + ">";
}

bool PdfFiles::writeTextPages(const QString& path, const QStringList& pageTexts)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setTitle(QStringLiteral("Text pages"));
    QPainter painter(&writer);
    if (!painter.isActive()) {
        return false;
    }
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    for (int page = 0; page < pageTexts.size(); ++page) {
        if (page > 0) {
            writer.newPage();
        }
        painter.drawText(QRect(40, 40, 500, 700), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, pageTexts.at(page));
    }
    return painter.end();
}

bool PdfFiles::protect(const QString& source, const QString& target, const QString& password)
{
    if (QStandardPaths::findExecutable(QStringLiteral("qpdf")).isEmpty()) {
        return false;
    }
    return QProcess::execute(QStringLiteral("qpdf"),
                             {QStringLiteral("--encrypt"), password, password + QStringLiteral("-owner"),
                              QStringLiteral("256"), QStringLiteral("--"), source, target}) == 0;
}
