#pragma once

// The application-wide widget style: the Windows style without focus
// rectangles and without etched disabled text (the style sheet gives focus
// and disabled states their own look).

#include <QProxyStyle>

class CustomWindowsStyle : public QProxyStyle
{
    Q_OBJECT
public:
    CustomWindowsStyle();
    ~CustomWindowsStyle() override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};
