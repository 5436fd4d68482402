#include "NoticesWindow.h"

#include "ui_NoticesWindow.h"

#include "NoticeLog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QPushButton>

NoticesWindow::NoticesWindow(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::NoticesWindow>())
{
    ui->setupUi(this);
    QStringList lines;
    for (const NoticeLog::Notice& notice : NoticeLog::notices()) {
        lines << QLocale().toString(notice.when, QLocale::ShortFormat) + QStringLiteral("  ") + notice.text;
    }
    ui->noticeText->setPlainText(lines.isEmpty() ? tr("Nothing to report.") : lines.join(QLatin1Char('\n')));
    QPushButton* copy = ui->closeButtons->addButton(tr("Copy"), QDialogButtonBox::ActionRole);
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(ui->noticeText->toPlainText()); });
}

NoticesWindow::~NoticesWindow() = default;

QString NoticesWindow::shownText() const
{
    return ui->noticeText->toPlainText();
}
