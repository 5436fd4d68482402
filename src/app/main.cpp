#include "DataDirectories.h"
#include "LibraryDatabase.h"
#include "MainWindow.h"
#include "SignalQuitter.h"
#include "SingleInstance.h"
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
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main", "A personal library of e-books and web pages captured as PDF."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app); // --help and --version answer and end here
    // A library already open in another Lirenta comes to the front there instead.
    SingleInstance instance(DataDirectories::setDataDir().dataDir);
    if (!instance.claim()) {
        return EXIT_SUCCESS;
    }
    int status = EXIT_FAILURE;
    {
        MainWindow window;
        if (window.isStartedUp()) {
            SignalQuitter quitter;
            QObject::connect(&quitter, &SignalQuitter::quitRequested, &window, &MainWindow::endSession);
            QObject::connect(&instance, &SingleInstance::activationRequested, &window, &MainWindow::bringToFront);
            window.show();
            status = app.exec();
        }
    }
    // Leaves the library file as it is at rest.
    LibraryDatabase::close();
    return status;
}
