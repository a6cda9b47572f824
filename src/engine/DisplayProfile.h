#pragma once

// The colour profile renders for the screen are converted to.

#include <QString>

// The path of the ICC profile that the desktop publishes for the primary
// screen, kept in a file of the cache folder; "sRGB" when the desktop
// publishes none or the file cannot be written.
QString displayProfileForOutput();
