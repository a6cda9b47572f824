#include "shell/CBaseCorrectionGlobalData.h"

CBaseCorrectionGlobalData::CBaseCorrectionGlobalData()
    : normalPixmap(QStringLiteral(":/icons/keystoning/line-point.png"))
    , pressedPixmap(QStringLiteral(":/icons/keystoning/line-point-pressed.png"))
    , hoverPixmap(QStringLiteral(":/icons/keystoning/line-point-hover.png"))
    , focusedPixmap(QStringLiteral(":/icons/keystoning/line-point-focused.png"))
{
}
