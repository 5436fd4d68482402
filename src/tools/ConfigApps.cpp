#include "ConfigApps.h"

#include "ui_ConfigApps.h"

#include "LibrarySettings.h"
#include "Logging.h"
#include "Prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ConfigApps::s_defaultRoot = QStringLiteral("/opt");

namespace {

bool isFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}
} // namespace

ConfigApps::ConfigApps(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::ConfigApps>())
{
    ui->setupUi(this);
    LibrarySettings settings;
    if (settings.calibreDirPath().isEmpty()) {
        setCalibreDir(false);
    }
    if (settings.sigilDirPath().isEmpty()) {
        setSigilDir(false);
    }
    initialize();
}

ConfigApps::~ConfigApps() = default;

QString ConfigApps::defaultRoot()
{
    return s_defaultRoot;
}

void ConfigApps::setDefaultRoot(const QString& root)
{
    s_defaultRoot = root;
}

void ConfigApps::setCalibreDir(bool ask)
{
    const QString separator = QDir::separator();
    QString directory = s_defaultRoot + separator + "calibre";
    // Installed from a distribution's packages, Calibre lives on the PATH instead.
    if (!isFile(directory + separator + "calibre")) {
        const QString onPath = QStandardPaths::findExecutable("calibre");
        if (!onPath.isEmpty() && isFile(QFileInfo(onPath).absolutePath() + separator + "ebook-convert")) {
            directory = QFileInfo(onPath).absolutePath();
        }
    }
    // Browse always lets the user choose: what was found only suggests where to start.
    if (ask) {
        directory = Prompt::existingDirectory(this, tr("Select Calibre's program directory..."),
                                              isFile(directory + separator + "calibre") ? directory : s_defaultRoot);
        if (directory.isEmpty()) {
            return;
        }
    }
    const QString executable = directory + separator + "calibre";
    if (!directory.isEmpty() && isFile(executable)) {
        ui->editCalibrePath->setText(directory);
        LibrarySettings settings;
        settings.setCalibre(directory, executable, directory + separator + "ebook-convert");
    } else if (ask) {
        Prompt::warning(this, tr("Not found"),
                        tr("Sorry, Calibre was not found at this location, click Browse and try again..."));
    }
}

void ConfigApps::setSigilDir(bool ask)
{
    const QString separator = QDir::separator();
    QString directory = s_defaultRoot + separator + "sigil";
    QString executable = directory + separator + "sigil.sh";
    if (!isFile(executable)) {
        const QString onPath = QStandardPaths::findExecutable("sigil");
        if (!onPath.isEmpty()) {
            directory = QFileInfo(onPath).absolutePath();
            executable = onPath;
        }
    }
    if (ask) {
        directory = Prompt::existingDirectory(this, tr("Select Sigil's program directory..."),
                                              isFile(executable) ? directory : s_defaultRoot);
        if (directory.isEmpty()) {
            return;
        }
        executable = directory + separator + "sigil.sh";
        if (!isFile(executable) && isFile(directory + separator + "sigil")) {
            executable = directory + separator + "sigil";
        }
    }
    if (!directory.isEmpty() && isFile(executable)) {
        ui->sigilPath->setText(directory);
        LibrarySettings settings;
        settings.setSigil(directory, executable);
    } else if (ask) {
        Prompt::warning(this, tr("Not found"),
                        tr("Sorry, Sigil was not found at this location, click Browse and try again..."));
    }
}

void ConfigApps::initialize()
{
    LibrarySettings settings;
    ui->editCalibrePath->setText(settings.calibreDirPath());
    ui->sigilPath->setText(settings.sigilDirPath());
}

void ConfigApps::cleanup()
{
    qCDebug(lcTools) << "cleanup";
}

void ConfigApps::on_btnBrowse_clicked()
{
    setCalibreDir(true);
}

void ConfigApps::on_btnSigilPathBrowse_clicked()
{
    setSigilDir(true);
}
