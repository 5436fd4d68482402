#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class PathsPage;
}

class QLineEdit;
class QPushButton;

// Preferences: where the library file, its data, the captured pages and the backups live,
// each with a button that opens its folder in the desktop's file manager.
class PathsPage : public QWidget
{
    Q_OBJECT

public:
    explicit PathsPage(QWidget* parent = nullptr);
    ~PathsPage() override;

private:
    void showPath(QLineEdit* field, QPushButton* open, const QString& path, const QString& folder);

    std::unique_ptr<Ui::PathsPage> ui;
};
