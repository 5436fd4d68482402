#include "LibrarySettings.h"
#include "OpenedUrls.h"
#include "PathsPage.h"
#include "Prompt.h"
#include "QtModules.h"
#include "TestEnvironment.h"

// Preferences > Paths: where the library lives, each folder one click away.
class TestPathsPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsEveryPlace_andOpensItsFolder();
    void dialogsOfAHiddenWidget_centreOnTheWindowShown();
};

void TestPathsPage::showsEveryPlace_andOpensItsFolder()
{
    const QString dataDir = QDir::homePath() + "/data/";
    const QString captured = QDir::homePath() + "/Lirenta Library/";
    LibrarySettings().setDataDir(dataDir);
    LibrarySettings().setLibraryDir(captured);
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");

    PathsPage page;
    QCOMPARE(page.findChild<QLineEdit*>("libraryField")->text(), dataDir + "data.db");
    QCOMPARE(page.findChild<QLineEdit*>("dataField")->text(), dataDir);
    QCOMPARE(page.findChild<QLineEdit*>("capturedField")->text(), captured);
    QCOMPARE(page.findChild<QLineEdit*>("backupsField")->text(), dataDir + "backups/");
    page.findChild<QPushButton*>("openBackupsFolder")->click();
    page.findChild<QPushButton*>("openCapturedFolder")->click();
    QCOMPARE(opened.urls, QList<QUrl>({QUrl::fromLocalFile(dataDir + "backups/"), QUrl::fromLocalFile(captured)}));
    // A folder not made yet opens all the same, empty.
    QVERIFY(QDir(dataDir + "backups/").exists());
    QDesktopServices::unsetUrlHandler("file");
}

// A question asked for a dialog not yet on screen centres on the window beneath it.
void TestPathsPage::dialogsOfAHiddenWidget_centreOnTheWindowShown()
{
    QWidget window;
    window.show();
    auto* dialog = new QDialog(&window);
    auto* inside = new QWidget(dialog);
    QCOMPARE(Prompt::shownOwner(inside), &window);
    dialog->show();
    QCOMPARE(Prompt::shownOwner(inside), inside);
    QCOMPARE(Prompt::shownOwner(nullptr), nullptr);
}

LIRENTA_TEST_MAIN(TestPathsPage)
#include "TestPathsPage.moc"
