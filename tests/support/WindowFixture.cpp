#include "WindowFixture.h"

#include "ItemViews.h"
#include "LibraryDatabase.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtModules.h"
#include "RichTextEditor.h"
#include "ViewItem.h"

void WindowFixture::seedLibrary()
{
    LibrarySettings().clear();
    QDir(QDir::homePath()).removeRecursively();
    QDir().mkpath(QDir::homePath());
    Prompt::clearShownTexts();
    dataDir = QDir::homePath() + "/library-data/";
    booksDir = QDir::homePath() + "/books/";
    QDir().mkpath(dataDir);
    LibrarySettings().setValue("dataDir", dataDir);
    LibraryDatabase seeding;
    QVERIFY(seeding.open(dataDir).isOpen());
    LibrarySeeder seeder(dataDir, booksDir);
    seeder.addBook({.title = "Dune",
                    .authors = {"Frank Herbert"},
                    .description = "desert",
                    .fileNames = {"dune.pdf"},
                    .coverColor = QColor(Qt::darkYellow),
                    .rating = 3,
                    .datePublished = "1965",
                    .pageCount = "412"});
    seeder.addBook({.title = "Dune Messiah",
                    .authors = {"Frank Herbert"},
                    .description = "sequel",
                    .rating = 2,
                    .datePublished = "1969",
                    .pageCount = "256"});
    seeder.addBook({.title = "Foundation",
                    .authors = {"Isaac Asimov"},
                    .description = "empire",
                    .rating = 4,
                    .datePublished = "1951",
                    .pageCount = "255"});
    seeder.addBook({.title = "Solaris",
                    .authors = {"Stanislaw Lem"},
                    .description = "ocean",
                    .rating = 5,
                    .datePublished = "1961",
                    .pageCount = "204"});
    seeder.addWebPage("Qt", "https://qt.io/", "toolkit");
    seeding.close();
}

void WindowFixture::closeWindow()
{
    window.reset();
    library.reset();
}

MainWindow* WindowFixture::start()
{
    library = std::make_unique<LibraryDatabase>(tuning);
    window = std::make_unique<MainWindow>(*library);
    window->resize(1000, 700);
    window->show();
    return window.get();
}

MainWindow* WindowFixture::restart()
{
    window->findChild<QAction*>("actionQuit")->trigger();
    closeWindow();
    return start();
}

QTabWidget* WindowFixture::tabs() const
{
    return window->findChild<QTabWidget*>("tabWidget");
}

QTreeWidget* WindowFixture::tree() const
{
    return window->findChild<QTreeWidget*>("libraryList");
}

QTreeWidgetItem* WindowFixture::branch(int index) const
{
    QTreeWidgetItem* item = tree()->topLevelItem(index);
    item->setExpanded(true);
    return item;
}

ItemViews* WindowFixture::viewAt(int index) const
{
    return qobject_cast<ItemViews*>(tabs()->widget(index));
}

QTableWidget* WindowFixture::table(int index) const
{
    return viewAt(index)->findChild<QTableWidget*>("viewTable");
}

QTextEdit* WindowFixture::noteEdit() const
{
    return window->getNotes()->findChild<QTextEdit*>("textEdit");
}

void WindowFixture::selectTitle(int index, const QString& title) const
{
    const QList<QTableWidgetItem*> found = table(index)->findItems(title, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(title));
    table(index)->selectRow(found.first()->row());
}

int WindowFixture::visibleCells(ItemViews* view)
{
    const bool switched = view->getCurrentView() != 1;
    if (switched) {
        view->toggleView();
    }
    const int shown = int(listTexts(view->findChild<QListWidget*>("viewList"), true).size());
    if (switched) {
        view->toggleView();
    }
    return shown;
}

QStringList WindowFixture::childTexts(const QTreeWidgetItem* parent, bool shownOnly)
{
    QStringList texts;
    for (int i = 0; i < parent->childCount(); ++i) {
        if (!shownOnly || !parent->child(i)->isHidden()) {
            texts << parent->child(i)->text(0);
        }
    }
    return texts;
}

QStringList WindowFixture::listTexts(const QListWidget* list, bool shownOnly)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        if (!shownOnly || !list->item(i)->isHidden()) {
            texts << list->item(i)->text();
        }
    }
    return texts;
}

QStringList WindowFixture::shownTitles(int index) const
{
    QStringList titles;
    for (int row = 0; row < table(index)->rowCount(); ++row) {
        if (!table(index)->isRowHidden(row)) {
            titles << table(index)->item(row, 0)->text();
        }
    }
    titles.sort();
    return titles;
}

QStringList WindowFixture::selectedTitles(ItemViews* view)
{
    QStringList titles;
    for (const ViewItem* item : view->getSelectedViewItems()) {
        titles << item->title;
    }
    titles.sort();
    return titles;
}

QStringList WindowFixture::storedTitles()
{
    QStringList titles;
    QSqlQuery query("SELECT title FROM books ORDER BY title");
    while (query.next()) {
        titles << query.value(0).toString();
    }
    return titles;
}

QStringList WindowFixture::runMenu(ItemViews* view, const QStringList& pick)
{
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            return;
        }
        for (QAction* action : menu->actions()) {
            seen << action->text();
        }
        QMenu* current = menu;
        for (const QString& name : pick) {
            QAction* chosen = nullptr;
            for (QAction* action : current->actions()) {
                chosen = action->text() == name ? action : chosen;
            }
            if (!chosen) {
                break;
            }
            if (chosen->menu()) {
                for (QAction* sub : chosen->menu()->actions()) {
                    seen << name + "/" + sub->text();
                }
                current = chosen->menu();
            } else if (current != menu) {
                Q_EMIT current->triggered(chosen);
            } else {
                chosen->trigger();
            }
        }
        menu->close();
    });
    view->menu(QPoint());
    return seen;
}

void WindowFixture::deleteSelection(ItemViews* view)
{
    Prompt::queueAnswer(QMessageBox::Yes);
    QVERIFY(QMetaObject::invokeMethod(view, "deleteItem"));
}
