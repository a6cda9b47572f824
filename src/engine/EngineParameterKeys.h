#pragma once

// The keys of the correction engine's parameter dictionary, as the engine
// utilities, the process engine and the correction modules write them.

namespace EngineParameterKeys {

// Keystoning (perspective) and horizon.
inline constexpr char KeystoningActive[] = "KeystoningActive";
inline constexpr char KeystoningMode[] = "KeystoningMode";
inline constexpr char KeystoningPoints[] = "KeystoningPoints";
inline constexpr char KeystoningBlendingIntensity[] = "KeystoningBlendingIntensity";
inline constexpr char KeystoningKeepCenter[] = "KeystoningKeepCenter";
inline constexpr char KeystoningUpDown[] = "KeystoningUpDown";
inline constexpr char KeystoningLeftRight[] = "KeystoningLeftRight";
inline constexpr char KeystoningHorizon[] = "KeystoningHorizon";
inline constexpr char KeystoningScale[] = "KeystoningScale";
inline constexpr char KeystoningHVRatio[] = "KeystoningHVRatio";
inline constexpr char KeystoningPreviousHomographyBackward[] = "KeystoningPreviousHomographyBackward";
inline constexpr char KeystoningUpdatedHomographyForward[] = "KeystoningUpdatedHomographyForward";
inline constexpr char KeystoningKeepOriginalSize[] = "KeystoningKeepOriginalSize";
inline constexpr char Intensity[] = "Intensity";

// Anamorphosis.
inline constexpr char AnamorphosisActive[] = "AnamorphosisActive";
inline constexpr char AnamorphosisType[] = "AnamorphosisType";
inline constexpr char AnamorphosisRadial[] = "AnamorphosisRadial";
inline constexpr char AnamorphosisHorizontal[] = "AnamorphosisHorizontal";
inline constexpr char AnamorphosisVertical[] = "AnamorphosisVertical";

// Lens distortion, and the two switches that anamorphosis shares with it.
inline constexpr char DistortionActive[] = "DistortionActive";
inline constexpr char DistortionType[] = "DistortionType";
inline constexpr char DistortionIntensity[] = "DistortionIntensity";
inline constexpr char DistortionFocus[] = "DistortionFocus";
inline constexpr char DistortionFocal[] = "DistortionFocal";
inline constexpr char DistortionKeepRatio[] = "DistortionKeepRatio";
inline constexpr char DistortionAnamorphosisKeepEntireImage[] = "DistortionAnamorphosisKeepEntireImage";

// Crop.
inline constexpr char CropActive[] = "CropActive";
inline constexpr char CropAuto[] = "CropAuto";
inline constexpr char CropRatio[] = "CropRatio";
inline constexpr char CropRect[] = "CropRect";
inline constexpr char CropRectAuto[] = "CropRectAuto";

// Output.
inline constexpr char OutputImageMaxSize[] = "OutputImageMaxSize";
inline constexpr char OutputICCProfile[] = "OutputICCProfile";
inline constexpr char OutputSize[] = "OutputSize";
inline constexpr char OutputWidth[] = "OutputWidth";
inline constexpr char OutputHeight[] = "OutputHeight";
inline constexpr char OutputSizeUnit[] = "OutputSizeUnit";
inline constexpr char OutputResolution[] = "OutputResolution";
inline constexpr char OutputResolutionUnit[] = "OutputResolutionUnit";
inline constexpr char OutputInterpolation[] = "OutputInterpolation";
inline constexpr char OutputRotation[] = "OutputRotation";
inline constexpr char OutputRotationAuto[] = "OutputRotationAuto";

// Thumbnails: a blur radius in pixels of the opened image.
inline constexpr char VignettedBlurRadius[] = "VignettedBlurRadius";

} // namespace EngineParameterKeys
