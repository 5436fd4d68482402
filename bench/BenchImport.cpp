// Importing books that describe themselves, as the batch import does it.
//
//   BenchImport --write N FOLDER    N real-looking books (PDFs and EPUBs, half each) carrying
//                                   metadata and a cover, written into FOLDER
//   BenchImport --import FOLDER     imports FOLDER as "Import Without Look-up" does, each book's
//                                   metadata read and its cover made; prints ms per book
//   BenchImport --list N            lists a folder of N such books (metadata read): the time,
//                                   and the window's longest pause meanwhile
#include "Book.h"
#include "CoverMaker.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "MultiSelect.h"
#include "PdfFiles.h"
#include "QtModules.h"
#include "TestEnvironment.h"
#include "WindowPauses.h"
#include "ZipWriter.h"

#include <cstdio>

namespace {
const QStringList givenNames = {"Ann", "Ben", "Cleo", "Dan", "Eva", "Finn", "Gus", "Hana", "Ivo", "Jana"};
const QStringList familyNames = {"Archer", "Brook", "Cole", "Drake", "Ellis", "Frost", "Grant", "Hale"};
const QStringList words = {"River", "Stone", "Glass", "Winter", "Harbour", "Lantern", "Orchard", "Signal"};

QString titleOf(int n)
{
    return QString("The %1 of %2 %3").arg(words.at(n % 8), words.at((n / 8) % 8)).arg(n);
}

QString authorOf(int n)
{
    return givenNames.at(n % 10) + " " + familyNames.at((n / 10) % 8);
}

void writePdf(const QString& path, int n, bool drawn)
{
    if (!drawn) {
        PdfFiles::writeWithInfo(path,
                                {{"Title", PdfFiles::utf16(titleOf(n))},
                                 {"Author", PdfFiles::utf16(authorOf(n))},
                                 {"Subject", "(A book for the benchmark)"}},
                                2 + n % 5);
        return;
    }
    {
        QPdfWriter writer(path);
        writer.setResolution(72);
        QPainter painter(&writer);
        painter.fillRect(QRect(60, 80, 470, 500), QColor::fromHsv((n * 37) % 360, 160, 200));
        painter.setFont(QFont("Sans", 26));
        painter.drawText(QRect(60, 600, 470, 160), Qt::AlignCenter | Qt::TextWordWrap, titleOf(n));
        writer.newPage();
        painter.setFont(QFont("Sans", 11));
        painter.drawText(QRect(60, 60, 470, 700), Qt::TextWordWrap, QString("Chapter one. ").repeated(200));
    }
    PdfFiles::addInfo(path, {{"Title", PdfFiles::utf16(titleOf(n))},
                             {"Author", PdfFiles::utf16(authorOf(n))},
                             {"Subject", "(A book for the benchmark)"},
                             {"Keywords", "(benchmark; fiction)"}});
}

void writeEpub(const QString& path, int n)
{
    QImage cover(300, 450, QImage::Format_RGB32);
    cover.fill(QColor::fromHsv((n * 53) % 360, 150, 180));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    cover.save(&buffer, "PNG");
    const QByteArray package =
        QString("<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"2.0\" "
                "unique-identifier=\"id\"><metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                "xmlns:opf=\"http://www.idpf.org/2007/opf\"><dc:title>%1</dc:title>"
                "<dc:creator opf:role=\"aut\">%2</dc:creator><dc:language>en</dc:language>"
                "<dc:publisher>Bench Press</dc:publisher><dc:identifier id=\"id\">urn:uuid:%3</dc:identifier>"
                "<meta name=\"cover\" content=\"cover\"/></metadata><manifest>"
                "<item id=\"cover\" href=\"cover.png\" media-type=\"image/png\"/>"
                "<item id=\"c1\" href=\"c1.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>"
                "<spine><itemref idref=\"c1\"/></spine></package>")
            .arg(titleOf(n), authorOf(n), QUuid::createUuid().toString(QUuid::WithoutBraces))
            .toUtf8();
    ZipWriter::writeEpub(path,
                         {{"content.opf", package},
                          {"cover.png", png},
                          {"c1.xhtml", "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>" +
                                           QByteArray("Words of the chapter. ").repeated(300) + "</p></body></html>"}});
}

void writeBooks(const QString& folder, int count, bool drawn)
{
    QDir().mkpath(folder);
    for (int n = 0; n < count; ++n) {
        const QString stem = folder + QString("/book-%1").arg(n, 6, 10, QChar('0'));
        if (n % 2 == 0) {
            writePdf(stem + ".pdf", n, drawn);
        } else {
            writeEpub(stem + ".epub", n);
        }
    }
}

void openLibrary(LibraryDatabase& library)
{
    const QString dataDir = QDir::homePath() + "/bench-data/";
    QDir().mkpath(dataDir);
    LibrarySettings().setValue("dataDir", dataDir);
    library.open(dataDir);
}
} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 4 && arguments.at(1) == "--write") {
        writeBooks(arguments.at(3), arguments.at(2).toInt(), true);
        return 0;
    }
    LibraryDatabase library;
    openLibrary(library);
    if (arguments.size() >= 3 && arguments.at(1) == "--import") {
        QElapsedTimer clock;
        clock.start();
        CoverMaker covers;
        MultiSelect dialog;
        int imported = 0;
        QObject::connect(&dialog, &MultiSelect::newBookItem, [&](Book* book) {
            covers.request(book->getId());
            ++imported;
            delete book;
        });
        dialog.populateTable(arguments.at(2));
        dialog.findChild<QPushButton*>("btnImportPlain")->click();
        if (!covers.isIdle()) {
            QEventLoop wait;
            QObject::connect(&covers, &CoverMaker::idle, &wait, &QEventLoop::quit);
            wait.exec();
        }
        const double ms = clock.nsecsElapsed() / 1e6;
        std::printf("import of %d books with metadata and covers: %.0f ms, %.2f ms per book\n", imported, ms,
                    ms / std::max(1, imported));
        return 0;
    }
    if (arguments.size() >= 3 && arguments.at(1) == "--list") {
        const int count = arguments.at(2).toInt();
        const QString folder = QDir::homePath() + "/to-list";
        writeBooks(folder, count, false);
        WindowPauses pauses;
        MultiSelect dialog;
        QElapsedTimer clock;
        clock.start();
        pauses.restart();
        dialog.populateTable(folder);
        const qint64 listed = clock.elapsed();
        std::printf("list a folder of %d books, metadata read: %lld ms, %d rows; longest pause %lld ms\n", count,
                    listed, dialog.findChild<QTableWidget*>("tableWidget")->rowCount(), pauses.longest());
        return 0;
    }
    std::fprintf(stderr, "usage: BenchImport --write N FOLDER | --import FOLDER | --list N\n");
    return 2;
}
