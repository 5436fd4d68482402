#include "FlatToolButtonStyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOptionToolButton>

FlatToolButtonStyle::FlatToolButtonStyle(QStyle* base) : QProxyStyle(base)
{
}

FlatToolButtonStyle* FlatToolButtonStyle::shared()
{
    static FlatToolButtonStyle* style = [] {
        auto* made = new FlatToolButtonStyle(QStyleFactory::create(QApplication::style()->name()));
        made->setParent(qApp); // gone with the application, before the style plugins are unloaded
        return made;
    }();
    return style;
}

void FlatToolButtonStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                             QPainter* painter, const QWidget* widget) const
{
    const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
    if (control != CC_ToolButton || !button) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QStyleOptionToolButton label = *button;
    label.state &= ~(State_MouseOver | State_Sunken | State_On | State_Raised);
    drawControl(CE_ToolButtonLabel, &label, painter, widget);
    if (button->state & State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*button);
        drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}

QSize FlatToolButtonStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                                            const QWidget* widget) const
{
    if (type == CT_ToolButton) {
        return contents + QSize(3, 3); // as a frameless, unpadded tool button in a style sheet
    }
    return QProxyStyle::sizeFromContents(type, option, contents, widget);
}
