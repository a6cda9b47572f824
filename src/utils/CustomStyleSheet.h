#pragma once

// Stand-in for the style-sheet composition that comes with the language
// manager: it composes the base sheet and the platform sheet (and the
// widget's own sheet when asked), without the per-language sheet. Replace it
// with the full composition when that lands.

#include "utils/UtilsGlobal.h"

#include <QString>

class QWidget;

namespace NAVIK_tarl1 {

// Sets the widget's style sheet to the base sheet (styleSheetPath, or
// ":/qss/custom.qss" when empty) followed by ":/qss/mac.qss" and, when
// appendCurrent is true, the widget's present sheet.
NAVIK_UTILS_EXPORT void setCustomStyleSheet(QWidget* widget, bool appendCurrent, const QString& styleSheetPath);

} // namespace NAVIK_tarl1
