#include "ItemViews.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "Prompt.h"
#include "QtModules.h"
#include "TestEnvironment.h"
#include "WebPage.h"
#include "WebPageProperties.h"
#include "WebPages.h"

class TestWebPageProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void save_storesTitleDescriptionRatingAndFiles_butNotUrl();

private:
    std::unique_ptr<LibraryFixture> library;
    std::unique_ptr<LibrarySeeder> seeder;
};

void TestWebPageProperties::init()
{
    library = std::make_unique<LibraryFixture>();
    seeder = std::make_unique<LibrarySeeder>(library->dataDir(), library->filesDir());
}

void TestWebPageProperties::cleanup()
{
    seeder.reset();
    library.reset();
}

void TestWebPageProperties::save_storesTitleDescriptionRatingAndFiles_butNotUrl()
{
    const int iid = seeder->addWebPage("Before", "https://example.org/", "old words");
    WebPageProperties dialog(nullptr, iid);
    QCOMPARE(dialog.findChild<QLineEdit*>("bookTitle")->text(), QString("Before"));
    QCOMPARE(dialog.findChild<QTextEdit*>("bookDescription")->toPlainText(), QString("old words"));
    // Its address and the day it was captured, from the record.
    QCOMPARE(dialog.findChild<QLineEdit*>("bookPublisher")->text(), QString("https://example.org/"));
    QCOMPARE(dialog.findChild<QDateTimeEdit*>("dateTimeEdit")->date(), QDate::currentDate());
    dialog.findChild<QLineEdit*>("bookTitle")->setText("After");
    dialog.findChild<QTextEdit*>("bookDescription")->setPlainText("new words");
    dialog.findChild<QToolButton*>("btnRating3")->click();
    const QString pdf = library->writeFile("page.pdf", "%PDF page");
    Prompt::queueFileName(pdf);
    dialog.findChild<QPushButton*>("btnAddFile")->click();
    QCOMPARE(LibrarySettings().value("lastSelectDir").toString(), QFileInfo(pdf).absolutePath());
    QVERIFY(!dialog.findChild<QPushButton*>("btnOpenFile")->isEnabled());
    dialog.findChild<QPushButton*>("btnSave")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    WebPage stored(nullptr, iid);
    QCOMPARE(stored.getTitle(), QString("After"));
    QCOMPARE(stored.getDescription(), QString("new words"));
    QCOMPARE(stored.getUrl(), QString("https://example.org/"));
    QCOMPARE(stored.getRating(), 3);
    QCOMPARE(stored.getFirstFilePath(), pdf);

    // Reopened, the stars show the stored rating.
    WebPageProperties again(nullptr, iid);
    QVERIFY(again.findChild<QPushButton*>("btnOpenFile")->isEnabled());
}

LIRENTA_TEST_MAIN(TestWebPageProperties)
#include "TestWebPageProperties.moc"
