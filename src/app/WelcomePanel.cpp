#include "WelcomePanel.h"

#include "ui_WelcomePanel.h"

#include <QEvent>
#include <QPushButton>

WelcomePanel::WelcomePanel(QWidget* parent) : QFrame(parent), ui(std::make_unique<Ui::WelcomePanel>())
{
    ui->setupUi(this);
    connect(ui->btnWelcomeAddBook, &QPushButton::clicked, this, &WelcomePanel::addBookRequested);
    connect(ui->btnWelcomeAddFolder, &QPushButton::clicked, this, &WelcomePanel::addFolderRequested);
    if (parent) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
}

WelcomePanel::~WelcomePanel() = default;

bool WelcomePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QFrame::eventFilter(watched, event);
}
