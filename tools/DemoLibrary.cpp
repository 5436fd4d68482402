#include "DemoLibrary.h"

#include <QRegularExpression>

void DemoLibrary::seed(const LibrarySeeder& seeder)
{
    struct Entry
    {
        const char* title;
        const char* author;
        const char* year;
        const char* publisher;
    };
    const Entry entries[] = {
        {"The Left Hand of Darkness", "Ursula K. Le Guin", "1969", "Ace"},
        {"The Dispossessed", "Ursula K. Le Guin", "1974", "Harper & Row"},
        {"A Wizard of Earthsea", "Ursula K. Le Guin", "1968", "Parnassus"},
        {"Solaris", "Stanislaw Lem", "1961", "MON"},
        {"The Cyberiad", "Stanislaw Lem", "1965", "Wydawnictwo Literackie"},
        {"Roadside Picnic", "Arkady Strugatsky", "1972", "Macmillan"},
        {"Hard to Be a God", "Arkady Strugatsky", "1964", "Molodaya Gvardiya"},
        {"Kindred", "Octavia E. Butler", "1979", "Doubleday"},
        {"Parable of the Sower", "Octavia E. Butler", "1993", "Four Walls Eight Windows"},
        {"Dawn", "Octavia E. Butler", "1987", "Warner"},
        {"Neuromancer", "William Gibson", "1984", "Ace"},
        {"Count Zero", "William Gibson", "1986", "Gollancz"},
        {"Pattern Recognition", "William Gibson", "2003", "Putnam"},
        {"Dune", "Frank Herbert", "1965", "Chilton"},
        {"Dune Messiah", "Frank Herbert", "1969", "Putnam"},
        {"Foundation", "Isaac Asimov", "1951", "Gnome Press"},
        {"I, Robot", "Isaac Asimov", "1950", "Gnome Press"},
        {"The Caves of Steel", "Isaac Asimov", "1954", "Doubleday"},
        {"Hyperion", "Dan Simmons", "1989", "Doubleday"},
        {"The Fall of Hyperion", "Dan Simmons", "1990", "Doubleday"},
        {"Ubik", "Philip K. Dick", "1969", "Doubleday"},
        {"The Man in the High Castle", "Philip K. Dick", "1962", "Putnam"},
        {"A Scanner Darkly", "Philip K. Dick", "1977", "Doubleday"},
        {"Blindsight", "Peter Watts", "2006", "Tor"},
        {"Anathem", "Neal Stephenson", "2008", "Morrow"},
        {"Snow Crash", "Neal Stephenson", "1992", "Bantam"},
        {"The Diamond Age", "Neal Stephenson", "1995", "Bantam"},
        {"Gateway", "Frederik Pohl", "1977", "St. Martin's"},
        {"Rendezvous with Rama", "Arthur C. Clarke", "1973", "Gollancz"},
        {"Childhood's End", "Arthur C. Clarke", "1953", "Ballantine"},
        {"The Stars My Destination", "Alfred Bester", "1956", "Signet"},
        {"Never Let Me Go", "Kazuo Ishiguro", "2005", "Faber and Faber"},
        {"Station Eleven", "Emily St. John Mandel", "2014", "Knopf"},
        {"The Fifth Season", "N. K. Jemisin", "2015", "Orbit"},
        {"Ancillary Justice", "Ann Leckie", "2013", "Orbit"},
        {"Piranesi", "Susanna Clarke", "2020", "Bloomsbury"},
    };
    int n = 0;
    for (const Entry& row : entries) {
        LibrarySeeder::BookEntry book;
        book.title = QString::fromUtf8(row.title);
        book.authors = {QString::fromUtf8(row.author)};
        book.description = QStringLiteral("<p><b>%1</b> by %2, first published in %3.</p>")
                               .arg(book.title.toHtmlEscaped(), QString::fromUtf8(row.author), row.year);
        QString fileName = book.title;
        fileName.replace(QRegularExpression("[^A-Za-z0-9]+"), "_");
        book.fileNames = {fileName + (n % 3 == 0 ? ".epub" : ".pdf")};
        book.coverColor = n % 9 == 8 ? QColor() : QColor::fromHsv((n * 47) % 360, 150, 150);
        book.rating = n % 6;
        book.datePublished = QString::fromLatin1(row.year);
        book.pageCount = QString::number(180 + (n * 37) % 400);
        book.publisher = QString::fromUtf8(row.publisher);
        seeder.addBook(book);
        ++n;
    }
    seeder.addWebPage("Qt Documentation", "https://doc.qt.io/", "Reference documentation for the Qt toolkit.");
    seeder.addWebPage("SQLite Home Page", "https://sqlite.org/",
                      "SQLite is a small, fast, self-contained SQL database engine.");
}
