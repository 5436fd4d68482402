#include "PdfFiles.h"

#include <QFile>
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

bool PdfFiles::addInfo(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& info)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return false;
    }
    const QByteArray pdf = file.readAll();
    const QRegularExpressionMatch size = QRegularExpression("/Size (\\d+)").match(QString::fromLatin1(pdf));
    const QRegularExpressionMatch root = QRegularExpression("/Root (\\d+) 0 R").match(QString::fromLatin1(pdf));
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (!size.hasMatch() || !root.hasMatch() || startxref < 0) {
        return false;
    }
    const QByteArray previous = pdf.mid(startxref + 9).trimmed().split('\n').first().trimmed();
    const int object = size.captured(1).toInt();
    QByteArray dictionary = "<<";
    for (const auto& [key, value] : info) {
        dictionary += " /" + key + " " + value;
    }
    dictionary += " >>";
    QByteArray update = "\n";
    const qsizetype objectAt = pdf.size() + update.size();
    update += QByteArray::number(object) + " 0 obj\n" + dictionary + "\nendobj\n";
    const qsizetype xrefAt = pdf.size() + update.size();
    update += "xref\n0 1\n0000000000 65535 f \n" + QByteArray::number(object) + " 1\n" +
              QByteArray::number(objectAt).rightJustified(10, '0') + " 00000 n \ntrailer\n<< /Size " +
              QByteArray::number(object + 1) + " /Root " + root.captured(1).toLatin1() + " 0 R /Info " +
              QByteArray::number(object) + " 0 R /Prev " + previous + " >>\nstartxref\n" + QByteArray::number(xrefAt) +
              "\n%%EOF\n";
    return file.seek(pdf.size()) && file.write(update) == update.size();
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
