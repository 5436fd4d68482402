#include "Author.h"
#include "Authors.h"
#include "LibraryFixture.h"
#include "QtModules.h"
#include "TestEnvironment.h"

class TestAuthors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void setName_splitsFirstAndLastName_data();
    void setName_splitsFirstAndLastName();
    void typedName_matchingStoredRowCaseInsensitively_keepsItsAid();
    void typedName_withWildcardCharacters_matchesOnlyLiterally_data();
    void typedName_withWildcardCharacters_matchesOnlyLiterally();
    void loadAuthors_ordersByLastNameAndSkipsDuplicateNames();

private:
    static int insertRow(const QString& name, const QString& firstName, const QString& lastName);
    std::unique_ptr<LibraryFixture> library;
};

void TestAuthors::init()
{
    library = std::make_unique<LibraryFixture>();
    QVERIFY(library->isOpen());
}

void TestAuthors::cleanup()
{
    library.reset();
}

int TestAuthors::insertRow(const QString& name, const QString& firstName, const QString& lastName)
{
    QSqlQuery query;
    query.prepare("INSERT INTO authors (name, firstName, lastName) VALUES (?, ?, ?)");
    query.addBindValue(name);
    query.addBindValue(firstName);
    query.addBindValue(lastName);
    query.exec();
    return query.lastInsertId().toInt();
}

void TestAuthors::setName_splitsFirstAndLastName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("lastName");
    QTest::newRow("first, middle initial, last") << "Jane Q. Public"
                                                 << "Jane Q."
                                                 << "Public";
    QTest::newRow("single name") << "Plato"
                                 << ""
                                 << "Plato";
    QTest::newRow("last name inside the first") << "Daniel Dan"
                                                << "Daniel"
                                                << "Dan";
}

void TestAuthors::setName_splitsFirstAndLastName()
{
    QFETCH(QString, name);
    QFETCH(QString, firstName);
    QFETCH(QString, lastName);
    Author author(nullptr, 0);
    author.setName(name);
    QCOMPARE(author.getName(), name);
    QCOMPARE(author.getFirstName(), firstName);
    QCOMPARE(author.getLastName(), lastName);
}

void TestAuthors::typedName_matchingStoredRowCaseInsensitively_keepsItsAid()
{
    const int aid = insertRow("Italo Calvino", "Italo", "Calvino");
    Author typed(nullptr, QString("italo CALVINO"));
    QCOMPARE(typed.getAid(), aid);
    QCOMPARE(typed.getName(), QString("italo CALVINO"));
    QCOMPARE(typed.getLastName(), QString("CALVINO"));
    QVERIFY(typed.insertAuthor());
    QCOMPARE(LibraryFixture::rowCount("authors"), 1);
    QCOMPARE(Author::aidToName(aid), QString("italo CALVINO"));
}

void TestAuthors::typedName_withWildcardCharacters_matchesOnlyLiterally_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matches");
    QTest::newRow("underscore") << "Anne Rice"
                                << "Ann_ Rice" << false;
    QTest::newRow("literal underscore") << "user_42"
                                        << "USER_42" << true;
    QTest::newRow("backslash") << "A\\B"
                               << "a\\b" << true;
}

void TestAuthors::typedName_withWildcardCharacters_matchesOnlyLiterally()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, matches);
    const int aid = insertRow(stored, QString(), stored);
    Author author(nullptr, typed);
    QCOMPARE(author.getAid(), matches ? aid : 0);
    QVERIFY(author.insertAuthor());
    QCOMPARE(Author::aidToName(aid), matches ? typed : stored);
}

void TestAuthors::loadAuthors_ordersByLastNameAndSkipsDuplicateNames()
{
    insertRow("Zadie Smith", "Zadie", "Smith");
    const int firstAchebe = insertRow("Chinua Achebe", "Chinua", "Achebe");
    insertRow("Chinua Achebe", "Chinua", "Achebe");
    Authors all(nullptr);
    all.loadAuthors();
    QCOMPARE(all.count(), 2);
    QCOMPARE(all.getAuthor(0)->getAid(), firstAchebe);

    // A long list finds its names through an index; a repeat is still skipped, and a removed
    // name can come back.
    for (int i = 0; i < 20; ++i) {
        all.addStoredAuthor(1000 + i, QString("Writer %1").arg(i), "Writer", QString::number(i));
    }
    all.addStoredAuthor(2000, "Writer 13", "Writer", "13"); // the first name added after the index was made
    all.addStoredAuthor(2001, "Zadie Smith", "Zadie", "Smith");
    QCOMPARE(all.count(), 22);
    Author* removed = all.getAuthor(21);
    QVERIFY(all.removeAuthor(removed));
    delete removed;
    all.addStoredAuthor(2002, "Writer 19", "Writer", "19");
    QCOMPARE(all.count(), 22);
    QCOMPARE(all.getAuthor(21)->getAid(), 2002);
}

LIRENTA_TEST_MAIN(TestAuthors)
#include "TestAuthors.moc"
