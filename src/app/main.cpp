#include "DataDirectories.h"
#include "LibraryDatabase.h"
#include "MainWindow.h"
#include "SignalQuitter.h"
#include "SingleInstance.h"
#include "Translations.h"
#include "Version.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    // The web views need contexts shared before the application exists.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lirenta"));
    QApplication::setApplicationVersion(QStringLiteral(LIRENTA_VERSION_LABEL));
    Translations::install(QLocale());
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main", "A personal library of e-books and web pages captured as PDF."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QApplication::translate("main",
                                                         "Books to open: EPUB, HTML and text files open in the reader, "
                                                         "other book files are offered for adding."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app); // --help and --version answer and end here
    const QStringList files = parser.positionalArguments();
    // A library already open in another Lirenta comes to the front there instead, with the files.
    SingleInstance instance(DataDirectories::setDataDir().dataDir);
    if (!instance.claim(files)) {
        return EXIT_SUCCESS;
    }
    int status = EXIT_FAILURE;
    {
        // Catching signals starts before the library opens: a signal during start-up is taken
        // up by the window's loop instead of ending the program with the library open.
        SignalQuitter quitter;
        MainWindow window;
        if (window.isStartedUp()) {
            QObject::connect(&quitter, &SignalQuitter::quitRequested, &window, &MainWindow::endSession);
            QObject::connect(&instance, &SingleInstance::activationRequested, &window, &MainWindow::bringToFront);
            QObject::connect(&instance, &SingleInstance::filesRequested, &window, &MainWindow::openFiles);
            window.show();
            if (!files.isEmpty()) {
                QMetaObject::invokeMethod(
                    &window, [&window, files] { window.openFiles(files); }, Qt::QueuedConnection);
            }
            status = app.exec();
        }
    }
    // Leaves the library file as it is at rest.
    LibraryDatabase::close();
    return status;
}
