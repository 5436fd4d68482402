#include "BookCovers.h"
#include "CoverLoader.h"
#include "CoverMaker.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "MainWindow.h"
#include "QtModules.h"
#include "TestEnvironment.h"
#include "ZipWriter.h"

namespace {
// A PDF whose first page has a red block in its middle, white around it.
void writePdf(const QString& path, bool blank = false)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    QPainter painter(&writer);
    if (!blank) {
        painter.fillRect(QRect(150, 200, 300, 400), Qt::red);
    }
    writer.newPage();
    painter.drawText(QPoint(100, 100), "second page");
}

QByteArray png(const QColor& color)
{
    QImage image(40, 60, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A package whose cover is in a folder beside the package document: EPUB 3 marks it in the
// manifest, EPUB 2 names its manifest item in a <meta>.
bool writeEpub(const QString& path, const QByteArray& image, bool epub3)
{
    const QByteArray container = "<?xml version='1.0'?><container version='1.0' "
                                 "xmlns='urn:oasis:names:tc:opendocument:xmlns:container'><rootfiles><rootfile "
                                 "full-path='book/package.opf' media-type='application/oebps-package+xml'/>"
                                 "</rootfiles></container>";
    const QByteArray cover = epub3 ? "<item id='pic' href='images/front%20cover.png' media-type='image/png' "
                                     "properties='cover-image'/>"
                                   : "<item id='pic' href='images/front%20cover.png' media-type='image/png'/>";
    const QByteArray meta = epub3 ? "" : "<metadata><meta name='cover' content='pic'/></metadata>";
    const QByteArray opf = "<?xml version='1.0'?><package xmlns='http://www.idpf.org/2007/opf' version='" +
                           QByteArray(epub3 ? "3.0" : "2.0") + "'>" + meta +
                           "<manifest><item id='c1' href='text/c1.xhtml' media-type='application/xhtml+xml'/>" + cover +
                           "</manifest><spine><itemref idref='c1'/></spine></package>";
    return ZipWriter::write(path, {{"mimetype", "application/epub+zip"},
                                   {"META-INF/container.xml", container},
                                   {"book/package.opf", opf},
                                   {"book/text/c1.xhtml", "<html><body>One</body></html>"},
                                   {"book/images/front cover.png", image}});
}
} // namespace

class TestCoverMaker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { library = std::make_unique<LibraryFixture>(); }
    void cleanup() { library.reset(); }
    void pictures_fromPdfsAndEpubs_orAReason();
    void window_makesMissingCovers_andLeavesOwnCoversAlone();

private:
    std::unique_ptr<LibraryFixture> library;
};

void TestCoverMaker::pictures_fromPdfsAndEpubs_orAReason()
{
    const QString pdf = library->filesDir() + "red.pdf";
    QDir().mkpath(library->filesDir());
    writePdf(pdf);
    QString problem;
    const QImage page = CoverMaker::firstPage(pdf, &problem);
    QVERIFY2(!page.isNull(), qPrintable(problem));
    // The white margins are gone: what is left is the red block, in the page's proportions.
    QVERIFY(qAbs(double(page.width()) / page.height() - 0.75) < 0.05);
    QCOMPARE(QColor(page.pixel(page.width() / 2, page.height() / 2)).red() > 200, true);
    QCOMPARE(QColor(page.pixel(2, 2)).green() < 60, true);
    // Trimmed to exactly the ink, wherever it lies in the rows.
    QImage scattered(50, 40, QImage::Format_RGB32);
    scattered.fill(Qt::white);
    for (const QPoint ink : {QPoint(30, 5), QPoint(7, 12), QPoint(20, 33), QPoint(33, 20)}) {
        scattered.setPixel(ink, qRgb(0, 0, 0));
    }
    const QImage inked = CoverMaker::trimmed(scattered);
    QCOMPARE(inked.size(), QSize(27, 29));
    QCOMPARE(inked.pixel(0, 7), qRgb(0, 0, 0));
    QCOMPARE(inked.pixel(26, 15), qRgb(0, 0, 0));

    // EPUB 2 names the cover's item in a <meta>; EPUB 3 marks it in the manifest.
    const QString epub2 = library->filesDir() + "two.epub";
    QVERIFY(writeEpub(epub2, png(Qt::blue), false));
    QCOMPARE(QColor(CoverMaker::coverImage(epub2, &problem).pixel(5, 5)), QColor(Qt::blue));
    const QString epub3 = library->filesDir() + "three.epub";
    QVERIFY(writeEpub(epub3, png(Qt::green), true));
    const QImage three = CoverMaker::coverImage(epub3, &problem);
    QCOMPARE(three.size(), QSize(40, 60));
    QCOMPARE(QColor(three.pixel(5, 5)), QColor(Qt::green));
    // A package that names no cover gives none.
    const QString plain = library->filesDir() + "plain.epub";
    QVERIFY(ZipWriter::writeEpub(plain, {{"cover.png", png(Qt::blue)}}));
    QVERIFY(CoverMaker::coverImage(plain, &problem).isNull());
    QCOMPARE(problem, QString("the EPUB names no cover image"));

    // Files with nothing to show give a reason, never a crash.
    const QString broken = library->writeFile("broken.pdf", "%PDF-1.4 this is not really a PDF");
    QVERIFY(CoverMaker::coverImage(broken, &problem).isNull());
    QVERIFY(problem.contains("not a readable PDF"));
    const QString blank = library->filesDir() + "blank.pdf";
    writePdf(blank, true);
    QVERIFY(CoverMaker::coverImage(blank, &problem).isNull());
    QCOMPARE(problem, QString("the first page is empty"));
    QVERIFY(CoverMaker::coverImage(library->writeFile("notes.txt", "words"), &problem).isNull());
}

void TestCoverMaker::window_makesMissingCovers_andLeavesOwnCoversAlone()
{
    LibrarySeeder seeder(library->dataDir(), library->filesDir());
    const int red = seeder.addBook({.title = "Red", .authors = {"A. Painter"}, .fileNames = {"red.pdf"}});
    writePdf(library->filesDir() + "red.pdf");
    const int own =
        seeder.addBook({.title = "Own Cover", .fileNames = {"own.pdf"}, .coverColor = QColor(Qt::darkBlue)});
    writePdf(library->filesDir() + "own.pdf");
    const int broken = seeder.addBook({.title = "Broken", .fileNames = {"broken.pdf"}});
    const int green = seeder.addBook({.title = "Green", .fileNames = {"green.epub"}});
    QVERIFY(writeEpub(library->filesDir() + "green.epub", png(Qt::green), true));
    const QString ownCover =
        LibraryFixture::scalar(QString("SELECT coverFile FROM items WHERE iid = %1").arg(own)).toString();
    // A cover of its own on a drive that is not mounted now, and one stored where the library
    // folder was before it moved here.
    const int unmounted = seeder.addBook({.title = "Unmounted", .fileNames = {"unmounted.pdf"}});
    writePdf(library->filesDir() + "unmounted.pdf");
    QVERIFY(BookCovers::record(unmounted, "/media/absent-drive/covers/99.jpg"));
    const int moved = seeder.addBook({.title = "Moved", .fileNames = {"moved.pdf"}, .coverColor = QColor(Qt::red)});
    const QString movedCover = library->dataDir() + QString::number(moved) + ".jpg";
    const QString before = "/old/place/of/the/library/" + QString::number(moved) + ".jpg";
    QVERIFY(BookCovers::record(moved, before));
    QCOMPARE(BookCovers::located(before), movedCover);
    QCOMPARE(BookCovers::withoutCover(), QList<int>({red, broken, green}));
    library->library().close();

    MainWindow window(library->library());
    window.show();
    window.findChild<QAction*>("actionMakeCovers")->trigger();
    const auto coverOf = [](int iid) {
        return LibraryFixture::scalar(QString("SELECT coverFile FROM items WHERE iid = %1").arg(iid)).toString();
    };
    QCOMPARE(coverOf(red), library->dataDir() + QString::number(red) + ".jpg");
    QVERIFY(!QImage(coverOf(red)).isNull());
    QCOMPARE(coverOf(green), library->dataDir() + QString::number(green) + ".jpg");
    QCOMPARE(coverOf(own), ownCover);
    // A book saved or imported asks for its cover: one of its own, though missing, stays.
    CoverMaker maker;
    QSignalSpy ended(&maker, &CoverMaker::jobEnded);
    maker.request(unmounted);
    QTRY_COMPARE(ended.size(), 1);
    QVERIFY(maker.isIdle());
    QCOMPARE(coverOf(unmounted), QString("/media/absent-drive/covers/99.jpg"));
    QCOMPARE(coverOf(moved), before);
    // The moved library's cover shows in the grid and the panel.
    QCOMPARE(CoverLoader::scaledCover(before).pixelColor(20, 20).red() > 200, true);
    QVERIFY(coverOf(broken).isEmpty() || coverOf(broken).startsWith(":"));
    QCOMPARE(BookCovers::withoutCover(), QList<int>({broken}));
}

LIRENTA_TEST_MAIN(TestCoverMaker)
#include "TestCoverMaker.moc"
