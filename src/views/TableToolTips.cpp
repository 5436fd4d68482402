#include "TableToolTips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

TableToolTips::TableToolTips(QAbstractItemView* view, QWidget* styledBy) : QObject(view), view(view), styledBy(styledBy)
{
    view->viewport()->installEventFilter(this);
}

bool TableToolTips::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != view->viewport() || event->type() != QEvent::ToolTip) {
        return QObject::eventFilter(watched, event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = view->indexAt(help->pos()).data(Qt::ToolTipRole).toString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), text, styledBy ? styledBy.data() : view);
    }
    return true;
}
