#pragma once

#include "SearchScope.h"

#include <QWidget>

#include <memory>

namespace Ui {
class searchbox;
}

class QMenu;

// The tool bar's search field; every change of its text is passed on as searchText.
class searchbox : public QWidget
{
    Q_OBJECT

public:
    explicit searchbox(QWidget* parent = nullptr);
    ~searchbox() override;

    void setTerms(const QString& terms);
    QString getTerms() const;
    // Puts the cursor in the field, its text selected (Find).
    void focusField();
    // A button at the field's start opens this menu (the search scope); the field's hint names
    // the scope.
    void setScopeMenu(QMenu* menu);
    void showScope(SearchScope scope);

Q_SIGNALS:
    void searchText(const QString& text);

private Q_SLOTS:
    void on_searchBox_textChanged(const QString& text);

private:
    std::unique_ptr<Ui::searchbox> ui;
};
