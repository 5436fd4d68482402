#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class MainWindow;
}

// The application window. Its constructor runs the start-up sequence.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // False when start-up could not open a library; the program then exits.
    bool isStartedUp() const { return startedUp; }
    QString getDataDir() const { return dataDir; }
    QString getLibraryDir() const { return libraryDir; }

    void setDataDir();
    bool dbOpen();

private:
    std::unique_ptr<Ui::MainWindow> ui;
    QString dataDir;
    QString libraryDir;
    QString cloudToken;
    bool startedUp = false;
};
