// Seeds a small library in a temporary HOME and saves pictures of an item view, as a table
// and as a cover grid, into the folder given as the first argument.
#include "ItemViews.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    LibraryFixture library;
    LibrarySeeder seeder(library.dataDir(), library.filesDir());
    const QList<LibrarySeeder::BookEntry> books = {
        {.title = "The Left Hand of Darkness",
         .authors = {"Ursula K. Le Guin"},
         .description = "A lone envoy on the planet Winter.",
         .fileNames = {"lhod.pdf"},
         .coverColor = QColor("#2b5f8a"),
         .rating = 5,
         .datePublished = "1969",
         .pageCount = "304",
         .publisher = "Ace"},
        {.title = "Solaris",
         .authors = {"Stanislaw Lem"},
         .description = "A living ocean.",
         .fileNames = {"solaris.epub"},
         .coverColor = QColor("#1f7a6d"),
         .rating = 4,
         .datePublished = "1961",
         .pageCount = "204",
         .publisher = "MON"},
        {.title = "Roadside Picnic",
         .authors = {"Arkady Strugatsky", "Boris Strugatsky"},
         .description = "Stalkers in the Zone.",
         .fileNames = {"picnic.pdf"},
         .coverColor = QColor("#8a5a2b"),
         .rating = 3,
         .datePublished = "1972",
         .pageCount = "145",
         .publisher = "Macmillan"},
        {.title = "Kindred",
         .authors = {"Octavia E. Butler"},
         .description = "Pulled back in time.",
         .fileNames = {"kindred.pdf"},
         .coverColor = QColor("#7a1f3d"),
         .rating = 5,
         .datePublished = "1979",
         .pageCount = "264",
         .publisher = "Doubleday"},
        {.title = "Neuromancer",
         .authors = {"William Gibson"},
         .description = "The sky above the port.",
         .fileNames = {"neuromancer.pdf"},
         .coverColor = QColor("#333333"),
         .rating = 2,
         .datePublished = "1984",
         .pageCount = "271",
         .publisher = "Ace"},
        {.title = "A Book Without a Cover Image",
         .authors = {"Anonymous"},
         .fileNames = {"nocover.txt"},
         .datePublished = "2020",
         .pageCount = "12"},
    };
    for (const LibrarySeeder::BookEntry& entry : books) {
        seeder.addBook(entry);
    }

    ItemViews view(nullptr, "Books", -1);
    view.renderItems();
    view.resize(1100, 520);
    view.show();
    QTest::qWait(300);
    view.grab().save(out + "/itemviews-table.png");

    view.toggleView();
    // Covers are decoded in the background; give them a moment to arrive.
    QTest::qWait(1500);
    view.grab().save(out + "/itemviews-grid.png");
    return 0;
}
