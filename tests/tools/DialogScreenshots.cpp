// Saves pictures of the book and web page properties dialogs, each editing a seeded record,
// into the folder given as the first argument.
#include "BookProperties.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "TestEnvironment.h"
#include "WebPageProperties.h"

#include <QApplication>
#include <QDir>
#include <QTest>

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    LibraryFixture library;
    LibrarySeeder seeder(library.dataDir(), library.filesDir());
    const int book = seeder.addBook({"The Left Hand of Darkness",
                                     {"Ursula K. Le Guin"},
                                     "<p>A lone human emissary is sent to <b>Winter</b>, an alien world whose "
                                     "inhabitants can choose, and change, their gender.</p>",
                                     {"left_hand_of_darkness.epub", "left_hand_of_darkness.pdf"},
                                     QColor("#2b5f8a"),
                                     4,
                                     "1969",
                                     "304",
                                     "Ace"});
    const int page = seeder.addWebPage("SQLite Home Page", "https://sqlite.org/",
                                       "SQLite is a C-language library that implements a small, fast, "
                                       "self-contained, high-reliability, full-featured, SQL database engine.");

    BookProperties bookDialog(nullptr, book);
    bookDialog.show();
    QTest::qWait(300);
    bookDialog.grab().save(out + "/bookproperties.png");

    WebPageProperties pageDialog(nullptr, page);
    pageDialog.resize(600, 560);
    pageDialog.show();
    QTest::qWait(300);
    pageDialog.grab().save(out + "/webpageproperties.png");
    return 0;
}
