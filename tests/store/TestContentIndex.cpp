#include "Book.h"
#include "ContentIndex.h"
#include "ContentIndexer.h"
#include "ContentSnippets.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "PdfFiles.h"
#include "QtModules.h"
#include "ZipWriter.h"

namespace {
QByteArray xhtml(const QByteArray& body)
{
    return "<?xml version='1.0' encoding='utf-8'?><html xmlns='http://www.w3.org/1999/xhtml'><body>" + body +
           "</body></html>";
}

// Chapters listed in the manifest in another order than they are read in.
bool writeChapteredEpub(const QString& path, const QList<QByteArray>& chapters)
{
    QByteArray manifest;
    QByteArray spine;
    QList<ZipWriter::Entry> files;
    for (int index = int(chapters.size()) - 1; index >= 0; --index) {
        manifest += QString("<item id='c%1' href='c%1.xhtml' media-type='application/xhtml+xml'/>").arg(index).toUtf8();
    }
    for (int index = 0; index < chapters.size(); ++index) {
        spine += QString("<itemref idref='c%1'/>").arg(index).toUtf8();
        files.append({QString("c%1.xhtml").arg(index), xhtml(chapters.at(index))});
    }
    files.append({"content.opf", "<?xml version='1.0'?><package xmlns='http://www.idpf.org/2007/opf' "
                                 "version='2.0'><manifest>" +
                                     manifest + "</manifest><spine>" + spine + "</spine></package>"});
    return ZipWriter::writeEpub(path, files);
}
} // namespace

// Searching inside books through the library as the window does it: real PDF, EPUB and text
// files, read by the indexer's own thread into content-index.db.
class TestContentIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void words_areFoundOnTheirPageOrChapter_ignoringCaseAccentsAndLineBreaks();
    void changedDeletedAndLostFiles_keepTheIndexTrue();
    void scansAndDamagedFiles_areMarked_andSkippedWithANotice();
    void pausing_holdsAcrossARestart();

private:
    int addBook(const QString& title, const QString& fileName);
    // Starts (or nudges) the indexer and waits until it has nothing left to read.
    void indexAll();
    QStringList found(const QString& terms);
    QSet<QString> foundSet(const QString& terms)
    {
        const QStringList names = found(terms);
        return QSet<QString>(names.begin(), names.end());
    }
    QString titleOf(int iid) const { return titles.value(iid); }

    std::unique_ptr<LibraryFixture> library;
    QHash<int, QString> titles;
};

void TestContentIndex::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
    titles.clear();
    QSettings().remove("contentIndex/paused");
}

void TestContentIndex::cleanup()
{
    library.reset();
    QSettings().remove("contentIndex/paused");
}

int TestContentIndex::addBook(const QString& title, const QString& fileName)
{
    const int iid =
        LibrarySeeder(library->dataDir(), library->filesDir()).addBook({.title = title, .fileNames = {fileName}});
    titles.insert(iid, title);
    return iid;
}

void TestContentIndex::indexAll()
{
    ContentIndexer& indexer = library->library().contentIndexer();
    QSignalSpy finished(&indexer, &ContentIndexer::finished);
    if (indexer.isRunning()) {
        indexer.rescan();
    } else {
        library->library().startContentIndexing();
    }
    QVERIFY(finished.wait(20000));
}

QStringList TestContentIndex::found(const QString& terms)
{
    QStringList names;
    for (const int iid : library->library().findInsideBooks(terms, "Book")) {
        names << titleOf(iid);
    }
    return names;
}

void TestContentIndex::words_areFoundOnTheirPageOrChapter_ignoringCaseAccentsAndLineBreaks()
{
    const int report = addBook("Report", "report.pdf");
    const int novel = addBook("Novel", "novel.epub");
    const int notes = addBook("Notes", "notes.txt");
    QStringList pages;
    for (int page = 0; page < 12; ++page) {
        pages << QString("Page %1 of the report.").arg(page + 1);
    }
    pages[4] = "The Café Müller opened in Wuppertal. A quick brown fox.";
    pages[9] = "Page 10 holds a needle.\nAn encyclo-\npedia of every haystack.";
    QVERIFY(PdfFiles::writeTextPages(library->filesDir() + "report.pdf", pages));
    QVERIFY(writeChapteredEpub(library->filesDir() + "novel.epub",
                               {"<h1>Cover</h1>", "<p>A <b>fox</b>, quick and <i>brown</i>.</p>",
                                "<p>The needle lay in the HAYSTACK.</p>", "<p>图书馆里有很多书。日本語の本。</p>"}));
    library->writeFile("notes.txt", "Nothing but a haystack here, and ÉLAN.\n");
    indexAll();

    // Every word must be there; quoted words are a phrase, in that order.
    QCOMPARE(foundSet("haystack"), QSet<QString>({"Report", "Novel", "Notes"}));
    QCOMPARE(foundSet("needle haystack"), QSet<QString>({"Report", "Novel"}));
    QCOMPARE(found("\"quick brown fox\""), QStringList({"Report"}));
    QCOMPARE(foundSet("fox quick"), QSet<QString>({"Report", "Novel"}));
    QCOMPARE(found("needle zeppelin"), QStringList());
    // Capitals, accents, a word broken at a line end, Chinese and Japanese without spaces.
    QCOMPARE(found("cafe MULLER"), QStringList({"Report"}));
    QCOMPARE(found("élan"), QStringList({"Notes"}));
    QCOMPARE(found("Encyclopedia"), QStringList({"Report"}));
    QCOMPARE(found("图书馆"), QStringList({"Novel"}));
    QCOMPARE(found("书"), QStringList({"Novel"}));
    QCOMPARE(found("本語"), QStringList({"Novel"}));
    QCOMPARE(found("图馆"), QStringList());
    // Words on too many pages to rank: the same books, unranked.
    library->library().contentIndex().setRankedRows(1);
    QCOMPARE(foundSet("haystack"), QSet<QString>({"Report", "Novel", "Notes"}));
    QCOMPARE(found("\"quick brown fox\""), QStringList({"Report"}));
    QCOMPARE(library->library().contentIndex().find("haystack", 1).size(), 1);
    // ...and a book's places in page order; ranked, the short last run of pages comes first.
    QCOMPARE(library->library().contentIndex().bestParts(report, "report").first().number, 0);
    library->library().contentIndex().setRankedRows(10000);
    QCOMPARE(library->library().contentIndex().bestParts(report, "report").first().number, 10);

    // The page and chapter a hit names, and its snippet marks the words.
    ContentIndex& index = library->library().contentIndex();
    const QList<ContentIndex::Hit> onPage = index.bestParts(report, "needle");
    QCOMPARE(onPage.size(), 1);
    QCOMPARE(onPage.first().kind, ContentText::Kind::Page);
    const QList<ContentSnippets::Snippet> needles =
        ContentSnippets::make(library->filesDir() + "report.pdf", onPage, {"needle"});
    QCOMPARE(needles.size(), 1);
    QCOMPARE(needles.first().hit.number, 9);
    const QList<ContentIndex::Hit> inChapter = index.bestParts(novel, "haystack");
    QCOMPARE(inChapter.size(), 1);
    QCOMPARE(inChapter.first().kind, ContentText::Kind::Chapter);
    QCOMPARE(inChapter.first().number, 2);
    QCOMPARE(index.bestParts(notes, "haystack").first().kind, ContentText::Kind::Whole);
    const QList<ContentSnippets::Snippet> snippets =
        ContentSnippets::make(library->filesDir() + "report.pdf", index.bestParts(report, "cafe"), {"cafe"});
    QCOMPARE(snippets.size(), 1);
    QVERIFY2(snippets.first().html.contains("<b>Café</b> Müller"), qPrintable(snippets.first().html));
    QVERIFY(ContentSnippets::make(library->filesDir() + "report.pdf", onPage, {"Encyclopedia"})
                .first()
                .html.endsWith("An <b>encyclopedia</b> of every haystack."));
    QCOMPARE(ContentSnippets::around("a <b> & c needle", {"needle"}), QString("a &lt;b&gt; &amp; c <b>needle</b>"));
}

void TestContentIndex::changedDeletedAndLostFiles_keepTheIndexTrue()
{
    addBook("Kept", "kept.txt");
    const int changed = addBook("Changed", "changed.txt");
    const int gone = addBook("Gone", "gone.txt");
    library->writeFile("kept.txt", "an orchard of apples");
    library->writeFile("changed.txt", "apples and pears");
    library->writeFile("gone.txt", "apples again");
    indexAll();
    QCOMPARE(found("apples").size(), 3);

    // A file replaced (another size) is read again; a deleted book's hits go.
    library->writeFile("changed.txt", "now only plums, a longer text than before");
    Book doomed(nullptr, gone);
    QVERIFY(doomed.deleteBook());
    indexAll();
    QCOMPARE(found("apples"), QStringList({"Kept"}));
    QCOMPARE(found("plums"), QStringList({"Changed"}));
    QVERIFY(!library->library().contentIndex().entry(gone).has_value());
    QCOMPARE(library->library().contentIndex().entry(changed)->state, ContentIndex::State::Indexed);

    // The index file deleted while the program runs: searches find nothing wrong, and the
    // next round fills a fresh file.
    const QString path = ContentIndex::pathIn(library->dataDir());
    for (const char* suffix : {"", "-wal", "-shm"}) {
        QFile::remove(path + suffix);
    }
    QCOMPARE(found("apples"), QStringList());
    indexAll();
    QVERIFY(QFile::exists(path));
    QCOMPARE(found("apples"), QStringList({"Kept"}));
    QCOMPARE(found("plums"), QStringList({"Changed"}));

    // Another library's index beside this one is not trusted.
    library->library().contentIndexer().stop();
    library->library().close();
    QFile::remove(path);
    {
        ContentIndex other("other-library");
        QVERIFY(other.open(path, "someone-else"));
        ContentText::Result result;
        result.outcome = ContentText::Outcome::Read;
        result.parts = {{ContentText::Kind::Whole, 0, "apples of another library"}};
        QVERIFY(other.store(changed, {1, 1, "x"}, result));
    }
    QVERIFY(library->reopen());
    QCOMPARE(found("apples"), QStringList());
    indexAll();
    QCOMPARE(found("apples"), QStringList({"Kept"}));
}

void TestContentIndex::scansAndDamagedFiles_areMarked_andSkippedWithANotice()
{
    const int scan = addBook("Scan", "scan.pdf");
    const int damaged = addBook("Damaged", "damaged.pdf");
    const int empty = addBook("Empty", "empty.epub");
    addBook("Fine", "fine.txt");
    QVERIFY(PdfFiles::writeWithInfo(library->filesDir() + "scan.pdf", {}, 3));
    library->writeFile("damaged.pdf", "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 9 0 R >> garbage");
    library->writeFile("empty.epub", "PK\x03\x04 not really a zip");
    library->writeFile("fine.txt", "plain words");

    QSignalSpy skipped(&library->library().contentIndexer(), &ContentIndexer::skipped);
    indexAll();
    ContentIndex& index = library->library().contentIndex();
    QCOMPARE(index.entry(scan)->state, ContentIndex::State::NoText);
    QCOMPARE(index.entry(damaged)->state, ContentIndex::State::Skipped);
    QVERIFY(!index.entry(damaged)->note.isEmpty());
    QCOMPARE(index.entry(empty)->state, ContentIndex::State::Skipped);
    QCOMPARE(skipped.size(), 2);
    QCOMPARE(found("words"), QStringList({"Fine"}));
    // Read once: a second round leaves them be.
    skipped.clear();
    indexAll();
    QCOMPARE(skipped.size(), 0);
}

void TestContentIndex::pausing_holdsAcrossARestart()
{
    addBook("First", "first.txt");
    library->writeFile("first.txt", "lighthouse keeper");
    ContentIndexer& indexer = library->library().contentIndexer();
    indexer.setPaused(true);
    indexAll();
    QCOMPARE(found("lighthouse"), QStringList());

    QVERIFY(library->reopen());
    QVERIFY(library->library().contentIndexer().isPaused());
    indexAll();
    QCOMPARE(found("lighthouse"), QStringList());

    // Resumed, it goes on by itself.
    QSignalSpy finished(&library->library().contentIndexer(), &ContentIndexer::finished);
    library->library().contentIndexer().setPaused(false);
    QVERIFY(finished.wait(20000));
    QCOMPARE(found("lighthouse"), QStringList({"First"}));
    QCOMPARE(library->library().contentIndexer().doneCount(), 1);
    QCOMPARE(library->library().contentIndexer().totalCount(), 1);
}

QTEST_MAIN(TestContentIndex)
#include "TestContentIndex.moc"
