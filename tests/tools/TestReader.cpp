#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "Reader.h"
#include "TestEnvironment.h"
#include "ZipWriter.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {
QByteArray chapter(const QString& title)
{
    return QString("<html><body><h1 id='top'>%1</h1><p>Text of %1.</p></body></html>").arg(title).toUtf8();
}

QByteArray ncx(const QList<QPair<QString, QString>>& points, const QString& nested = QString())
{
    QString map;
    int order = 1;
    for (const auto& point : points) {
        map += QString("<navPoint id='p%1' playOrder='%1'><navLabel><text>%2</text></navLabel><content src='%3'/>")
                   .arg(order++)
                   .arg(point.first, point.second);
        if (order == 2 && !nested.isEmpty()) {
            map +=
                QString("<navPoint id='n1'><navLabel><text>%1</text></navLabel><content src='nested.html'/></navPoint>")
                    .arg(nested);
        }
        map += "</navPoint>";
    }
    return QString("<?xml version='1.0' encoding='UTF-8'?><ncx xmlns='http://www.daisy.org/z3986/2005/ncx/' "
                   "version='2005-1'><head/><docTitle><text>A Book</text></docTitle><navMap>%1</navMap></ncx>")
        .arg(map)
        .toUtf8();
}
} // namespace

class TestReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void ncxInSubfolder_listsEveryPointAsATree_andShowsTheFirst();
    void previousAndNext_stopAtTheEnds_andGoOnFromTocJumps();
    void encodedChapterNames_andPictures_show();
    void textAndHtml_showDirectly_withoutToc();
    void sameBookTwice_usesOneFolder();
    void hostileOrBrokenArchives_showAMessageAndWriteNothing_data();
    void hostileOrBrokenArchives_showAMessageAndWriteNothing();
    void epub3WithoutNcx_showsTheFirstSpineItem();
    void window_opensReadableBooksInTheReader_andRemembersThem();
    void reopenedBook_resumesChapterPlaceAndZoom_untilItsFileChanges();
    void spineOrder_lenientChapters_andLinks_showEveryChapter();

private:
    QString bookPath(const QString& name) const { return library->filesDir() + name; }
    QString lirentaTemp() const { return Reader::extractionBase(); }
    std::unique_ptr<LibraryFixture> library;
};

void TestReader::init()
{
    library = std::make_unique<LibraryFixture>();
    QDir(lirentaTemp()).removeRecursively();
}

void TestReader::cleanup()
{
    library.reset();
}

void TestReader::ncxInSubfolder_listsEveryPointAsATree_andShowsTheFirst()
{
    QVERIFY(ZipWriter::writeEpub(
        bookPath("book.epub"),
        {{"Text/toc.ncx", ncx({{"One", "ch1.html#a"}, {"Two", "ch2.html"}, {"One again", "ch1.html#b"}}, "Nested")},
         {"Text/ch1.html", chapter("One")},
         {"Text/ch2.html", chapter("Two")}}));
    Reader reader(nullptr, bookPath("book.epub"));
    QVERIFY2(reader.getProblem().isEmpty(), qPrintable(reader.getProblem()));
    const QString base = reader.getExtractionFolder() + "/OEBPS/Text";
    // The nested point follows its parent; it names a file the book lacks, so it is no chapter.
    QCOMPARE(reader.getTocFiles(),
             QStringList({base + "/ch1.html", base + "/nested.html", base + "/ch2.html", base + "/ch1.html"}));
    QCOMPARE(reader.getChapters(), QStringList({base + "/ch1.html", base + "/ch2.html"}));
    QCOMPARE(reader.currentUrl(), QUrl::fromLocalFile(base + "/ch1.html"));
    const QString toc = reader.findChild<QTextBrowser*>("textBrowser")->toPlainText();
    QVERIFY(toc.startsWith("TABLE OF CONTENTS"));
    QVERIFY(toc.contains("One") && toc.contains("Two") && toc.contains("One again"));
    QVERIFY(toc.contains("One\nNested\nTwo"));
    QVERIFY(reader.findChild<QTextBrowser*>("textBrowser")->toHtml().contains("margin-left:16px"));
}

void TestReader::previousAndNext_stopAtTheEnds_andGoOnFromTocJumps()
{
    QList<ZipWriter::Entry> files;
    QList<QPair<QString, QString>> points;
    for (int i = 0; i < 6; ++i) {
        files.append({QString("ch%1.html").arg(i), chapter(QString::number(i))});
        points.append({QString("Chapter %1").arg(i), QString("ch%1.html").arg(i)});
    }
    files.append({"toc.ncx", ncx(points)});
    QVERIFY(ZipWriter::writeEpub(bookPath("six.epub"), files));
    Reader reader(nullptr, bookPath("six.epub"));
    const QStringList chapters = reader.getChapters();
    QCOMPARE(chapters.size(), 6);
    auto* left = reader.findChild<QToolButton*>("btnLeft");
    auto* right = reader.findChild<QToolButton*>("btnRight");
    left->click();
    QCOMPARE(reader.getChapterIndex(), 0);
    QCOMPARE(reader.currentUrl(), QUrl::fromLocalFile(chapters.at(0)));

    // Next and Previous go on from the chapter a contents entry jumped to.
    reader.tocClicked(QUrl("ch3.html#top"));
    QCOMPARE(reader.currentUrl().fragment(), QString("top"));
    QCOMPARE(reader.currentUrl().toLocalFile(), chapters.at(3));
    right->click();
    QCOMPARE(reader.currentUrl(), QUrl::fromLocalFile(chapters.at(4)));
    reader.tocClicked(QUrl("ch1.html"));
    left->click();
    QCOMPARE(reader.currentUrl(), QUrl::fromLocalFile(chapters.at(0)));
    for (int i = 0; i < 10; ++i) {
        right->click();
    }
    QCOMPARE(reader.getChapterIndex(), 5);
    QCOMPARE(reader.currentUrl(), QUrl::fromLocalFile(chapters.at(5)));
}

void TestReader::encodedChapterNames_andPictures_show()
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    const QByteArray page = "<html xmlns='http://www.w3.org/1999/xhtml'><body><h1>Kapitel</h1>"
                            "<img id='pic' src='Bilder/pic.png'/></body></html>";
    const QString secret = library->writeFile("secret.png", png);
    const QByteArray outside = QString("<html xmlns='http://www.w3.org/1999/xhtml'><body><img id='pic' src='%1'/>"
                                       "</body></html>")
                                   .arg(QUrl::fromLocalFile(secret).toString())
                                   .toUtf8();
    QVERIFY(ZipWriter::writeEpub(bookPath("encoded.epub"),
                                 {{"toc.ncx", ncx({{"Eins", "Kapitel%20%C3%A4.xhtml"}, {"Zwei", "zwei.xhtml"}})},
                                  {QString::fromUtf8("Kapitel ä.xhtml"), page},
                                  {"zwei.xhtml", outside},
                                  {"Bilder/pic.png", png}}));
    Reader reader(nullptr, bookPath("encoded.epub"));
    QVERIFY2(reader.getProblem().isEmpty(), qPrintable(reader.getProblem()));
    QCOMPARE(reader.getChapters().first(), reader.getExtractionFolder() + QString::fromUtf8("/OEBPS/Kapitel ä.xhtml"));
    QCOMPARE(reader.currentUrl().toLocalFile(), reader.getChapters().first());
    auto* view = reader.findChild<QWebEngineView*>("webView");
    const auto naturalWidth = [&]() -> int {
        QVariant width;
        bool done = false;
        view->page()->runJavaScript(
            "var p = document.getElementById('pic'); p ? (p.complete ? p.naturalWidth : -1) : -3",
            QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
                width = value;
                done = true;
            });
        if (!QTest::qWaitFor([&] { return done; }, 5000)) {
            return -2;
        }
        return width.toInt();
    };
    QTRY_COMPARE_WITH_TIMEOUT(naturalWidth(), 40, 10000);
    // A picture outside the book's folder is not loaded: once the chapter has loaded, the
    // picture is done, and empty.
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    reader.findChild<QToolButton*>("btnRight")->click();
    QTRY_COMPARE(reader.currentUrl().toLocalFile(), reader.getChapters().at(1));
    QVERIFY(loaded.wait(10000));
    QCOMPARE(naturalWidth(), 0);
}

void TestReader::textAndHtml_showDirectly_withoutToc()
{
    for (const QString& name : {QString("notes.txt"), QString("page.html"), QString("page.htm")}) {
        const QString path = library->writeFile(name, "hello");
        Reader reader(nullptr, path);
        reader.show();
        QVERIFY(reader.findChild<QTextBrowser*>("textBrowser")->isHidden());
        QVERIFY(reader.findChild<QToolButton*>("toolButton_2")->isHidden());
        QCOMPARE(reader.currentUrl(), QUrl::fromLocalFile(path));
        QVERIFY(reader.getChapters().isEmpty());
    }
    Reader other(nullptr, library->writeFile("book.mobi", "mobi"));
    QVERIFY(other.currentUrl().isEmpty());
}

void TestReader::sameBookTwice_usesOneFolder()
{
    QVERIFY(ZipWriter::writeEpub(bookPath("twice.epub"),
                                 {{"toc.ncx", ncx({{"One", "a.html"}})}, {"a.html", chapter("A")}}));
    QString folder;
    {
        Reader first(nullptr, bookPath("twice.epub"));
        folder = first.getExtractionFolder();
    }
    const QString marker = TestEnvironment::writeFile(folder + "/OEBPS/kept-from-first-open");
    Reader second(nullptr, bookPath("twice.epub"));
    QCOMPARE(second.getExtractionFolder(), folder);
    QVERIFY(QFile::exists(marker));
    QCOMPARE(QDir(lirentaTemp()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    // Unpacked where only the user may look, not in a shared temporary folder.
    QVERIFY(lirentaTemp().startsWith(QDir::homePath()));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions(lirentaTemp()) & others, QFileDevice::Permissions());
}

void TestReader::hostileOrBrokenArchives_showAMessageAndWriteNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("dot-dot entry") << "dotdot";
    QTest::newRow("symbolic link entry") << "link";
    QTest::newRow("not a zip at all") << "garbage";
}

void TestReader::hostileOrBrokenArchives_showAMessageAndWriteNothing()
{
    QFETCH(QString, kind);
    const QString path = bookPath("bad.epub");
    if (kind == "dotdot") {
        QVERIFY(ZipWriter::write(path, {{"a.html", chapter("A")}, {"../../evil.txt", "owned"}}));
    } else if (kind == "link") {
        QVERIFY(ZipWriter::write(path, {{"a.html", chapter("A")}, {"link.html", "/etc/passwd", true}}));
    } else {
        library->writeFile("bad.epub", "this is not a zip file");
    }
    Reader reader(nullptr, path);
    QVERIFY(!reader.getProblem().isEmpty());
    QVERIFY(reader.getChapters().isEmpty());
    QVERIFY(!QFile::exists(QDir::tempPath() + "/evil.txt"));
    QVERIFY(!QFile::exists(lirentaTemp() + "/evil.txt"));
    QVERIFY2(QDir(lirentaTemp()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty(), "no folder is left behind");
}

void TestReader::epub3WithoutNcx_showsTheFirstSpineItem()
{
    const QByteArray opf = "<?xml version='1.0'?><package xmlns='http://www.idpf.org/2007/opf' version='3.0'><manifest>"
                           "<item id='nav' href='nav.xhtml' media-type='application/xhtml+xml' properties='nav'/>"
                           "<item id='c2' href='Text/part%202.xhtml' media-type='application/xhtml+xml'/>"
                           "<item id='c1' href='Text/part1.xhtml' media-type='application/xhtml+xml'/></manifest>"
                           "<spine><itemref idref='c1'/><itemref idref='c2'/></spine></package>";
    const QByteArray nav =
        "<?xml version='1.0'?><html xmlns='http://www.w3.org/1999/xhtml' xmlns:epub='http://www.idpf.org/2007/ops'>"
        "<body><nav epub:type='toc'><ol><li><a href='Text/part1.xhtml'>Part <b>One</b></a>"
        "<ol><li><a href='Text/part1.xhtml#x'>Inner</a></li></ol></li>"
        "<li><a href='Text/part%202.xhtml'>Part Two</a></li></ol></nav></body></html>";
    QVERIFY(ZipWriter::writeEpub(bookPath("three.epub"), {{"content.opf", opf},
                                                          {"nav.xhtml", nav},
                                                          {"Text/part1.xhtml", chapter("One")},
                                                          {"Text/part 2.xhtml", chapter("Two")}}));
    Reader reader(nullptr, bookPath("three.epub"));
    QVERIFY2(reader.getProblem().isEmpty(), qPrintable(reader.getProblem()));
    const QString base = reader.getExtractionFolder() + "/OEBPS";
    QCOMPARE(reader.getChapters(), QStringList({base + "/Text/part1.xhtml", base + "/Text/part 2.xhtml"}));
    QCOMPARE(reader.currentUrl(), QUrl::fromLocalFile(base + "/Text/part1.xhtml"));
    const QString toc = reader.findChild<QTextBrowser*>("textBrowser")->toPlainText();
    QVERIFY(toc.contains("Part One"));
    QVERIFY(toc.contains("Part Two"));
    QVERIFY(toc.contains("Part One\nInner\nPart Two"));
}

// Double-click, File > Open, Recent Files and the command line all end in one reader tab per book.
void TestReader::window_opensReadableBooksInTheReader_andRemembersThem()
{
    const QString name = "The Left Hand of Darkness.epub";
    LibrarySeeder(library->dataDir(), library->filesDir()).addBook({.title = "Left Hand", .fileNames = {name}});
    QVERIFY(
        ZipWriter::writeEpub(bookPath(name), {{"toc.ncx", ncx({{"One", "ch1.html"}})}, {"ch1.html", chapter("One")}}));
    library->library().close();
    auto window = std::make_unique<MainWindow>(library->library());
    window->show();
    auto* tabs = window->findChild<QTabWidget*>("tabWidget");
    auto* table = tabs->widget(0)->findChild<QTableWidget*>("viewTable");
    for (int twice = 0; twice < 2; ++twice) {
        Q_EMIT table->itemDoubleClicked(table->item(0, 0));
        QCOMPARE(tabs->count(), 2);
        QVERIFY(qobject_cast<Reader*>(tabs->currentWidget()));
    }
    QCOMPARE(tabs->tabText(1), QString("The Left Hand\u2026Darkness.epub"));
    QCOMPARE(tabs->tabToolTip(1), bookPath(name));

    // A PDF named on the command line is offered for adding; No adds nothing and reads it.
    const QString pdf = library->writeFile("other.pdf", "%PDF-1.4");
    Prompt::queueAnswer(QMessageBox::No);
    window->openFiles({pdf});
    QVERIFY(Prompt::shownTexts().last().contains("other.pdf"));
    QCOMPARE(LibraryFixture::rowCount("items"), 1);
    QCOMPARE(tabs->tabToolTip(tabs->currentIndex()), pdf);

    // After a restart the book is under File > Recent Files and opens from there.
    window.reset();
    library->library().close();
    window = std::make_unique<MainWindow>(library->library());
    window->show();
    tabs = window->findChild<QTabWidget*>("tabWidget");
    QMenu* recent = window->findChild<QAction*>("actionRecent_Files")->menu();
    Q_EMIT recent->aboutToShow();
    QCOMPARE(recent->actions().at(1)->text(), name);
    recent->actions().at(1)->trigger();
    QCOMPARE(tabs->count(), 2);
    QVERIFY(qobject_cast<Reader*>(tabs->currentWidget()));
    window.reset();
}

void TestReader::reopenedBook_resumesChapterPlaceAndZoom_untilItsFileChanges()
{
    QList<ZipWriter::Entry> files;
    QList<QPair<QString, QString>> points;
    const QByteArray longText = "<p>" + QByteArray("A long paragraph of the chapter. ").repeated(400) + "</p>";
    for (int i = 0; i < 3; ++i) {
        files.append({QString("ch%1.html").arg(i),
                      "<html><body><h1>" + QByteArray::number(i) + "</h1>" + longText + "</body></html>"});
        points.append({QString("Chapter %1").arg(i), QString("ch%1.html").arg(i)});
    }
    files.append({"toc.ncx", ncx(points)});
    LibrarySeeder(library->dataDir(), library->filesDir()).addBook({.title = "Long Book", .fileNames = {"long.epub"}});
    QVERIFY(ZipWriter::writeEpub(bookPath("long.epub"), files));
    const auto waitForLoad = [](Reader& reader) {
        QSignalSpy loaded(reader.findChild<QWebEngineView*>(), &QWebEngineView::loadFinished);
        return loaded.wait(10000);
    };
    // The place is kept as a part of the chapter: the same text at another zoom or width.
    for (const int zoom : {1000, 1500}) {
        {
            Reader reader(nullptr, bookPath("long.epub"));
            reader.resize(900, 600);
            reader.show();
            QVERIFY(waitForLoad(reader));
            reader.tocClicked(QUrl("ch1.html"));
            QVERIFY(waitForLoad(reader));
            reader.findChild<QSlider*>("horizontalSlider")->setValue(zoom);
            reader.findChild<QWebEngineView*>()->page()->runJavaScript(
                "window.scrollTo(0, 0.4 * document.documentElement.scrollHeight);", QWebEngineScript::ApplicationWorld);
            QTRY_VERIFY(qAbs(reader.scrollPosition() - 0.4) < 0.02);
        } // the tab closes
        for (const int width : {900, 500}) {
            // A restart: the library closes and opens again.
            QVERIFY(library->reopen());
            Reader reader(nullptr, bookPath("long.epub"));
            reader.resize(width, 600);
            reader.show();
            QCOMPARE(reader.getChapterIndex(), 1);
            QCOMPARE(reader.zoomFactor(), zoom / 1000.0);
            QTRY_VERIFY_WITH_TIMEOUT(qAbs(reader.scrollPosition() - 0.4) < 0.03, 10000);
        }
    }
    // Another file under the same name starts at the beginning, without a word of complaint.
    files.removeLast();
    QVERIFY(ZipWriter::writeEpub(bookPath("long.epub"), files));
    {
        Reader reader(nullptr, bookPath("long.epub"));
        QVERIFY(reader.getProblem().isEmpty());
        QCOMPARE(reader.getChapterIndex(), 0);
        QCOMPARE(reader.zoomFactor(), 1.0);
    }
}

// A real book's quirks: a cover outside the contents, a chapter that is not well-formed XML,
// links between chapters.
void TestReader::spineOrder_lenientChapters_andLinks_showEveryChapter()
{
    const QByteArray opf =
        "<?xml version='1.0'?><package xmlns='http://www.idpf.org/2007/opf' version='2.0'><manifest>"
        "<item id='cover' href='cover.xhtml' media-type='application/xhtml+xml'/>"
        "<item id='c1' href='ch1.xhtml' media-type='application/xhtml+xml'/>"
        "<item id='c2' href='ch2.xhtml' media-type='application/xhtml+xml'/>"
        "<item id='c3' href='ch3.xhtml' media-type='application/xhtml+xml'/>"
        "<item id='ncx' href='toc.ncx' media-type='application/x-dtbncx+xml'/></manifest>"
        "<spine toc='ncx'><itemref idref='cover'/><itemref idref='c1'/><itemref idref='c2'/><itemref idref='c3'/>"
        "</spine></package>";
    const auto xhtml = [](const QByteArray& body) {
        return "<?xml version='1.0' encoding='utf-8'?><html xmlns='http://www.w3.org/1999/xhtml'><body>" + body +
               "</body></html>";
    };
    QVERIFY(ZipWriter::writeEpub(
        bookPath("quirks.epub"),
        {{"content.opf", opf},
         {"toc.ncx", ncx({{"One", "ch1.xhtml"}, {"Two", "ch2.xhtml"}, {"Three", "ch3.xhtml"}})},
         {"cover.xhtml", xhtml("<h1>Cover page</h1>")},
         {"ch1.xhtml", xhtml("<h1>One</h1><p><a id='go' href='ch3.xhtml#end'>to the end</a></p>")},
         // Named entities XHTML does not declare, and markup typed as text.
         {"ch2.xhtml", xhtml("<h1>Two</h1><p>Caf&eacute;&nbsp;noir. Copyright <year> <name of author></p>")},
         {"ch3.xhtml", xhtml("<h1 id='end'>Three</h1><p><a id='back' href='ch2.xhtml'>back</a></p>")}}));
    Reader reader(nullptr, bookPath("quirks.epub"));
    reader.show();
    auto* view = reader.findChild<QWebEngineView*>();
    const QString base = reader.getExtractionFolder() + "/OEBPS/";
    QCOMPARE(reader.getChapters(),
             QStringList({base + "cover.xhtml", base + "ch1.xhtml", base + "ch2.xhtml", base + "ch3.xhtml"}));
    const auto pageText = [view] {
        QString text;
        bool done = false;
        view->page()->toPlainText([&](const QString& plain) {
            text = plain;
            done = true;
        });
        return QTest::qWaitFor([&] { return done; }, 10000) ? text : QString();
    };
    // Every chapter shows its text, never the engine's parse-error page; the cover comes first.
    const QStringList headings = {"Cover page", "One", "Two", "Three"};
    for (int i = 0; i < headings.size(); ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(pageText().contains(headings.at(i)), 10000);
        QVERIFY(!pageText().contains("following errors"));
        QCOMPARE(reader.getChapterIndex(), i);
        if (i == 2) {
            QVERIFY(pageText().contains(QString("Café\u00a0noir. Copyright")));
        }
        reader.findChild<QToolButton*>("btnRight")->click();
    }

    // After a link inside a chapter, Previous counts from the chapter it led to; a link into the
    // malformed chapter shows it too.
    reader.tocClicked(QUrl("ch1.xhtml"));
    QTRY_VERIFY(pageText().contains("to the end"));
    view->page()->runJavaScript("document.getElementById('go').click();", QWebEngineScript::ApplicationWorld);
    QTRY_COMPARE(reader.getChapterIndex(), 3);
    view->page()->runJavaScript("document.getElementById('back').click();", QWebEngineScript::ApplicationWorld);
    QTRY_COMPARE(reader.getChapterIndex(), 2);
    QTRY_VERIFY(pageText().contains("Café"));
    reader.findChild<QToolButton*>("btnLeft")->click();
    QTRY_VERIFY(pageText().contains("to the end"));
}

LIRENTA_TEST_MAIN(TestReader)
#include "TestReader.moc"
