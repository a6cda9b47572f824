#pragma once

// Small services shared by start-up, crash capture, usage statistics, the main
// window and preferences: the per-user storage folder and what lies in it, the
// launch bookkeeping, and a few window and text helpers. Every function is
// self-contained and keeps no state between calls.

#include "utils/UtilsGlobal.h"

#include <QString>

class QAction;
class QDialog;

namespace NAVIK_tarl1 {

// The anonymous user identifier: a lower-case UUID without braces, kept in
// "<documents>/Navik Quillet/Navik Labs/NavikUserID" and created on first use.
NAVIK_UTILS_EXPORT QString getUserID();

// "<documents>/Navik Quillet/recall/recall.bin"; makes the folder, not the file.
NAVIK_UTILS_EXPORT QString recallFilePath();

// "<pictures>/Navik Quillet Samples/", or empty when there is no pictures folder.
NAVIK_UTILS_EXPORT QString getSamplePicturesLocation();

NAVIK_UTILS_EXPORT bool isFirstLaunch();
NAVIK_UTILS_EXPORT void setNotFirstLaunch();

// The run mode ("Standalone", "LR", "PS", "AP") the last initialisation chose.
NAVIK_UTILS_EXPORT QString getLastLaunchMode();
NAVIK_UTILS_EXPORT void setLastLaunchMode(const QString& mode);

// Crash counters, one per launch mode, under "crashCounter_<mode>".
NAVIK_UTILS_EXPORT void incrementCrashCounter(); // counts a crash of the last launch mode
NAVIK_UTILS_EXPORT int crashCounterForPlugin(const QString& mode);
NAVIK_UTILS_EXPORT void crashCounterReset(const QString& mode);

// Runs "FaultCourier", found as QProcess finds a bare program name, and waits
// for it to end.
NAVIK_UTILS_EXPORT void startFaultCourier();

// Shows or hides the close button of the window with that id.
NAVIK_UTILS_EXPORT void enableWindowCloseButton(long windowId, bool enabled);

// Centres the dialog on the screen that shows its parent (or itself).
NAVIK_UTILS_EXPORT void centerDialogOnDesktop(QDialog* dialog);

// Appends " (<shortcut>)" to the action's tool tip.
NAVIK_UTILS_EXPORT void appendShortcutToActionToolTip(QAction& action);

// The operating system as a user would name it, e.g. "Debian GNU/Linux 12 (bookworm)".
NAVIK_UTILS_EXPORT QString systemVersion();

// "Navik Labs/tarl1/": the folder part of the settings file name.
NAVIK_UTILS_EXPORT QString getNavikDataDir();
// Kept for callers of the library's interface: always empty.
NAVIK_UTILS_EXPORT QString getQtPluginsDir(bool);

} // namespace NAVIK_tarl1
