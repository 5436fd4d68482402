#include "Book.h"
#include "Books.h"
#include "EverythingSearch.h"
#include "LibraryDatabase.h"
#include "LibraryFixture.h"
#include "QtModules.h"
#include "SearchIndexFile.h"
#include "SqliteRows.h"
#include "TestEnvironment.h"
#include "TitleIndex.h"
#include "ViewItem.h"

// The search indexes beside the library are a cache: whatever happens to them or to the library
// behind Lirenta's back, a search finds exactly what reading every row finds.
class TestSearchIndexes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void indexedSearch_findsWhatAFullScanFinds();
    void indexes_answerAsAFullScan_whateverHappensBehindTheirBack_data();
    void indexes_answerAsAFullScan_whateverHappensBehindTheirBack();
    void everythingIndex_madeInTheBackground_keepsUpWithChanges();
    void everythingIndex_isKeptAcrossRestarts_andUsed();
    void everythingSearch_takesTheTermAsTyped();
    void wholeLibraryRows_readAlikeThroughEitherSqlite();

private:
    Book* saveBook(const QString& title, const QStringList& authors = {}, const QString& description = QString());
    QList<int> search(const QString& term, SearchScope scope = SearchScope::TitlesAndDescriptions);
    // Runs statements on a connection of another program's.
    void writeElsewhere(const QString& path, const QStringList& statements);
    void compareWithFullScans(const QStringList& terms);
    std::unique_ptr<LibraryFixture> library;
    QList<Book*> made;
};

void TestSearchIndexes::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
}

void TestSearchIndexes::cleanup()
{
    qDeleteAll(made);
    made.clear();
    library.reset();
}

Book* TestSearchIndexes::saveBook(const QString& title, const QStringList& authors, const QString& description)
{
    auto* book = new Book(nullptr, 0);
    made << book;
    book->setTitle(title);
    book->setDescription(description);
    for (const QString& name : authors) {
        book->addAuthor(name);
    }
    return book->insertBook() ? book : nullptr;
}

QList<int> TestSearchIndexes::search(const QString& term, SearchScope scope)
{
    Books books(nullptr, CollectionKind::AllBooks, QVariant(), &library->library());
    books.setSearchScope(scope);
    books.dbSearch(term);
    QList<int> ids;
    for (const ViewItem* item : *books.getViewItems()) {
        ids << item->id;
    }
    return ids;
}

void TestSearchIndexes::writeElsewhere(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other program");
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QSqlQuery write(other);
        for (const QString& statement : statements) {
            QVERIFY2(write.exec(statement), qPrintable(statement + ": " + write.lastError().text()));
        }
        other.close();
    }
    QSqlDatabase::removeDatabase("other program");
}

void TestSearchIndexes::compareWithFullScans(const QStringList& terms)
{
    for (const QString& term : terms) {
        QCOMPARE(search(term), TitleIndex::scan(term, QString(), QVariant()));
        QCOMPARE(search(term, SearchScope::Everything),
                 EverythingSearch::scan(term, QStringLiteral("Book"), QString(), QVariant()));
    }
}

// Every term is searched both through the library's search index and by reading every row;
// the two must agree, also after books are edited and deleted and when the index is built
// for a library that did not have one.
void TestSearchIndexes::indexedSearch_findsWhatAFullScanFinds()
{
    library.reset(); // one library open at a time
    library = std::make_unique<LibraryFixture>(LibraryTuning{.titleIndexInBackgroundAbove = 2, .titleIndexPart = 2});
    LibraryDatabase& database = library->library();
    QVERIFY(database.hasSearchIndex());
    Book* quoted = saveBook("The \"Quoted\" Word", {}, "it's 50% off_sale");
    Book* accents = saveBook("Élan vital", {}, "café CAFÉ Café");
    saveBook("Roadside Picnic", {}, "Stalkers in the ZONE near the river.");
    saveBook("Riverrun", {}, QString());
    saveBook(QString(), {}, "Only a description about rivers");
    Book* gone = saveBook("Vanishing river", {}, "to be deleted");
    QVERIFY(quoted && accents && gone);
    quoted->setTitle("The \"Quoted\" Word, revised");
    QVERIFY(quoted->insertBook());
    QVERIFY(gone->deleteBook());

    const QStringList terms = {"river",    "RIVER",   "zone near",   "\"Quoted\"", "revised", "Vanishing", "50% off",
                               "off_sale", "f_s",     "%ive%",       "café",       "CAFÉ",    "élan",      "Élan",
                               "r_ver",    "iverrun", "absent term", "ri",         "\"\"\"",  "it's"};
    for (const QString& term : terms) {
        QCOMPARE(search(term), TitleIndex::scan(term, QString(), QVariant()));
    }
    QCOMPARE(search("river").size(), 3);
    QCOMPARE(search("CAFÉ").size(), 1); // letters beyond ASCII keep their case, as LIKE does

    // Another program changes the library while Lirenta is closed (a plain connection: no
    // triggers of ours); at the next opening the index is rebuilt and searches find the change.
    database.close();
    writeElsewhere(library->databasePath(),
                   {"INSERT INTO books (title, description, iid) VALUES ('Riverside written elsewhere', '', 900)",
                    "UPDATE books SET title = 'Ocean picnic' WHERE title = 'Roadside Picnic'",
                    "DELETE FROM books WHERE title = 'Riverrun'"});
    // In a large library the index is made again in the background, a few books at a time;
    // meanwhile searches read every row, and books changed before and after their part is
    // indexed are found as they are.
    QCOMPARE(database.open(library->dataDir()).status, LibraryDatabase::Status::Opened);
    QVERIFY(database.isBuildingSearchIndex());
    QVERIFY(!database.hasSearchIndex());
    quoted->setDescription("rivers changed before its part");
    QVERIFY(quoted->insertBook());
    QCoreApplication::processEvents();
    accents->setDescription("river changed after its part");
    QVERIFY(accents->insertBook());
    QVERIFY(saveBook("Riverbank added meanwhile", {}, QString()));
    for (const QString& term : terms + QStringList{"Riverside", "Ocean picnic", "Roadside", "changed"}) {
        QCOMPARE(search(term), TitleIndex::scan(term, QString(), QVariant()));
    }
    QTRY_VERIFY(!database.isBuildingSearchIndex());
    QVERIFY(database.hasSearchIndex());
    for (const QString& term : terms + QStringList{"Riverside", "Ocean picnic", "Roadside", "changed", "bank"}) {
        QCOMPARE(search(term), TitleIndex::scan(term, QString(), QVariant()));
    }

    // A library from before, with the index inside it: opening moves it out.
    database.close();
    writeElsewhere(library->databasePath(),
                   {"CREATE VIRTUAL TABLE lirenta_books_search USING fts5(title, description, content='books', "
                    "content_rowid='bid', tokenize='trigram')",
                    "CREATE TRIGGER lirenta_books_search_insert AFTER INSERT ON books BEGIN INSERT INTO "
                    "lirenta_books_search (rowid, title, description) VALUES (new.bid, new.title, new.description); "
                    "END"});
    QCOMPARE(database.open(library->dataDir()).status, LibraryDatabase::Status::Opened);
    for (const QString& term : terms) {
        QCOMPARE(search(term), TitleIndex::scan(term, QString(), QVariant()));
    }

    // The library file holds the schema's statements first, then only plain indexes and plain
    // tables: any SQLite, one without FTS5 too, can write it.
    QStringList stored;
    for (const QString& row :
         LibraryFixture::scalar("SELECT group_concat(type || ' ' || sql, char(10)) FROM (SELECT * "
                                "FROM main.sqlite_master WHERE name NOT LIKE 'sqlite%' ORDER BY rowid)")
             .toString()
             .split('\n')) {
        stored << row.section(' ', 1);
    }
    QStringList expected;
    for (const QString& statement : LibraryFile::schemaStatements()) {
        if (!statement.contains("sqlite_stat1")) {
            expected << QString(statement).remove(QRegularExpression(";$"));
        }
    }
    QCOMPARE(stored.mid(0, expected.size()), expected);
    for (const QString& extra : stored.mid(expected.size())) {
        QVERIFY2(extra.startsWith("CREATE INDEX") || extra.startsWith("CREATE UNIQUE INDEX") ||
                     extra.startsWith("CREATE TABLE lirenta_"),
                 qPrintable(extra));
    }
    QVERIFY(QSqlQuery().exec("INSERT INTO books_search (books_search) VALUES ('integrity-check')"));
}

void TestSearchIndexes::indexes_answerAsAFullScan_whateverHappensBehindTheirBack_data()
{
    QTest::addColumn<QString>("happening");
    // While Lirenta has the library open:
    QTest::newRow("another program writes the library") << "write";
    QTest::newRow("the index file is deleted") << "delete";
    QTest::newRow("the index file is made read-only") << "read-only";
    QTest::newRow("the index file is damaged") << "damage";
    // While it is closed:
    QTest::newRow("a data.db from another copy of the library") << "other copy";
    QTest::newRow("the last run crashed after the index went stale") << "crash";
}

void TestSearchIndexes::indexes_answerAsAFullScan_whateverHappensBehindTheirBack()
{
    QFETCH(QString, happening);
    LibraryDatabase& database = library->library();
    const QString indexPath = SearchIndexFile::pathIn(library->dataDir());
    QVERIFY(saveBook("Harbour lights", {"Ann Able"}, "a river town"));
    QVERIFY(saveBook("Mountain road", {"Ben Bold"}, "no water here"));
    const QStringList terms = {"river", "harbour", "Zanzibar", "zanzibar", "able", "road", "ocean", "ri"};
    compareWithFullScans(terms); // both indexes made and in use

    const auto hereAndElsewhere = [this](const QString& path) {
        writeElsewhere(path, {"INSERT INTO items (iid, type) VALUES (500, 'Book')",
                              "INSERT INTO books (title, description, iid) VALUES ('Zanzibar river', 'ocean', 500)",
                              "UPDATE books SET title = 'Harbour dark' WHERE title = 'Harbour lights'"});
    };
    if (happening == "write") {
        hereAndElsewhere(library->databasePath());
    } else if (happening == "delete") {
        QVERIFY(QFile::remove(indexPath));
    } else if (happening == "read-only") {
        QVERIFY(QFile::setPermissions(indexPath, QFileDevice::ReadOwner));
    } else if (happening == "damage") {
        QVERIFY(QSqlQuery().exec("PRAGMA lirenta_search.wal_checkpoint(TRUNCATE)"));
        QFile index(indexPath);
        QVERIFY(index.open(QIODevice::ReadWrite));
        for (qint64 at = 4096; at < index.size(); at += 4096) {
            index.seek(at);
            index.write(QByteArray(64, '\x5a'));
        }
    } else if (happening == "other copy") {
        // A copy of the library taken now goes on elsewhere; this one changes too and closes.
        QVERIFY(QSqlQuery().exec("PRAGMA wal_checkpoint(TRUNCATE)"));
        const QString copy = library->dataDir() + "copy.db";
        QVERIFY(QFile::copy(library->databasePath(), copy));
        QVERIFY(saveBook("Only here", {}, "river"));
        database.close();
        hereAndElsewhere(copy);
        QVERIFY(QFile::remove(library->databasePath()));
        QVERIFY(QFile::rename(copy, library->databasePath()));
        QVERIFY(database.open(library->dataDir()).isOpen());
    } else if (happening == "crash") {
        // Closed cleanly, then a run that crashed left the index behind the library.
        database.close();
        writeElsewhere(indexPath, {"INSERT INTO books_search (books_search) VALUES ('delete-all')",
                                   "DELETE FROM everything", "UPDATE state SET value = '0' WHERE key = 'clean'"});
        QVERIFY(database.open(library->dataDir()).isOpen());
    }
    // A book saved meanwhile is found too.
    QVERIFY(saveBook("Ocean liner", {}, "river crossing"));
    compareWithFullScans(terms);
    QVERIFY(!search("zanzibar", SearchScope::Everything).isEmpty() || happening != "write");

    // And at the next opening, as at every later one.
    database.close();
    QFile::setPermissions(indexPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(database.open(library->dataDir()).isOpen());
    compareWithFullScans(terms);
    QVERIFY(database.hasSearchIndex());
}

// The Everything index is made in a second thread once the library is open. A book changed
// meanwhile is found by its new words when it is done; closing stops a build under way.
void TestSearchIndexes::everythingIndex_madeInTheBackground_keepsUpWithChanges()
{
    library.reset(); // one library open at a time
    library = std::make_unique<LibraryFixture>(LibraryTuning{.everythingBuildDelayMs = 0, .everythingPart = 1});
    // Enough books, a part of one book each, that the build is still under way as the test goes on.
    Book* first = saveBook("Volume 0", {"Stanislaw Lem"}, "plain");
    QVERIFY(first);
    QVERIFY(LibraryFixture::addNumberedBooks("Volume", 2999));
    EverythingSearch& everything = library->library().everythingSearch();
    const auto reopen = [this, &everything] {
        library->library().close();
        QVERIFY(!QFile::exists(library->databasePath() + "-wal"));
        QVERIFY(library->library().open(library->dataDir()).isOpen());
        QVERIFY(!everything.isBuilt());
        QCoreApplication::processEvents(); // the build starts a while after opening
        QVERIFY(everything.isBuildingInBackground());
    };
    reopen();
    reopen(); // stopped half-way, the build starts again

    // Indexed in the first part already: the change is noted, kept through a search in the
    // usual scope, and taken in once the build is done. A search in this scope waits for it.
    QTRY_VERIFY(LibraryFixture::scalar("SELECT COUNT(*) FROM lirenta_search.everything").toInt() > 10);
    first->setTitle("Solaris");
    QVERIFY(first->insertBook());
    QCOMPARE(search("solaris"), QList<int>({first->getId()}));
    QCOMPARE(search("solaris", SearchScope::Everything), QList<int>({first->getId()}));
    QVERIFY(everything.isBuilt());
    QCOMPARE(search("volume 0", SearchScope::Everything), QList<int>());
    QCOMPARE(search("lem", SearchScope::Everything), QList<int>({first->getId()}));
    QCOMPARE(search("volume 2999", SearchScope::Everything).size(), 1);
}

// Made once, the index serves every later opening that finds the library as it was left; the
// searches go through it.
void TestSearchIndexes::everythingIndex_isKeptAcrossRestarts_andUsed()
{
    QVERIFY(saveBook("Tidewater", {"Cleo Coast"}));
    QVERIFY(saveBook("Dry land", {"Dan Dune"}));
    LibraryDatabase& database = library->library();
    QCOMPARE(search("coast", SearchScope::Everything).size(), 1);
    QVERIFY(database.everythingSearch().isBuilt());
    QCOMPARE(LibraryFixture::scalar("SELECT COUNT(*) FROM lirenta_search.everything").toInt(), 2);
    QVERIFY(library->reopen());
    QVERIFY2(database.everythingSearch().isBuilt(), "kept, not made again");
    // An index row the library does not have shows that the answer comes from the index.
    QVERIFY(QSqlQuery().exec("INSERT INTO lirenta_search.everything (rowid, body, kind) VALUES (999, 'planted', "
                             "'Book')"));
    QCOMPARE(search("planted", SearchScope::Everything).size(), 1);
    QVERIFY(database.hasSearchIndex());
}

// In the Everything scope the term is plain text: '%' and '_' are characters, capitals are
// ignored in every script, and two characters beyond the Basic Multilingual Plane are found.
void TestSearchIndexes::everythingSearch_takesTheTermAsTyped()
{
    const int percent = saveBook("100% cotton", {"Émile Zola"})->getId();
    const int underscore = saveBook("snake_case names")->getId();
    const int greek = saveBook("ΟΔΥΣΣΕΙΑ")->getId();
    const int emoji = saveBook("Party 🎉🎈 time")->getId();
    const int extensionB = saveBook("𠀀𠀁 ideographs")->getId();
    saveBook("1000 cotton", {"Emile Other"});
    saveBook("snakeXcase");
    const QList<std::pair<QString, int>> expected = {{"0% c", percent},       {"e_c", underscore}, {"émile", percent},
                                                     {"ÉMILE ZOLA", percent}, {"οδυσ", greek},     {"🎉🎈", emoji},
                                                     {"𠀀𠀁", extensionB},    {"🎉🎈 T", emoji}};
    for (const auto& [term, iid] : expected) {
        // Through the index, and by reading every row as a library the index cannot serve does.
        QCOMPARE(search(term, SearchScope::Everything), QList<int>({iid}));
        QCOMPARE(EverythingSearch::scan(term, "Book", QString(), QVariant()), QList<int>({iid}));
    }
    // Titles and Descriptions keep LIKE, and find the same characters.
    QCOMPARE(search("🎉🎈"), QList<int>({emoji}));
    QCOMPARE(search("𠀀𠀁"), QList<int>({extensionB}));
}

// Where Qt's driver shares the program's SQLite, a whole library is read on its handle; a driver
// with an SQLite of its own is read through Qt. Both give the same values.
void TestSearchIndexes::wholeLibraryRows_readAlikeThroughEitherSqlite()
{
    QVERIFY2(SqliteRows::driverSharesSqlite(), "Debian's Qt driver uses the system SQLite");
    QVERIFY(QSqlQuery().exec("CREATE TABLE mixed (i INTEGER, r REAL, t TEXT, n TEXT)"));
    QVERIFY(QSqlQuery().exec("INSERT INTO mixed VALUES (42, 2.5, 'Ünïcødé 🎉', NULL), (-7, 0.125, '', NULL)"));
    const auto read = [](SqliteRows::Access access) {
        SqliteRows rows(QSqlDatabase::database(), "SELECT i, r, t, n FROM mixed ORDER BY rowid", access);
        QStringList values;
        while (rows.next()) {
            values << QString("%1|%2|%3|%4|%5")
                          .arg(rows.value(0).toInt())
                          .arg(rows.value(1).toDouble())
                          .arg(rows.value(2).toString(), rows.value(0).toString())
                          .arg(rows.value(3).isNull());
        }
        values << QString::number(rows.isActive());
        return values;
    };
    QCOMPARE(read(SqliteRows::Access::ThroughQt), read(SqliteRows::Access::Fastest));
    QCOMPARE(read(SqliteRows::Access::ThroughQt).first(), QString("42|2.5|Ünïcødé 🎉|42|1"));
}

LIRENTA_TEST_MAIN(TestSearchIndexes)
#include "TestSearchIndexes.moc"
