#include "MainWindow.h"

#include "ui_MainWindow.h"

#include "DataDirectories.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "Prompt.h"

#include <QApplication>
#include <QIcon>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    QApplication::setWindowIcon(QIcon(":/svg/icons/256x256/Lirenta.png"));
    // Logging needs no set-up: categories are quiet unless QT_LOGGING_RULES enables them.
    setDataDir();
    if (!dbOpen()) {
        return;
    }
    cloudToken = LibrarySettings().value("cloudToken", QString()).toString();
    qCDebug(lcApp) << "Finished initial loading.";
    startedUp = true;
}

MainWindow::~MainWindow() = default;

void MainWindow::setDataDir()
{
    const DataDirectories::Paths paths = DataDirectories::setDataDir();
    dataDir = paths.dataDir;
    libraryDir = paths.libraryDir;
}

bool MainWindow::dbOpen()
{
    const QString title = tr("Library database");
    for (;;) {
        const LibraryDatabase::Outcome outcome = LibraryDatabase::open(dataDir);
        switch (outcome.status) {
        case LibraryDatabase::Status::Opened:
        case LibraryDatabase::Status::Created:
            return true;
        case LibraryDatabase::Status::CannotOpen:
            Prompt::critical(this, title,
                             tr("The library database %1 could not be opened.\n\n%2\n\nLirenta will close.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::CannotCreate:
            Prompt::critical(this, title,
                             tr("The library database %1 could not be created.\n\n%2\n\nLirenta will close.")
                                 .arg(outcome.path, outcome.error));
            return false;
        case LibraryDatabase::Status::Damaged: {
            const QString text = tr("The library database %1 is damaged or is not a Lirenta library (%2).\n\n"
                                    "It has been moved to %3 and will not be changed.\n\n"
                                    "Start with a new, empty library? Choose No to quit.")
                                     .arg(outcome.path, outcome.error, outcome.movedTo);
            if (Prompt::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
                QMessageBox::Yes) {
                return false;
            }
            break; // the path is free now: the next round creates a new library
        }
        }
    }
}
