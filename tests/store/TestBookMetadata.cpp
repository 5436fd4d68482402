#include "BookMetadata.h"
#include "PdfFiles.h"
#include "QtModules.h"
#include "TestEnvironment.h"
#include "ZipWriter.h"

// What book files say about themselves, read from real files made here.
class TestBookMetadata : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pdf_informationDictionary_data();
    void pdf_informationDictionary();
    void epub_packageDocument_data();
    void epub_packageDocument();
    void mobi_exthHeader();
    void textAndHtml_titles();
    void brokenEncryptedAndHostileFiles_giveNothingAndANote_data();
    void brokenEncryptedAndHostileFiles_giveNothingAndANote();
    void isbns_needAValidCheckDigit_data();
    void isbns_needAValidCheckDigit();

private:
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    static QString authorsOf(const BookMetadata& metadata);
    static QByteArray opf(const QByteArray& metadata, const QByteArray& packageAttributes = "version=\"2.0\"");
    QTemporaryDir dir;
};

QString TestBookMetadata::authorsOf(const BookMetadata& metadata)
{
    QStringList names;
    for (const BookMetadata::Author& author : metadata.authors) {
        names << (author.fileAs.isEmpty() ? author.name : author.name + " (" + author.fileAs + ")");
    }
    return names.join("; ");
}

QByteArray TestBookMetadata::opf(const QByteArray& metadata, const QByteArray& packageAttributes)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><package xmlns=\"http://www.idpf.org/2007/opf\" " +
           packageAttributes +
           "><metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:opf=\"http://www.idpf.org/2007/opf\">" +
           metadata + "</metadata><manifest/><spine/></package>";
}

void TestBookMetadata::pdf_informationDictionary_data()
{
    QTest::addColumn<QList<std::pair<QByteArray, QByteArray>>>("info");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("authors");
    QTest::addColumn<QString>("pages");
    QTest::addColumn<QStringList>("tags");
    QTest::newRow("plain text") << QList<std::pair<QByteArray, QByteArray>>{{"Title", "(GNU GPL v2)"},
                                                                            {"Author", "(Free Software Foundation)"},
                                                                            {"Subject", "(The licence)"},
                                                                            {"Keywords", "(licence; software)"},
                                                                            {"CreationDate", "(D:19910601120000Z)"}}
                                << "OReilly_Sons_1_GPL_2.pdf"
                                << "GNU GPL v2"
                                << "Free Software Foundation"
                                << "29" << QStringList{"licence", "software"};
    QTest::newRow("UTF-16 with a byte-order mark, two authors")
        << QList<std::pair<QByteArray, QByteArray>>{{"Title", PdfFiles::utf16("Élan vital: ein Über-Buch")},
                                                    {"Author", PdfFiles::utf16("Anne Ärger; Bo Øst")}}
        << "x.pdf"
        << "Élan vital: ein Über-Buch"
        << "Anne Ärger; Bo Øst"
        << "29" << QStringList();
    QTest::newRow("a title in Greek and Japanese")
        << QList<std::pair<QByteArray, QByteArray>>{{"Title", PdfFiles::utf16("Οδύσσεια 日本語の本")}} << "y.pdf"
        << "Οδύσσεια 日本語の本"
        << ""
        << "29" << QStringList();
    QTest::newRow("values that say nothing")
        << QList<std::pair<QByteArray, QByteArray>>{{"Title", "(Microsoft Word - report.doc)"},
                                                    {"Author", "(Administrator)"}}
        << "report.pdf"
        << ""
        << ""
        << "29" << QStringList();
    QTest::newRow("the title is the file's name")
        << QList<std::pair<QByteArray, QByteArray>>{{"Title", "(scan_0001.pdf)"}, {"Author", "(user)"}}
        << "scan_0001.pdf"
        << ""
        << ""
        << "29" << QStringList();
    QTest::newRow("untitled, and blanks")
        << QList<std::pair<QByteArray, QByteArray>>{{"Title", "(Untitled-3)"}, {"Author", "(   )"}} << "z.pdf"
        << ""
        << ""
        << "29" << QStringList();
}

void TestBookMetadata::pdf_informationDictionary()
{
    using Info = QList<std::pair<QByteArray, QByteArray>>;
    QFETCH(Info, info);
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QFETCH(QString, authors);
    QFETCH(QString, pages);
    QFETCH(QStringList, tags);
    QVERIFY(PdfFiles::writeWithInfo(path(fileName), info, 29));
    const BookMetadata read = BookMetadata::read(path(fileName));
    QCOMPARE(read.title, title);
    QCOMPARE(authorsOf(read), authors);
    QCOMPARE(read.pages, pages);
    QCOMPARE(read.tags, tags);
    QVERIFY2(read.note.isEmpty(), qPrintable(read.note));
    if (QTest::currentDataTag() == QLatin1String("plain text")) {
        QCOMPARE(read.description, QString("The licence"));
        QCOMPARE(read.date, QString("1991-06-01"));
    }
}

void TestBookMetadata::epub_packageDocument_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("authors");
    QTest::addColumn<QString>("isbns");
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("details"); // publisher | date | language | description | tags
    QTest::newRow("EPUB 2: an editor, file-as, calibre's series")
        << opf("<dc:title>Dune Messiah</dc:title>"
               "<dc:creator opf:role=\"aut\" opf:file-as=\"Herbert, Frank\">Frank Herbert</dc:creator>"
               "<dc:creator opf:role=\"edt\">Ed Itor</dc:creator>"
               "<dc:creator>Brian Herbert</dc:creator>"
               "<dc:identifier opf:scheme=\"uuid\">f7c4c7c0-1111-2222-3333-444455556666</dc:identifier>"
               "<dc:identifier opf:scheme=\"ISBN\">978-0-593-09823-3</dc:identifier>"
               "<dc:identifier>0441172695</dc:identifier>"
               "<dc:publisher>Putnam</dc:publisher><dc:date>1969-10-15T00:00:00+00:00</dc:date>"
               "<dc:language>en-US</dc:language>"
               "<dc:description>&lt;p&gt;The &lt;b&gt;sequel&lt;/b&gt; to &lt;i&gt;Dune&lt;/i&gt;.&lt;/p&gt;"
               "</dc:description><dc:subject>Science Fiction</dc:subject><dc:subject>Classics</dc:subject>"
               "<meta name=\"calibre:series\" content=\"Dune Chronicles\"/>"
               "<meta name=\"calibre:series_index\" content=\"2.0\"/>")
        << "Dune Messiah"
        << "Frank Herbert (Herbert, Frank); Brian Herbert"
        << "9780593098233 0441172695"
        << "Dune Chronicles 2"
        << "Putnam | 1969-10-15 | en | The sequel to Dune. | Science Fiction, Classics";
    QTest::newRow("EPUB 3: refined roles, file-as, a collection")
        << opf("<dc:title id=\"sub\">A Subtitle</dc:title><dc:title id=\"t\">The Left Hand of Darkness</dc:title>"
               "<meta refines=\"#t\" property=\"title-type\">main</meta>"
               "<meta refines=\"#sub\" property=\"title-type\">subtitle</meta>"
               "<dc:creator id=\"c1\">Ursula K. Le Guin</dc:creator>"
               "<meta refines=\"#c1\" property=\"role\" scheme=\"marc:relators\">aut</meta>"
               "<meta refines=\"#c1\" property=\"file-as\">Le Guin, Ursula K.</meta>"
               "<dc:creator id=\"c2\">Tran Slator</dc:creator>"
               "<meta refines=\"#c2\" property=\"role\" scheme=\"marc:relators\">trl</meta>"
               "<dc:identifier id=\"id\">urn:isbn:9780441478125</dc:identifier>"
               "<meta property=\"belongs-to-collection\" id=\"set\">Hainish Cycle</meta>"
               "<meta refines=\"#set\" property=\"collection-type\">series</meta>"
               "<meta refines=\"#set\" property=\"group-position\">4</meta>",
               "version=\"3.0\"")
        << "The Left Hand of Darkness"
        << "Ursula K. Le Guin (Le Guin, Ursula K.)"
        << "9780441478125"
        << "Hainish Cycle 4"
        << " |  |  |  | ";
    QTest::newRow("no metadata at all") << opf("") << ""
                                        << ""
                                        << ""
                                        << ""
                                        << " |  |  |  | ";
    QTest::newRow("identifiers that are no ISBN")
        << opf("<dc:title>Untitled</dc:title><dc:identifier>9780593098236</dc:identifier>"
               "<dc:identifier>urn:uuid:1234567890</dc:identifier><dc:creator>Unknown</dc:creator>")
        << ""
        << ""
        << ""
        << ""
        << " |  |  |  | ";
}

void TestBookMetadata::epub_packageDocument()
{
    QFETCH(QByteArray, package);
    QFETCH(QString, title);
    QFETCH(QString, authors);
    QFETCH(QString, isbns);
    QFETCH(QString, series);
    QFETCH(QString, details);
    QVERIFY(ZipWriter::writeEpub(path("book.epub"), {{"content.opf", package}}));
    const BookMetadata read = BookMetadata::read(path("book.epub"));
    QCOMPARE(read.title, title);
    QCOMPARE(authorsOf(read), authors);
    QCOMPARE(QStringList({read.isbn13, read.isbn10}).join(' ').trimmed(), isbns);
    QCOMPARE(read.series.isEmpty() ? QString() : read.series + " " + QString::number(read.seriesNumber), series);
    QCOMPARE(
        QStringList({read.publisher, read.date, read.language, read.description, read.tags.join(", ")}).join(" | "),
        details);
}

// A MOBI file: the PalmDB header, then the first record with its MOBI and EXTH headers.
void TestBookMetadata::mobi_exthHeader()
{
    const auto be32 = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    QByteArray exthRecords;
    int records = 0;
    for (const auto& [type, value] : QList<std::pair<quint32, QByteArray>>{{100, "Ann Leckie"},
                                                                           {101, "Orbit"},
                                                                           {104, "978-0-316-24662-0"},
                                                                           {503, "Ancillary Justice"},
                                                                           {100, "Administrator"}}) {
        exthRecords += be32(type) + be32(quint32(value.size() + 8)) + value;
        ++records;
    }
    const QByteArray exth = "EXTH" + be32(quint32(12 + exthRecords.size())) + be32(records) + exthRecords;
    QByteArray mobi = "MOBI" + be32(232) + be32(2) + be32(65001);
    mobi.resize(232, '\0');
    const quint32 fullNameOffset = 16 + 232 + quint32(exth.size());
    mobi.replace(84 - 16, 4, be32(fullNameOffset));
    mobi.replace(88 - 16, 4, be32(11));
    mobi.replace(128 - 16, 4, be32(0x40));
    const QByteArray record0 = QByteArray(16, '\0') + mobi + exth + "Short Title" + QByteArray(8, '\0');
    QByteArray palm("ancillary", 9);
    palm.resize(60, '\0');
    palm += "BOOKMOBI";
    palm.resize(76, '\0');
    palm += char(0);
    palm += char(1);
    palm += be32(78 + 8 + 2) + be32(0);
    palm += QByteArray(2, '\0');
    const QByteArray file = palm + record0;
    QVERIFY(!TestEnvironment::writeFile(path("ancillary.mobi"), file).isEmpty());
    const BookMetadata read = BookMetadata::read(path("ancillary.mobi"));
    QCOMPARE(read.title, QString("Ancillary Justice"));
    QCOMPARE(authorsOf(read), QString("Ann Leckie"));
    QCOMPARE(read.publisher, QString("Orbit"));
    QCOMPARE(read.isbn13, QString("9780316246620"));
    // Cut short anywhere, it gives what it can, and never reads past the end.
    for (qsizetype length = 0; length < file.size(); length += 7) {
        BookMetadata::fromMobi(file.left(length));
    }
}

void TestBookMetadata::textAndHtml_titles()
{
    TestEnvironment::writeFile(path("page.html"), "<html><head><title> Caf&eacute; &amp; Tea\n notes </title></head>"
                                                  "<body>x</body></html>");
    QCOMPARE(BookMetadata::read(path("page.html")).title, QString("Café & Tea notes"));
    TestEnvironment::writeFile(path("book.txt"), "\xef\xbb\xbf\n\n  ------  \n  The Time Machine  \nby H. G. Wells\n");
    QCOMPARE(BookMetadata::read(path("book.txt")).title, QString("The Time Machine"));
    TestEnvironment::writeFile(path("empty.txt"), "\n \n");
    QVERIFY(BookMetadata::read(path("empty.txt")).isEmpty());
}

void TestBookMetadata::brokenEncryptedAndHostileFiles_giveNothingAndANote_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("note");
    QTest::newRow("a text file named .pdf") << "notes.pdf"
                                            << "not a PDF";
    QTest::newRow("a broken PDF") << "broken.pdf"
                                  << "not a readable PDF";
    QTest::newRow("a PDF cut short") << "truncated.pdf"
                                     << "";
    QTest::newRow("a PDF with a password") << "locked.pdf"
                                           << "protected by a password";
    QTest::newRow("an EPUB that is no zip") << "broken.epub"
                                            << "not a readable EPUB";
    QTest::newRow("an EPUB without a package document") << "empty.epub"
                                                        << "no package document";
    QTest::newRow("an EPUB whose package document is huge") << "huge.epub"
                                                            << "no package document";
    QTest::newRow("a MOBI that is not one") << "fake.mobi"
                                            << "not a MOBI book";
}

void TestBookMetadata::brokenEncryptedAndHostileFiles_giveNothingAndANote()
{
    QFETCH(QString, name);
    QFETCH(QString, note);
    const QString file = path(name);
    if (name == "notes.pdf") {
        TestEnvironment::writeFile(file, "Just some notes, not a PDF.");
    } else if (name == "broken.pdf") {
        TestEnvironment::writeFile(file, "%PDF-1.4\n1 0 obj << garbage");
    } else if (name == "truncated.pdf") {
        QVERIFY(PdfFiles::writeWithInfo(path("whole.pdf"), {{"Title", "(Whole)"}}, 3));
        QFile whole(path("whole.pdf"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        TestEnvironment::writeFile(file, whole.readAll().left(180));
    } else if (name == "locked.pdf") {
        QVERIFY(PdfFiles::writeWithInfo(path("open.pdf"), {{"Title", "(Secret Title)"}}, 2));
        if (!PdfFiles::protect(path("open.pdf"), file, "sesame")) {
            QSKIP("qpdf is not installed");
        }
    } else if (name == "broken.epub" || name == "fake.mobi") {
        TestEnvironment::writeFile(file, QByteArray("PK\x03\x04 not really", 15).repeated(20));
    } else if (name == "empty.epub") {
        QVERIFY(ZipWriter::write(file, {{"mimetype", "application/epub+zip"}}));
    } else if (name == "huge.epub") {
        QVERIFY(ZipWriter::writeEpub(
            file, {{"content.opf", opf("<dc:title>" + QByteArray(5 * 1024 * 1024, 'a') + "</dc:title>")}}));
    }
    const BookMetadata read = BookMetadata::read(file);
    QVERIFY(read.title.isEmpty() || name == "truncated.pdf");
    QVERIFY2(read.note.contains(note), qPrintable(read.note));
}

void TestBookMetadata::isbns_needAValidCheckDigit_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("isbn");
    QTest::newRow("urn") << "urn:isbn:978-0-441-47812-5"
                         << "9780441478125";
    QTest::newRow("ISBN-10 ending in X") << "ISBN 0-8044-2957-X"
                                         << "080442957X";
    QTest::newRow("bare ISBN-13") << "9780316246620"
                                  << "9780316246620";
    QTest::newRow("wrong check digit") << "9780316246621"
                                       << "";
    QTest::newRow("too short") << "12345"
                               << "";
    QTest::newRow("a uuid") << "urn:uuid:123e4567-e89b-12d3-a456-426614174000"
                            << "";
}

void TestBookMetadata::isbns_needAValidCheckDigit()
{
    QFETCH(QString, identifier);
    QFETCH(QString, isbn);
    QCOMPARE(BookMetadata::isbnIn(identifier), isbn);
}

LIRENTA_TEST_MAIN(TestBookMetadata)
#include "TestBookMetadata.moc"
