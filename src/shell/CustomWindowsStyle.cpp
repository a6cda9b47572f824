#include "shell/CustomWindowsStyle.h"

#include <QStyleFactory>

CustomWindowsStyle::CustomWindowsStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows")))
{
}

CustomWindowsStyle::~CustomWindowsStyle() = default;

void CustomWindowsStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                       QPainter* painter, const QWidget* widget) const
{
    if (element == QStyle::PE_FrameFocusRect)
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int CustomWindowsStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                  QStyleHintReturn* returnData) const
{
    if (hint == QStyle::SH_EtchDisabledText)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
