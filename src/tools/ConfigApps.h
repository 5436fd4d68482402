#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class ConfigApps;
}

// The preferences page that records where Calibre (its converter) and Sigil are installed.
class ConfigApps : public QDialog
{
    Q_OBJECT

public:
    explicit ConfigApps(QWidget* parent = nullptr);
    ~ConfigApps() override;

    void setCalibreDir(bool ask);
    void setSigilDir(bool ask);

    // Where the program looks first; tests point it at their own folder.
    static QString defaultRoot();
    static void setDefaultRoot(const QString& root);

public Q_SLOTS:
    void initialize();
    void cleanup();

private Q_SLOTS:
    void on_btnBrowse_clicked();
    void on_btnSigilPathBrowse_clicked();

private:
    std::unique_ptr<Ui::ConfigApps> ui;
    static QString s_defaultRoot;
};
