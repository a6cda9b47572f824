#pragma once

// The text of an image size in the unit the user chose for it.

#include "utils/UtilsGlobal.h"

#include <QSize>
#include <QString>

namespace NAVIK_tarl1 {

// "3000 x 2000 px": the size in the unit stored under "imageSizeUnits"
// (0 pixels, 1 inches, 2 centimetres, 3 millimetres), converted with the
// resolution of the screen.
NAVIK_UTILS_EXPORT QString sizeToString(const QSize& size);

// The same text for a given unit and resolution in dots per inch. An unknown
// unit is logged and gives the pixel numbers without a unit word.
NAVIK_UTILS_EXPORT QString sizeToString(const QSize& size, int unit, int dpiX, int dpiY);

} // namespace NAVIK_tarl1
