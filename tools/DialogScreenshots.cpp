// Saves pictures of the book and web page properties dialogs, each editing a seeded record, of
// the batch import after a mixed import and of a sync's summary (both against the stand-in
// services), into the folder given as the first argument.
#include "BookProperties.h"
#include "BookSelection.h"
#include "FileSyncManager.h"
#include "ItemFile.h"
#include "LibraryFixture.h"
#include "LibrarySeeder.h"
#include "LibrarySettings.h"
#include "Login.h"
#include "MultiSelect.h"
#include "StandInServer.h"
#include "TableButton.h"
#include "TestEnvironment.h"
#include "WebPageProperties.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    LibraryFixture library;
    LibrarySeeder seeder(library.dataDir(), library.filesDir());
    const int book =
        seeder.addBook({.title = "The Left Hand of Darkness",
                        .authors = {"Ursula K. Le Guin"},
                        .description = "<p>A lone human emissary is sent to <b>Winter</b>, an alien world whose "
                                       "inhabitants can choose, and change, their gender.</p>",
                        .fileNames = {"left_hand_of_darkness.epub", "left_hand_of_darkness.pdf"},
                        .coverColor = QColor("#2b5f8a"),
                        .rating = 4,
                        .datePublished = "1969",
                        .pageCount = "304",
                        .publisher = "Ace"});
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

    // A folder with a book the service knows, one it does not, a copy of a stored book, two
    // identical new files and a text file named as a PDF.
    StandInServer books("googlebooks-standin");
    qputenv("LIRENTA_GOOGLE_BOOKS_URL", books.address().toEncoded());
    const QByteArray held = "%PDF-1.4 held";
    ItemFile stored(nullptr, library.writeFile("shelf/held.pdf", held));
    stored.setId(book);
    stored.saveFile();
    for (const auto& [name, content] : QList<QPair<QString, QByteArray>>{{"import/Copy of held.pdf", held},
                                                                         {"import/Solaris.pdf", "%PDF-1.4 s"},
                                                                         {"import/Hyperion.pdf", "%PDF-1.4 h"},
                                                                         {"import/Qqzx Unheard Of.pdf", "%PDF-1.4 u"},
                                                                         {"import/Twin.pdf", "%PDF-1.4 twin"},
                                                                         {"import/sub/Twin again.pdf", "%PDF-1.4 twin"},
                                                                         {"import/notes.pdf", "plain text"}}) {
        library.writeFile(name, content);
    }
    MultiSelect import;
    import.resize(900, 420);
    import.populateTable(library.filesDir() + "import");
    QTimer skipper;
    QObject::connect(&skipper, &QTimer::timeout, [] {
        auto* selection = qobject_cast<BookSelection*>(QApplication::activeModalWidget());
        if (selection && selection->foundNothing()) {
            selection->findChild<QPushButton*>("btnSkip")->click();
        }
    });
    skipper.start(20);
    import.show();
    import.findChild<QPushButton*>("pushButton")->click();
    (void)QTest::qWaitFor([&] { return !import.isBusy() && import.importedCount() == 2; }, 20000);
    QTest::qWait(300);
    import.grab().save(out + "/batchimport.png");

    // A sync of the library against the stand-in cloud service, with its summary.
    QTemporaryDir cloudData;
    QProcess::execute(LIRENTA_SERVICES_DIR "/cloud-standin",
                      {"--data", cloudData.path(), "--add-user", "demo", "demo"});
    StandInServer cloud("cloud-standin", {"--data", cloudData.path()});
    LibrarySettings().setValue("baseUrl", cloud.address().toString());
    {
        Login login;
        login.findChild<QLineEdit*>("loginText")->setText("demo");
        login.findChild<QLineEdit*>("passwordText")->setText("demo");
        login.findChild<QPushButton*>("btnLogin")->click();
        (void)QTest::qWaitFor([&] { return login.result() == QDialog::Accepted; }, 10000);
    }
    FileSyncManager sync;
    sync.show();
    (void)QTest::qWaitFor([&] { return !sync.isRunning(); }, 20000);
    QTest::qWait(300);
    sync.grab().save(out + "/sync.png");
    return 0;
}
