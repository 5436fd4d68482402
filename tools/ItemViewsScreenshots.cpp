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
        {"The Left Hand of Darkness",
         {"Ursula K. Le Guin"},
         "A lone envoy on the planet Winter.",
         {"lhod.pdf"},
         QColor("#2b5f8a"),
         5,
         "1969",
         "304",
         "Ace"},
        {"Solaris", {"Stanislaw Lem"}, "A living ocean.", {"solaris.epub"}, QColor("#1f7a6d"), 4, "1961", "204", "MON"},
        {"Roadside Picnic",
         {"Arkady Strugatsky", "Boris Strugatsky"},
         "Stalkers in the Zone.",
         {"picnic.pdf"},
         QColor("#8a5a2b"),
         3,
         "1972",
         "145",
         "Macmillan"},
        {"Kindred",
         {"Octavia E. Butler"},
         "Pulled back in time.",
         {"kindred.pdf"},
         QColor("#7a1f3d"),
         5,
         "1979",
         "264",
         "Doubleday"},
        {"Neuromancer",
         {"William Gibson"},
         "The sky above the port.",
         {"neuromancer.pdf"},
         QColor("#333333"),
         2,
         "1984",
         "271",
         "Ace"},
        {"A Book Without a Cover Image", {"Anonymous"}, "", {"nocover.txt"}, QColor(), 0, "2020", "12", ""},
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
