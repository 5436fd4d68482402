#include "MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    if (!window.isStartedUp()) {
        return EXIT_FAILURE;
    }
    window.show();
    return app.exec();
}
