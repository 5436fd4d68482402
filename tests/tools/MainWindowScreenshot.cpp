// Starts the main window on a seeded demonstration library, selects a book, writes a note
// and saves a picture of the window into the folder given as the first argument.
#include "DataDirectories.h"
#include "ItemViews.h"
#include "LibraryDatabase.h"
#include "LibrarySeeder.h"
#include "MainWindow.h"
#include "RichTextEditor.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolBox>
#include <QTreeWidget>

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    {
        const DataDirectories::Paths paths = DataDirectories::setDataDir();
        LibraryDatabase::open(paths.dataDir);
        LibrarySeeder(paths.dataDir, paths.libraryDir + "Books/").seedDemo();
        LibraryDatabase::close();
    }

    MainWindow window;
    window.resize(1280, 800);
    window.show();
    QTest::qWait(300);
    auto* view = window.findChild<ItemViews*>("ItemViews");
    auto* table = view->findChild<QTableWidget*>("viewTable");
    table->selectRow(2);
    window.findChild<QAction*>("actionNotes")->setChecked(true);
    auto* editor = window.getNotes()->findChild<QTextEdit*>("textEdit");
    editor->setHtml("<h2>Reading notes</h2><p>Re-read the <b>chapter on Winter</b> before the book club.</p>"
                    "<ul><li>Estraven</li><li>the Ekumen</li></ul>");
    // Show the library tree with its authors rather than the information page.
    window.findChild<QToolBox*>("mainToolbox")->setCurrentIndex(0);
    auto* tree = window.findChild<QTreeWidget*>("libraryList");
    tree->topLevelItem(1)->setExpanded(true);
    QTest::qWait(800);
    window.grab().save(out + "/mainwindow-table.png");
    window.findChild<QToolBox*>("mainToolbox")->setCurrentIndex(1);

    window.findChild<QAction*>("actionView")->trigger();
    QTest::qWait(1500);
    window.grab().save(out + "/mainwindow-grid.png");
    return 0;
}
