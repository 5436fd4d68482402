#include "Book.h"
#include "Books.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "LibraryFixture.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

class TestBookJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void bareBook_hasExactKeysAllStringsAndEmptyArrays_andNoCover();
    void fullBook_carriesCoverAuthorsAndFiles();
    void quotesInDescription_areDroppedFromTheDocumentOnly();

private:
    static QJsonObject parse(const QString& json);
    std::unique_ptr<LibraryFixture> library;
};

void TestBookJson::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
}

void TestBookJson::cleanup()
{
    library.reset();
}

QJsonObject TestBookJson::parse(const QString& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    return error.error == QJsonParseError::NoError ? document.object() : QJsonObject();
}

void TestBookJson::bareBook_hasExactKeysAllStringsAndEmptyArrays_andNoCover()
{
    Book book(nullptr, 0);
    book.setTitle("Bare");
    const QJsonObject document = parse(book.toJSON());
    QStringList keys = document.keys();
    keys.sort();
    QStringList expected = {"bid",     "title",   "pageCount", "datePublished", "description", "type",    "iid",
                            "created", "updated", "publisher", "isbn10",        "isbn13",      "authors", "files"};
    expected.sort();
    QCOMPARE(keys, expected);
    QCOMPARE(document.value("bid"), QJsonValue("-1"));
    QCOMPARE(document.value("iid"), QJsonValue("0"));
    QCOMPARE(document.value("type"), QJsonValue("Book"));
    QVERIFY(document.value("authors").isArray());
    QVERIFY(document.value("authors").toArray().isEmpty());
    QVERIFY(document.value("files").toArray().isEmpty());
    for (const QString& key : document.keys()) {
        if (key != "authors" && key != "files") {
            QVERIFY2(document.value(key).isString(), qPrintable(key));
        }
    }
    // A cover file that is not there leaves its key out.
    book.setCoverFile(library->dataDir() + "no-such-cover.jpg");
    QVERIFY(!parse(book.toJSON()).contains("coverFile"));
}

void TestBookJson::fullBook_carriesCoverAuthorsAndFiles()
{
    Book book(nullptr, 0);
    book.setTitle("Full");
    book.setPageCount("321");
    book.addAuthor("Jane Q. Public");
    book.addFile(library->writeFile("full.PDF", QByteArray("%PDF-1.4 ").append(QByteArray(100, 'a'))));
    const QByteArray coverBytes = QByteArray(3000, '\xff') + QByteArray("JFIF");
    QFile cover(library->dataDir() + "coverfile-tmp.jpg");
    QVERIFY(cover.open(QIODevice::WriteOnly));
    cover.write(coverBytes);
    cover.close();
    book.setCoverFile(cover.fileName());
    QVERIFY(book.insertBook());

    Book loaded(nullptr, book.getId());
    const QString json = loaded.toJSON();
    const QJsonObject document = parse(json);
    QCOMPARE(document.value("pageCount"), QJsonValue("321"));
    QCOMPARE(document.value("iid"), QJsonValue(QString::number(book.getId())));
    QCOMPARE(document.value("created"), QJsonValue(QString::number(loaded.getCreated())));
    const QString base64 = document.value("coverFile").toString();
    QVERIFY(!base64.contains('\n'));
    QCOMPARE(QByteArray::fromBase64(base64.toLatin1()), coverBytes);

    const QJsonObject author = document.value("authors").toArray().first().toObject();
    QCOMPARE(author.keys(), QStringList({"firstName", "lastName", "name"}));
    QCOMPARE(author.value("lastName"), QJsonValue("Public"));

    const QJsonObject file = document.value("files").toArray().first().toObject();
    QStringList fileKeys = file.keys();
    QStringList expectedFileKeys = {"fileName", "filePath",   "fileType", "fileExtension", "fileMd5",
                                    "fileSize", "firstBytes", "iid",      "created",       "updated"};
    fileKeys.sort();
    expectedFileKeys.sort();
    QCOMPARE(fileKeys, expectedFileKeys);
    QCOMPARE(file.value("fileSize"), QJsonValue("109"));
    QCOMPARE(file.value("fileType"), QJsonValue("pdf"));
    QCOMPARE(file.value("fileExtension"), QJsonValue("PDF"));
    QCOMPARE(file.value("iid"), QJsonValue(QString::number(book.getId())));
    // The stored digest travels with a loaded record.
    const QByteArray content = QByteArray("%PDF-1.4 ").append(QByteArray(100, 'a'));
    QCOMPARE(file.value("fileMd5"),
             QJsonValue(QString(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex())));
    QVERIFY(file.value("created").toString().toUInt() > 0);
    QVERIFY(!json.contains("\"fid\""));
    QVERIFY(!json.contains("\"aid\""));
}

void TestBookJson::quotesInDescription_areDroppedFromTheDocumentOnly()
{
    Book book(nullptr, 0);
    const QString description = "He said \"hello\" \\ and left.\nNext line";
    book.setDescription(description);
    const QJsonObject document = parse(book.toJSON());
    QCOMPARE(document.value("description").toString(), QString("He said hello \\ and left.\nNext line"));
    QCOMPARE(book.getDescription(), description);
}

LIRENTA_TEST_MAIN(TestBookJson)
#include "TestBookJson.moc"
