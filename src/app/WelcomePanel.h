#pragma once

#include <QFrame>

#include <memory>

namespace Ui {
class WelcomePanel;
}

// What an empty library shows over its books tab: how to begin.
class WelcomePanel : public QFrame
{
    Q_OBJECT

public:
    explicit WelcomePanel(QWidget* parent = nullptr);
    ~WelcomePanel() override;

Q_SIGNALS:
    void addBookRequested();
    void addFolderRequested();

protected:
    // Covers the whole of the widget it lies on.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::WelcomePanel> ui;
};
