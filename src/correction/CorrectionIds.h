#pragma once

// The ids of the corrections and the user activities that travel between the
// correction modules, their panels, the module host and the state machine.

#include <QString>

// Module ids. "Anamorphosis" and "Distortion" are known to the state table
// only; no module carries them.
inline const QString g_keystoningCorrectionId = QStringLiteral("Keystoning");
inline const QString g_horizonCorrectionId = QStringLiteral("Horizon");
inline const QString g_cropCorrectionId = QStringLiteral("Crop");
inline const QString g_anamorphosisCorrectionId = QStringLiteral("Anamorphosis");
inline const QString g_distortionCorrectionId = QStringLiteral("Distortion");
// No module: no current correction, and the id under which the main window
// reports what concerns every module.
inline const QString g_emptyCorrectionId = QStringLiteral("Empty_Correction_ID");

// Arguments of the crop module's activities.
inline const QString g_manualCropArgument = QStringLiteral("manualCrop");
inline const QString g_autoCropArgument = QStringLiteral("autoCrop");
inline const QString g_constrainToImageArgument = QStringLiteral("constrainToImage");
inline const QString g_freeToImageArgument = QStringLiteral("freeToImage");

// Arguments of "SpecificCorrectionActivated" naming the keystoning tool.
inline const QString g_horizontalCorrectionArgument = QStringLiteral("HorizontalCorrection");
inline const QString g_verticalCorrectionArgument = QStringLiteral("VerticalCorrection");
inline const QString g_rectangleCorrectionArgument = QStringLiteral("RectangleCorrection");
inline const QString g_eightPointsCorrectionArgument = QStringLiteral("8PointsCorrection");

// The user activities; each text is its name.
namespace UserActivity {
inline const QString ModuleActivate = QStringLiteral("ModuleActivate");
inline const QString ModuleDeactivate = QStringLiteral("ModuleDeactivate");
inline const QString ModuleReset = QStringLiteral("ModuleReset");
inline const QString SpecificCorrectionActivated = QStringLiteral("SpecificCorrectionActivated");
inline const QString CorrectionApplyed = QStringLiteral("CorrectionApplyed");
inline const QString CorrectionReset = QStringLiteral("CorrectionReset");
inline const QString AdditionalControlTouched = QStringLiteral("AdditionalControlTouched");
inline const QString resetAndCloseAllTools = QStringLiteral("resetAndCloseAllTools");
inline const QString resetAll = QStringLiteral("resetAll");
} // namespace UserActivity
