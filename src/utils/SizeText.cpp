#include "utils/SizeText.h"

#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"
#include "utils/SharedConstants.h"

#include <QObject>

namespace NAVIK_tarl1 {

namespace {

enum SizeUnit { Pixels = 0, Inches = 1, Centimetres = 2, Millimetres = 3 };

// Length units per inch, and the decimals shown, of each unit.
struct UnitScale
{
    double perInch;
    int decimals;
};

bool unitScale(int unit, UnitScale& scale)
{
    switch (unit) {
    case Inches:
        scale = {1.0, 2};
        return true;
    case Centimetres:
        scale = {2.54, 1};
        return true;
    case Millimetres:
        scale = {25.4, 0};
        return true;
    default:
        return false;
    }
}

QString unitWord(int unit)
{
    switch (unit) {
    case Pixels:
        return QObject::tr("px");
    case Inches:
        return QObject::tr("in");
    case Centimetres:
        return QObject::tr("cm");
    case Millimetres:
        return QObject::tr("mm");
    default:
        ASSERT(false);
        return QString();
    }
}

} // namespace

QString sizeToString(const QSize& size)
{
    const int unit = getSettingsInt(g_ImageSizeUnits, Pixels, Pixels, Millimetres);
    int dpiX = 0;
    int dpiY = 0;
    getScreenDpi(&dpiX, &dpiY);
    return sizeToString(size, unit, dpiX, dpiY);
}

QString sizeToString(const QSize& size, int unit, int dpiX, int dpiY)
{
    double width = size.width();
    double height = size.height();
    int decimals = 0;
    UnitScale scale;
    if (unitScale(unit, scale)) {
        width = width * scale.perInch / dpiX;
        height = height * scale.perInch / dpiY;
        decimals = scale.decimals;
    } else {
        ASSERT(unit == Pixels);
    }
    return QString::number(width, 'f', decimals) + QStringLiteral(" x ")
           + QString::number(height, 'f', decimals) + QLatin1Char(' ') + unitWord(unit);
}

} // namespace NAVIK_tarl1
