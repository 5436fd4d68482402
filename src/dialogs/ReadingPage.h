#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class ReadingPage;
}

// Preferences for reading: which program opens PDF books. A choice is kept at once.
class ReadingPage : public QWidget
{
    Q_OBJECT

public:
    explicit ReadingPage(QWidget* parent = nullptr);
    ~ReadingPage() override;

private:
    std::unique_ptr<Ui::ReadingPage> ui;
};
