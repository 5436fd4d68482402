#include "LibraryDatabase.h"
#include "MainWindow.h"
#include "SignalQuitter.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The web views need contexts shared before the application exists.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    int status = EXIT_FAILURE;
    {
        MainWindow window;
        if (window.isStartedUp()) {
            SignalQuitter quitter;
            QObject::connect(&quitter, &SignalQuitter::quitRequested, &window, &MainWindow::endSession);
            window.show();
            status = app.exec();
        }
    }
    // Leaves the library file as it is at rest.
    LibraryDatabase::close();
    return status;
}
