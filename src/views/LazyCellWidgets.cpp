#include "LazyCellWidgets.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

LazyCellWidgets::LazyCellWidgets(QTableWidget* table, std::function<void(int row)> make)
    : QObject(table), table(table), make(std::move(make))
{
    table->viewport()->installEventFilter(this);
    connect(table->verticalScrollBar(), &QScrollBar::valueChanged, this, &LazyCellWidgets::update);
    connect(table->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, &LazyCellWidgets::update);
}

void LazyCellWidgets::update()
{
    if (table->rowCount() == 0 || table->viewport()->height() <= 0) {
        return;
    }
    const int first = table->rowAt(0);
    if (first < 0) {
        return;
    }
    int last = table->rowAt(table->viewport()->height() - 1);
    if (last < 0) {
        last = table->rowCount() - 1;
    }
    for (int row = first; row <= last; ++row) {
        if (!table->isRowHidden(row)) {
            make(row);
        }
    }
}

bool LazyCellWidgets::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table->viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        update();
    }
    return QObject::eventFilter(watched, event);
}
