#include "Authors.h"
#include "Book.h"
#include "BookSelection.h"
#include "ItemFile.h"
#include "ItemFiles.h"
#include "ItemViews.h"
#include "LibraryFixture.h"
#include "LibrarySettings.h"
#include "MultiSelect.h"
#include "OpenedUrls.h"
#include "Prompt.h"
#include "QtModules.h"
#include "StandInServer.h"
#include "TableButton.h"
#include "TestEnvironment.h"
#include "UnusualNames.h"

class TestMultiSelect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void unusualNames_surviveListingSavingAndOpening();
    void skipAllOnSecondOfFive_endsTheRun();
    void stop_endsARunWhileItWaitsForTheService();
    void import_savesEachAcceptedBookOnce_andKeepsFailedRows();
    void mixedFolder_reportsEachRow_andImportsWithoutLookUp();

private:
    QTableWidget* table(MultiSelect& dialog) { return dialog.findChild<QTableWidget*>("tableWidget"); }
    QStringList listedPaths(MultiSelect& dialog);
    TableButton* buttons(MultiSelect& dialog, int row)
    {
        return qobject_cast<TableButton*>(table(dialog)->cellWidget(row, 0));
    }
    QString write(const QString& relativePath, const QByteArray& content)
    {
        return library->writeFile("import/" + relativePath, content);
    }
    QString importDir() const { return library->filesDir() + "import"; }

    std::unique_ptr<StandInServer> server;
    std::unique_ptr<LibraryFixture> library;
};

void TestMultiSelect::initTestCase()
{
    server = std::make_unique<StandInServer>("googlebooks-standin");
    QVERIFY(server->isRunning());
    qputenv("LIRENTA_GOOGLE_BOOKS_URL", server->address().toEncoded());
}

void TestMultiSelect::init()
{
    library = std::make_unique<LibraryFixture>();
    Prompt::clearShownTexts();
}

void TestMultiSelect::cleanup()
{
    library.reset();
}

QStringList TestMultiSelect::listedPaths(MultiSelect& dialog)
{
    QStringList paths;
    for (int row = 0; row < table(dialog)->rowCount(); ++row) {
        paths << table(dialog)->item(row, 1)->data(ItemViews::IdRole).toString();
    }
    paths.sort();
    return paths;
}

void TestMultiSelect::unusualNames_surviveListingSavingAndOpening()
{
    QStringList paths;
    for (const QString& stem : UnusualNames::stems(251)) { // 255 bytes, the longest name a file system takes
        paths << write(stem + ".pdf", "%PDF-1.4 unusual " + stem.toUtf8());
    }
    MultiSelect dialog;
    QVERIFY(dialog.populateTable(importDir()));
    QStringList sorted = paths;
    sorted.sort();
    QCOMPARE(listedPaths(dialog), sorted);

    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    for (int row = 0; row < table(dialog)->rowCount(); ++row) {
        buttons(dialog, row)->findChild<QToolButton*>("bookOpen")->click();
    }
    QDesktopServices::unsetUrlHandler("file");
    QStringList openedPaths;
    for (const QUrl& url : std::as_const(opened.urls)) {
        openedPaths << url.toLocalFile();
    }
    openedPaths.sort();
    QCOMPARE(openedPaths, sorted);
}

// Only a choice between several volumes stops the run to ask; Skip All there ends it.
void TestMultiSelect::skipAllOnSecondOfFive_endsTheRun()
{
    for (int i = 1; i <= 5; ++i) {
        write(QString("%1/Dune.pdf").arg(i), QByteArray("%PDF-1.4 ").append(QByteArray(i, 'x')));
    }
    MultiSelect dialog;
    QVERIFY(dialog.populateTable(importDir()));
    int opened = 0;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
        auto* selection = qobject_cast<BookSelection*>(QApplication::activeModalWidget());
        if (!selection || selection->property("handled").toBool()) {
            return;
        }
        selection->setProperty("handled", true);
        ++opened;
        selection->findChild<QPushButton*>(opened == 2 ? "btnSkipAll" : "btnSkip")->click();
    });
    driver.start(10);
    dialog.findChild<QPushButton*>("pushButton")->click();
    QCOMPARE(opened, 2);
    QStringList statuses;
    for (int row = 0; row < 5; ++row) {
        QVERIFY(buttons(dialog, row)->getChecked());
        statuses << table(dialog)->item(row, 5)->text();
    }
    QCOMPARE(statuses, QStringList(5, "Skipped"));
    QCOMPARE(LibraryFixture::rowCount("books"), 0);
}

// The service does not answer: Stop ends the run there, and nothing is half-saved.
void TestMultiSelect::stop_endsARunWhileItWaitsForTheService()
{
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) {
        write(name, QByteArray("%PDF-1.4 ") + name);
    }
    MultiSelect dialog;
    QVERIFY(dialog.populateTable(importDir()));
    for (int row = 0; row < 3; ++row) {
        table(dialog)->item(row, 1)->setText("standin:hang");
    }
    QTimer::singleShot(300, &dialog, [&] {
        QVERIFY(!dialog.findChild<QPushButton*>("btnStop")->isHidden());
        dialog.findChild<QPushButton*>("btnStop")->click();
    });
    dialog.findChild<QPushButton*>("pushButton")->click(); // returns once stopped
    QStringList statuses;
    for (int row = 0; row < 3; ++row) {
        statuses << (table(dialog)->item(row, 5) ? table(dialog)->item(row, 5)->text() : QString());
    }
    QCOMPARE(statuses, QStringList(3, "Stopped"));
    QVERIFY(dialog.findChild<QPushButton*>("btnStop")->isHidden());
    QVERIFY(dialog.findChild<QPushButton*>("pushButton")->isEnabled());
    QCOMPARE(LibraryFixture::rowCount("books"), 0);
}

void TestMultiSelect::import_savesEachAcceptedBookOnce_andKeepsFailedRows()
{
    for (const char* name : {"Solaris.pdf", "Children_of_Dune.pdf", "Neuromancer.pdf", "Hyperion.pdf",
                             "Kindred (Octavia's 100%_ñ).pdf", "Broken-Volume-Record.pdf"}) {
        write(name, QByteArray("%PDF-1.4 ") + name);
    }
    MultiSelect dialog;
    QSignalSpy announced(&dialog, &MultiSelect::newBookItem);
    QVERIFY(dialog.populateTable(importDir()));
    QCOMPARE(table(dialog)->rowCount(), 6);
    dialog.findChild<QLineEdit*>("findSearch")->setText(" Octavias 100 ñ");
    dialog.findChild<QPushButton*>("btnReplaceAll")->click();

    // Pressed twice: the second press must not start the rows still downloading again.
    dialog.findChild<QPushButton*>("pushButton")->click();
    dialog.findChild<QPushButton*>("pushButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isBusy() && dialog.importedCount() == 5, 20000);
    // Every look-up has ended, so no book can still come.
    QTRY_VERIFY(dialog.findChildren<QNetworkReply*>().isEmpty());

    QCOMPARE(announced.size(), 5);
    for (const QList<QVariant>& arguments : std::as_const(announced)) {
        delete arguments.first().value<Book*>();
    }
    QCOMPARE(LibraryFixture::rowCount("books"), 5);
    QCOMPARE(LibraryFixture::rowCount("files"), 5);

    QSet<QByteArray> covers;
    QSqlQuery query("SELECT iid FROM books");
    while (query.next()) {
        Book book(nullptr, query.value(0).toInt());
        QCOMPARE(book.getFiles()->count(), 1);
        QVERIFY(book.getAuthors()->count() >= 1);
        QCOMPARE(book.getCoverFile(), library->dataDir() + QString::number(book.getId()) + ".jpg");
        QFile cover(book.getCoverFile());
        QVERIFY(cover.open(QIODevice::ReadOnly));
        covers.insert(cover.readAll());
        QVERIFY(book.getFirstFilePath().startsWith(importDir() + "/"));
        QVERIFY(QFile::exists(book.getFirstFilePath()));
    }
    QCOMPARE(covers.size(), 5);

    // Every row stays listed with what became of it; finished ones hide when asked.
    for (int row = 0; row < table(dialog)->rowCount(); ++row) {
        const bool broken = buttons(dialog, row)->getFilePath().contains("Broken");
        QVERIFY(!table(dialog)->isRowHidden(row));
        QCOMPARE(buttons(dialog, row)->getChecked(), broken);
        QVERIFY(table(dialog)->item(row, 5)->text().contains(broken ? "HTTP 500" : "Imported"));
    }
    dialog.findChild<QCheckBox*>("hideFinished")->setChecked(true);
    for (int row = 0; row < table(dialog)->rowCount(); ++row) {
        QCOMPARE(table(dialog)->isRowHidden(row), !buttons(dialog, row)->getFilePath().contains("Broken"));
    }
}

void TestMultiSelect::mixedFolder_reportsEachRow_andImportsWithoutLookUp()
{
    const QByteArray stored = "%PDF-1.4 a book the library holds";
    const QString original = library->writeFile("shelf/held.pdf", stored);
    ItemFile held(nullptr, original);
    held.setId(1);
    QVERIFY(held.saveFile());
    write("copy of held.pdf", stored);
    write("Solaris.pdf", "%PDF-1.4 solaris");
    write("Qqzx Vvwy Unheard.pdf", "%PDF-1.4 unknown to the service");
    write("twin one.pdf", "%PDF-1.4 the same twice");
    write("sub/twin two.pdf", "%PDF-1.4 the same twice");
    write("not really.pdf", "plain text");

    MultiSelect dialog;
    QVERIFY(dialog.populateTable(importDir()));
    const QStringList listed = listedPaths(dialog);
    QCOMPARE(listed.size(), 4); // Solaris, the unknown one, one of the twins, the one that is no PDF
    QCOMPARE(dialog.storedFiles(), QStringList({importDir() + "/copy of held.pdf"}));
    // The counts add up to the files found: 4 listed, 1 held already, 1 copy.
    const QString summary = dialog.findChild<QLabel*>("importProgress")->text();
    QVERIFY2(summary.startsWith("Files found: 6. Listed: 4 (1 of them cannot be imported).") &&
                 summary.contains("Already in the library, left out: 1") && summary.contains("rows: 1."),
             qPrintable(summary));
    const auto rowOf = [&](const QString& name) {
        for (int row = 0; row < table(dialog)->rowCount(); ++row) {
            if (table(dialog)->item(row, 1)->data(ItemViews::IdRole).toString().endsWith(name)) {
                return row;
            }
        }
        return -1;
    };
    // The first in path order is listed ("sub/" comes before "twin"), the other noted in its row.
    QCOMPARE(rowOf("twin one.pdf"), -1);
    const int twin = rowOf("sub/twin two.pdf");
    QCOMPARE(table(dialog)->item(twin, 5)->text(), QString("Also at: " + importDir() + "/twin one.pdf"));
    QCOMPARE(table(dialog)->item(rowOf("not really.pdf"), 5)->text(), QString("Not a PDF file"));
    QVERIFY(!buttons(dialog, rowOf("not really.pdf")));

    // The unknown file finds nothing: said in its row, and nothing comes up to ask.
    // Only the first two are looked up: the twin is left for the import without look-up.
    buttons(dialog, twin)->toggleChecked();
    dialog.findChild<QPushButton*>("pushButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isBusy() && dialog.importedCount() == 1, 20000);
    QCOMPARE(Prompt::shownTexts(), QStringList());
    QCOMPARE(table(dialog)->item(rowOf("Solaris.pdf"), 5)->text(), QString("Imported"));
    QCOMPARE(table(dialog)->item(rowOf("Unheard.pdf"), 5)->text(), QString("Not found online"));
    QCOMPARE(dialog.findChild<QLabel*>("importProgress")->text(),
             QString("2 of 2 looked up, 0 remaining; imported: 1"));
    auto* bar = dialog.findChild<QProgressBar*>("importProgressBar");
    QVERIFY(!bar->isHidden());
    QCOMPARE(bar->value(), 2);
    QCOMPARE(bar->maximum(), 2);

    // Imported as it is, titled by its keywords.
    buttons(dialog, twin)->toggleChecked();
    buttons(dialog, rowOf("Unheard.pdf"))->toggleChecked();
    table(dialog)->item(twin, 1)->setText("Twin Book");
    dialog.findChild<QPushButton*>("btnImportPlain")->click();
    QVERIFY(table(dialog)->item(twin, 5)->text().startsWith("Imported; Also at: "));
    QCOMPARE(dialog.importedCount(), 2);
    QCOMPARE(LibraryFixture::scalar("SELECT COUNT(*) FROM books WHERE title = 'Twin Book'").toInt(), 1);
    QVERIFY(!table(dialog)->isRowHidden(rowOf("Unheard.pdf"))); // unticked: still there to try again

    // The row's own button imports that row alone, ticked or not.
    table(dialog)->item(rowOf("Unheard.pdf"), 1)->setText("Unheard Of");
    buttons(dialog, rowOf("Unheard.pdf"))->findChild<QToolButton*>("importPlain")->click();
    QCOMPARE(table(dialog)->item(rowOf("Unheard.pdf"), 5)->text(), QString("Imported"));
    QCOMPARE(LibraryFixture::scalar("SELECT COUNT(*) FROM books WHERE title = 'Unheard Of'").toInt(), 1);

    // Ticked rows go in one transaction. When it cannot be committed (here a deferred rule
    // the program knows nothing of), no row says it is imported and no book is shown or kept.
    write("late one.pdf", "%PDF-1.4 late one");
    write("late two.pdf", "%PDF-1.4 late two");
    QSqlQuery refusal;
    for (const char* statement :
         {"PRAGMA foreign_keys = ON", "CREATE TEMP TABLE late_parent (id INTEGER PRIMARY KEY)",
          "CREATE TEMP TABLE late_child (pid INTEGER REFERENCES late_parent (id) DEFERRABLE INITIALLY DEFERRED)",
          "CREATE TEMP TRIGGER late_refusal AFTER INSERT ON main.books BEGIN INSERT INTO late_child VALUES (1); END"}) {
        QVERIFY2(refusal.exec(statement), statement);
    }
    MultiSelect late;
    QSignalSpy shown(&late, &MultiSelect::newBookItem);
    QVERIFY(late.populateTable(importDir()));
    QCOMPARE(table(late)->rowCount(), 3); // the two late ones, and the one that is no PDF
    late.findChild<QPushButton*>("btnImportPlain")->click();
    QCOMPARE(shown.size(), 0);
    QCOMPARE(late.importedCount(), 0);
    for (int row = 0; row < table(late)->rowCount(); ++row) {
        QVERIFY(!table(late)->item(row, 5)->text().startsWith("Imported"));
    }
    QCOMPARE(LibraryFixture::scalar("SELECT COUNT(*) FROM books WHERE title LIKE 'late%'").toInt(), 0);
}

LIRENTA_TEST_MAIN(TestMultiSelect)
#include "TestMultiSelect.moc"
