#include "TableButton.h"

#include "ui_TableButton.h"

#include <QDesktopServices>
#include <QIcon>
#include <QUrl>

TableButton::TableButton(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TableButton>())
{
    ui->setupUi(this);
}

TableButton::~TableButton() = default;

void TableButton::toggleChecked()
{
    ui->btnChecked->toggle();
    checked = ui->btnChecked->isChecked();
}

void TableButton::on_btnChecked_toggled(bool isChecked)
{
    checked = isChecked;
    // The button shows a tick while the row takes part and a cross while it does not.
    ui->btnChecked->setIcon(QIcon(isChecked ? ":/images/icons/16x16/tick.png" : ":/images/icons/16x16/cross.png"));
}

void TableButton::on_toolButton_clicked()
{
    Q_EMIT downloadData(row);
}

void TableButton::on_importPlain_clicked()
{
    Q_EMIT importWithoutLookUp(row);
}

void TableButton::on_bookOpen_clicked()
{
    // fromLocalFile keeps "#", "?" and "%" in file names as part of the path.
    QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}
