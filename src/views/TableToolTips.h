#pragma once

#include <QObject>
#include <QPointer>

class QAbstractItemView;
class QWidget;

// Shows the tool tips of a view's cells styled by another widget's style sheet. A style sheet
// on the view or above it would style the view's cell widgets as well, which made each row of
// rating stars several times as costly to make and to paint.
class TableToolTips : public QObject
{
    Q_OBJECT

public:
    TableToolTips(QAbstractItemView* view, QWidget* styledBy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* view;
    QPointer<QWidget> styledBy;
};
