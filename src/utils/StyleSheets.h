#pragma once

// The look of the program's widgets: style sheets composed from the resource
// tree, the application logo and fonts.

#include "utils/UtilsGlobal.h"

#include <QString>

class QWidget;

namespace NAVIK_tarl1 {

// Gives the widget the sheet at styleSheetPath (":/qss/custom.qss" when the
// path is empty), followed by the platform sheet ":/qss/mac.qss", the widget's
// present sheet when appendCurrent is true, and the sheet of the current
// language (":/qss/extra-mac-<abbreviation>.qss") when there is one. A base or
// platform sheet that cannot be read counts as empty and is logged.
NAVIK_UTILS_EXPORT void setCustomStyleSheet(QWidget* widget, bool appendCurrent = false,
                                            const QString& styleSheetPath = QString());

// Sets the application's window icon from the eight logo sizes in
// ":/icons/app_icon/"; false when none of them could be loaded.
NAVIK_UTILS_EXPORT bool loadAppLogoIcon();

// Nothing to load: every widget's font comes from the style sheets.
NAVIK_UTILS_EXPORT void loadFonts();

} // namespace NAVIK_tarl1
