#pragma once

#include <QObject>

#include <functional>

class QTableWidget;

// Widgets in table cells are costly (a few thousand take seconds), so a table gets them only
// for the rows on screen: scrolling, resizing, sorting and filtering bring the rest in as they
// appear. `make` is called for each shown row on screen and makes the row's widgets if it
// has none yet.
class LazyCellWidgets : public QObject
{
    Q_OBJECT

public:
    LazyCellWidgets(QTableWidget* table, std::function<void(int row)> make);

public Q_SLOTS:
    // Makes the widgets of the rows on screen now.
    void update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableWidget* table;
    std::function<void(int row)> make;
};
