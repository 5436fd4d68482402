#pragma once

class QMainWindow;

namespace Ui {
class MainWindow;
}

// The window comes back where the user left it: place and size (maximised or not), the
// splitters, the books table's columns and its view. The first time it takes about two thirds
// of the screen, centred, and the table gives its room to the titles.
class WindowState
{
public:
    static void restore(QMainWindow* window, Ui::MainWindow* ui);
    static void save(const QMainWindow* window, const Ui::MainWindow* ui);
};
