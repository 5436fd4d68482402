#include "PathsPage.h"

#include "ui_PathsPage.h"

#include "LibraryBackup.h"
#include "LibraryDatabase.h"
#include "LibrarySettings.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

PathsPage::PathsPage(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::PathsPage>())
{
    ui->setupUi(this);
    const LibrarySettings settings;
    const QString dataDir = settings.dataDir();
    showPath(ui->libraryField, ui->openLibraryFolder, QDir::toNativeSeparators(LibraryDatabase::databasePath(dataDir)),
             dataDir);
    showPath(ui->dataField, ui->openDataFolder, QDir::toNativeSeparators(dataDir), dataDir);
    showPath(ui->capturedField, ui->openCapturedFolder, QDir::toNativeSeparators(settings.libraryDir()),
             settings.libraryDir());
    const QString backups = LibraryBackup::folder(dataDir);
    showPath(ui->backupsField, ui->openBackupsFolder, QDir::toNativeSeparators(backups), backups);
}

PathsPage::~PathsPage() = default;

void PathsPage::showPath(QLineEdit* field, QPushButton* open, const QString& path, const QString& folder)
{
    field->setText(path);
    field->setCursorPosition(0);
    field->setToolTip(path);
    open->setEnabled(!folder.isEmpty());
    connect(open, &QPushButton::clicked, this, [folder] {
        // The backups folder comes with the first backup; opening it before shows it empty.
        QDir().mkpath(folder);
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    });
}
