#include "DataDirectories.h"
#include "LibraryDatabase.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "SignalQuitter.h"
#include "SingleInstance.h"
#include "Translations.h"
#include "Version.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {
void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "A personal library of e-books and web pages captured as PDF."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QCoreApplication::translate("main",
                                                             "Books to open: EPUB, HTML and text files open in the "
                                                             "reader, other book files are offered for adding."),
                                 QStringLiteral("[FILE...]"));
}

void name(QCoreApplication& app)
{
    app.setApplicationName(QStringLiteral("Lirenta"));
    app.setApplicationVersion(QStringLiteral(LIRENTA_VERSION_LABEL));
}

// --help and --version answer without a display: no window system is touched for them.
bool asksOnlyForInformation(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "-?" || argument == "--help-all" ||
            argument == "-v" || argument == "--version") {
            return true;
        }
    }
    return false;
}

// Chromium's and WebEngine's start-up chatter stays out of the terminal unless asked for.
void quietenWebEngine()
{
    if (qEnvironmentVariableIsSet("LIRENTA_DEBUG")) {
        return;
    }
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--log-level")) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --log-level=3").trimmed());
    }
    if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES")) {
        qputenv("QT_LOGGING_RULES", "qt.webenginecontext.info=false");
    }
}
} // namespace

int main(int argc, char* argv[])
{
    if (asksOnlyForInformation(argc, argv)) {
        QCoreApplication app(argc, argv);
        name(app);
        Translations::install(QLocale());
        QCommandLineParser parser;
        describe(parser);
        parser.process(app); // answers and ends here
        return EXIT_SUCCESS;
    }
    quietenWebEngine();
    // The web views need contexts shared before the application exists.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    name(app);
    Translations::install(QLocale());
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    // A library already open in another Lirenta comes to the front there instead, with the files.
    SingleInstance instance(DataDirectories::setDataDir().dataDir);
    if (!instance.claim(files)) {
        return EXIT_SUCCESS;
    }
    LibraryDatabase library;
    int status = EXIT_FAILURE;
    {
        // Catching signals starts before the library opens: a signal while a start-up question
        // is open ends the question and the program, with the library left as it rests.
        SignalQuitter quitter;
        bool signalled = false;
        QObject::connect(&quitter, &SignalQuitter::quitRequested, &app, [&signalled] {
            signalled = true;
            Prompt::endQuestions();
        });
        MainWindow window(library);
        if (!window.isStartedUp() || signalled) {
            return signalled ? EXIT_SUCCESS : EXIT_FAILURE;
        }
        QObject::disconnect(&quitter, nullptr, &app, nullptr);
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
    // Leaves the library file as it is at rest.
    library.close();
    return status;
}
