#include "MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The web views need contexts shared before the application exists.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    MainWindow window;
    if (!window.isStartedUp()) {
        return EXIT_FAILURE;
    }
    window.show();
    return app.exec();
}
