#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class NoticesWindow;
}

// A small window of the notices kept in this session, with a button to copy them.
class NoticesWindow : public QDialog
{
    Q_OBJECT

public:
    explicit NoticesWindow(QWidget* parent = nullptr);
    ~NoticesWindow() override;

    QString shownText() const;

private:
    std::unique_ptr<Ui::NoticesWindow> ui;
};
