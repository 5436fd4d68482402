#include "searchbox.h"

#include "ui_searchbox.h"

searchbox::searchbox(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::searchbox>())
{
    ui->setupUi(this);
}

searchbox::~searchbox() = default;

void searchbox::setTerms(const QString& terms)
{
    ui->searchBox->setText(terms);
}

QString searchbox::getTerms() const
{
    return ui->searchBox->text();
}

void searchbox::on_searchBox_textChanged(const QString& text)
{
    Q_EMIT searchText(text);
}
