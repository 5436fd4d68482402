#include "ConfigDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QListWidget>
#include <QMetaObject>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
void callIfPresent(QWidget* page, const char* slot)
{
    if (page->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(QByteArray(slot) + "()")) >= 0) {
        QMetaObject::invokeMethod(page, slot);
    }
}
} // namespace

ConfigDialog::ConfigDialog(QWidget* parent)
    : QDialog(parent), pageList(new QListWidget(this)), pages(new QStackedWidget(this)),
      buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* row = new QHBoxLayout;
    pageList->setViewMode(QListView::IconMode);
    pageList->setIconSize(QSize(48, 48));
    pageList->setMovement(QListView::Static);
    pageList->setFlow(QListView::TopToBottom);
    pageList->setMaximumWidth(110);
    pageList->setSpacing(6);
    row->addWidget(pageList);
    row->addWidget(pages, 1);
    layout->addLayout(row, 1);
    layout->addWidget(buttons);
    connect(pageList, &QListWidget::currentRowChanged, pages, &QStackedWidget::setCurrentIndex);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int ConfigDialog::addPage(QWidget* page, const QIcon& icon, const QString& title)
{
    pages->addWidget(page);
    new QListWidgetItem(icon, title, pageList);
    if (pageList->currentRow() < 0) {
        pageList->setCurrentRow(0);
    }
    return pages->count() - 1;
}

int ConfigDialog::count() const
{
    return pages->count();
}

QWidget* ConfigDialog::page(int index) const
{
    return pages->widget(index);
}

void ConfigDialog::setCurrentPage(int index)
{
    pageList->setCurrentRow(index);
}

void ConfigDialog::showEvent(QShowEvent* event)
{
    for (int i = 0; i < pages->count(); ++i) {
        callIfPresent(pages->widget(i), "initialize");
    }
    QDialog::showEvent(event);
}

void ConfigDialog::done(int result)
{
    for (int i = 0; i < pages->count(); ++i) {
        callIfPresent(pages->widget(i), "cleanup");
    }
    QDialog::done(result);
}
