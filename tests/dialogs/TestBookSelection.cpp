#include "BookSelection.h"
#include "ItemViews.h"
#include "Prompt.h"
#include "QtModules.h"
#include "StandInServer.h"
#include "TestEnvironment.h"

class TestBookSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void keywordsAndIsbn_reachTheServiceAsTyped();
    void threeVolumes_secondChosenAndSaved();
    void notJson_orNothingFound_saysNotFoundOnline_data();
    void notJson_orNothingFound_saysNotFoundOnline();

private:
    // Runs the dialog; `whileOpen` is called once the condition holds, then the dialog must end.
    int run(BookSelection& dialog, std::function<bool()> ready, std::function<void()> whileOpen);
    std::unique_ptr<StandInServer> server;
};

void TestBookSelection::initTestCase()
{
    server = std::make_unique<StandInServer>("googlebooks-standin");
    QVERIFY(server->isRunning());
    qputenv("LIRENTA_GOOGLE_BOOKS_URL", server->address().toEncoded());
}

void TestBookSelection::init()
{
    Prompt::clearShownTexts();
}

int TestBookSelection::run(BookSelection& dialog, std::function<bool()> ready, std::function<void()> whileOpen)
{
    auto* poll = new QTimer(&dialog);
    QObject::connect(poll, &QTimer::timeout, [=, &dialog] {
        if (dialog.isVisible() && ready()) {
            poll->stop();
            whileOpen();
        }
    });
    poll->start(20);
    QTimer::singleShot(15000, &dialog, &QDialog::reject);
    dialog.queryGoogle();
    return dialog.exec();
}

void TestBookSelection::keywordsAndIsbn_reachTheServiceAsTyped()
{
    const int before = server->requests().size();
    {
        BookSelection dialog;
        dialog.setISBN("9780156027601");
        dialog.setKeywords("dune herbert");
        QCOMPARE(run(
                     dialog, [] { return false; }, [] {}),
                 int(QDialog::Accepted));
        QCOMPARE(dialog.getGoogleItemUrl(), server->address().toString() + "/solaris");
    }
    {
        BookSelection dialog;
        dialog.setKeywords("d");
        run(
            dialog, [] { return !Prompt::shownTexts().isEmpty(); }, [&] { dialog.reject(); });
    }
    {
        // Keywords reach the service as typed; a single volume found is taken at once.
        BookSelection dialog;
        dialog.setKeywords("Q&A + More");
        QCOMPARE(run(
                     dialog, [] { return false; }, [] {}),
                 int(QDialog::Accepted));
        QCOMPARE(dialog.getGoogleItemUrl(), server->address().toString() + "/q-and-a");
    }
    const QStringList requests = server->requests().mid(before);
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests.at(0), QString("/books/v1/volumes?q=isbn%3A9780156027601"));
    QCOMPARE(requests.at(1), QString("/books/v1/volumes"));
    QCOMPARE(requests.at(2), QString("/books/v1/volumes?q=Q%26A%20%2B%20More"));
}

void TestBookSelection::threeVolumes_secondChosenAndSaved()
{
    BookSelection dialog;
    dialog.setKeywords("dune");
    auto* table = dialog.findChild<QTableWidget*>("tableWidget");
    QStringList titles;
    const int result = run(
        dialog, [&] { return table->rowCount() > 0; },
        [&] {
            for (int row = 0; row < table->rowCount(); ++row) {
                titles << table->item(row, 0)->text();
            }
            QCOMPARE(table->item(0, 1)->text(), QString("Frank Herbert, Brian Herbert, Kevin J. Anderson"));
            QCOMPARE(table->columnWidth(0), 220);
            QVERIFY(dialog.findChild<QLineEdit*>("filePath")->isHidden());
            Q_EMIT table->cellClicked(1, 2);
            dialog.findChild<QPushButton*>("btnSave")->click();
        });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(titles, QStringList({"Children of Dune", "Dune Messiah", "Dune"}));
    QCOMPARE(dialog.getGoogleItemUrl(), server->address().toString() + "/dune-messiah");
}

void TestBookSelection::notJson_orNothingFound_saysNotFoundOnline_data()
{
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QString>("detail");
    QTest::newRow("not JSON") << "standin:garbage"
                              << "not a Google Books answer";
    QTest::newRow("nothing found") << "no such book anywhere"
                                   << "";
    QTest::newRow("server error") << "standin:status-500"
                                  << "HTTP 500";
}

void TestBookSelection::notJson_orNothingFound_saysNotFoundOnline()
{
    QFETCH(QString, keywords);
    QFETCH(QString, detail);
    BookSelection dialog;
    dialog.setKeywords(keywords);
    bool stillOpen = false;
    const int result = run(
        dialog, [] { return !Prompt::shownTexts().isEmpty(); },
        [&] {
            stillOpen = dialog.isVisible();
            dialog.reject();
        });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(stillOpen);
    const QString text = Prompt::shownTexts().first();
    QVERIFY(text.startsWith("No books were found.\nPlease try changing information entered."));
    QVERIFY2(text.contains(detail), qPrintable(text));
}

LIRENTA_TEST_MAIN(TestBookSelection)
#include "TestBookSelection.moc"
