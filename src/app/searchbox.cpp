#include "searchbox.h"

#include "ui_searchbox.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QShortcut>

searchbox::searchbox(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::searchbox>())
{
    ui->setupUi(this);
    // Escape in the field clears the search.
    auto* clear = new QShortcut(QKeySequence(Qt::Key_Escape), ui->searchBox, nullptr, nullptr, Qt::WidgetShortcut);
    connect(clear, &QShortcut::activated, ui->searchBox, &QLineEdit::clear);
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

void searchbox::focusField()
{
    ui->searchBox->setFocus(Qt::ShortcutFocusReason);
    ui->searchBox->selectAll();
}

void searchbox::setScopeMenu(QMenu* menu)
{
    QAction* button = ui->searchBox->addAction(QIcon(QStringLiteral(":/icons/icons/16x16/search_scope.png")),
                                               QLineEdit::LeadingPosition);
    button->setObjectName(QStringLiteral("searchScopeButton"));
    button->setToolTip(tr("Search in titles and descriptions, or in everything"));
    connect(button, &QAction::triggered, this,
            [this, menu] { menu->popup(ui->searchBox->mapToGlobal(QPoint(0, ui->searchBox->height()))); });
}

void searchbox::showScope(SearchScope scope)
{
    ui->searchBox->setPlaceholderText(scope == SearchScope::Everything    ? tr("Search everything...")
                                      : scope == SearchScope::InsideBooks ? tr("Search inside books...")
                                                                          : tr("Search..."));
}
