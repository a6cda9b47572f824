#pragma once

// Names shared by the program and the utility library: the product name, the
// run-mode names and settings keys used in several places. Each including file
// owns its own copies.

#include <QString>
#include <string>

static const QString g_appTitle = QStringLiteral("Navik Quillet");
static const QString g_appStorageDir = QStringLiteral("Navik Quillet");
static const QString g_standaloneMode = QStringLiteral("Standalone");
static const QString g_lrMode = QStringLiteral("LR");
static const QString g_photoshopMode = QStringLiteral("PS");
static const QString g_apertureMode = QStringLiteral("AP");
static const QString g_appFlag = QStringLiteral("appCrashFlag");
static const QString g_appStarted = QStringLiteral("appStarted");
static const QString g_appFinished = QStringLiteral("appFinished");
static const QString g_sceneBackgroundColor = QStringLiteral("sceneBackgroundColor");
static const QString g_showSampleImageAtStartup = QStringLiteral("showSampleImageAtStartup");
static const QString g_printCrashFlag = QStringLiteral("printCrashFlag");
static const QString g_printCrashWatcherStarted = QStringLiteral("printCrashWatcherStarted");
static const QString g_printCrashWatcherFinished = QStringLiteral("printCrashWatcherFinished");
static const QString g_gridOverlayCompositionMode = QStringLiteral("gridOverlay.compositionMode");
static const QString g_gridOverlayColor = QStringLiteral("gridOverlay.color");
static const QString g_gridOverlaySize = QStringLiteral("gridOverlay.size");
static const QString g_showImageSize = QStringLiteral("showImageSize");
static const QString g_ImageSizeUnits = QStringLiteral("imageSizeUnits");
static const QString g_settingsFocusNumber = QStringLiteral("settingsFocusNumber");

// Only the program has the preset marker; the library must not use it.
#if !defined(NAVIK_UTILS_LIBRARY)
static const std::string g_presetNilValue = "navik.preset.v6.value.nil";
#endif

namespace {
const QString g_emptyString;
}
