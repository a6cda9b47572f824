#pragma once

// The colour profile renders for the screen are converted to.

#include <QByteArray>
#include <QString>

#include <functional>

// The path of the ICC profile that the desktop publishes for the primary
// screen, kept in a file of the cache folder; "sRGB" when the desktop
// publishes none or the file cannot be written. Asked of the desktop once,
// and again only after the primary screen changed, a screen came or went,
// or the desktop published another profile. Main thread only.
QString displayProfileForOutput();

// Forgets the profile: the next displayProfileForOutput() asks the desktop.
void forgetDisplayProfile();

// How the profile of a display is asked of the desktop (by default
// NAVIK_tarl1::getDisplayColorProfile); an empty function restores that.
// Forgets the profile. For tests.
using DisplayProfileLookup = std::function<bool(long displayId, QByteArray& profile)>;
void setDisplayProfileLookup(DisplayProfileLookup lookup);
