#pragma once

#include <QProxyStyle>

// Tool buttons drawn as their icon alone, with no frame in any state, sized as a style sheet
// of "border: none" sizes them. A style sheet on each of thousands of small widgets makes every
// one of them costly to polish; one shared style does the same for nearly nothing.
class FlatToolButtonStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // One for the whole program, on the application's own style.
    static FlatToolButtonStyle* shared();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget = nullptr) const override;

private:
    explicit FlatToolButtonStyle(QStyle* base);
};
