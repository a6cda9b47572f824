#include "TargetSettings.h"

#include "Navik/Logging.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace Navik::Internal {

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Copies a key's value into `field` only when the key is present, so a missing
// key keeps the field's default.
void read(const Dictionary& d, const char* key, bool& field)
{
    if (const Value value = d.GetValueForKey(key); value.IsValid())
        field = value.AsBool();
}

void read(const Dictionary& d, const char* key, double& field)
{
    if (const Value value = d.GetValueForKey(key); value.IsValid() && value.IsNumber())
        field = value.AsDouble();
}

void read(const Dictionary& d, const char* key, int& field)
{
    if (const Value value = d.GetValueForKey(key); value.IsValid() && value.IsNumber())
        field = value.AsInt();
}

void read(const Dictionary& d, const char* key, std::string& field)
{
    if (const Value value = d.GetValueForKey(key); value.IsValid())
        field = value.AsString();
}

void read(const Dictionary& d, const char* key, std::vector<double>& field)
{
    const Value value = d.GetValueForKey(key);
    if (!value.IsValid())
        return;
    const ValueArray& array = value.AsValueArray();
    field.clear();
    for (unsigned int i = 0; i < array.Count(); ++i)
        field.push_back(array.GetValueAtIndex(i).AsDouble());
}

Geometry::CorrectionParameters readGeometry(const Dictionary& d, const LensStageOptions& lens)
{
    Geometry::CorrectionParameters p;
    read(d, "KeystoningActive", p.keystoningActive);
    read(d, "KeystoningMode", p.keystoningMode);
    read(d, "KeystoningPoints", p.keystoningPoints);
    read(d, "KeystoningUpDown", p.keystoningUpDown);
    read(d, "KeystoningLeftRight", p.keystoningLeftRight);
    read(d, "KeystoningHorizon", p.keystoningHorizon);
    read(d, "KeystoningBlendingIntensity", p.keystoningBlendingIntensity);
    read(d, "KeystoningHVRatio", p.keystoningHVRatio);
    read(d, "KeystoningScale", p.keystoningScale);
    read(d, "KeystoningKeepCenter", p.keystoningKeepCenter);
    read(d, "OutputImageMaxSize", p.outputImageMaxSize);
    read(d, "KeystoningPreviousHomographyBackward", p.keystoningPreviousHomographyBackward);

    read(d, "DistortionActive", p.distortionActive);
    read(d, "DistortionType", p.distortionType);
    read(d, "DistortionIntensity", p.distortionIntensity);
    read(d, "DistortionKeepRatio", p.distortionKeepRatio);
    read(d, "DistortionAnamorphosisKeepEntireImage", p.distortionAnamorphosisKeepEntireImage);
    read(d, "AnamorphosisActive", p.anamorphosisActive);
    read(d, "AnamorphosisType", p.anamorphosisType);
    read(d, "AnamorphosisRadial", p.anamorphosisRadial);
    read(d, "AnamorphosisHorizontal", p.anamorphosisHorizontal);
    read(d, "AnamorphosisVertical", p.anamorphosisVertical);
    if (lens.automaticOnly && p.distortionType != "Auto")
        p.distortionActive = false;
    if (!lens.withAnamorphosis)
        p.anamorphosisActive = false;

    read(d, "CropActive", p.cropActive);
    read(d, "CropAuto", p.cropAuto);
    read(d, "CropRect", p.cropRect);
    read(d, "CropRatio", p.cropRatio);
    read(d, "OutputRotation", p.outputRotation);
    return p;
}

Interpolation readInterpolation(const Dictionary& d, CorrectionMode mode)
{
    const std::string name = lowerCase(d.GetValueForKey("OutputInterpolation").AsString());
    if (name == "bilinear" || name == "linear")
        return Interpolation::Bilinear;
    if (name == "bicubic" || name == "cubic")
        return Interpolation::Bicubic;
    return mode == kCorrectionModeFinal ? Interpolation::Bicubic : Interpolation::Bilinear;
}

// Inches per unit of "OutputSizeUnit"; none for pixels, 0 for an unknown unit.
std::optional<double> inchesPerUnit(const std::string& unit)
{
    const std::string name = lowerCase(unit);
    if (name.empty() || name == "px" || name == "pixel" || name == "pixels")
        return std::nullopt;
    if (name == "in" || name == "inch" || name == "inches")
        return 1.0;
    if (name == "cm" || name == "centimeter" || name == "centimeters" || name == "centimetre" || name == "centimetres")
        return 1.0 / 2.54;
    if (name == "mm" || name == "millimeter" || name == "millimeters" || name == "millimetre" || name == "millimetres")
        return 1.0 / 25.4;
    if (name == "pt" || name == "point" || name == "points")
        return 1.0 / 72.0;
    return 0.0;
}

// The print box in pixels from "OutputWidth", "OutputHeight", "OutputSizeUnit",
// "OutputResolution" and "OutputResolutionUnit" ("dpi", or "dpcm" per centimetre).
std::optional<PrintBox> readPrintBox(const Dictionary& d)
{
    double width = 0.0, height = 0.0, resolution = 0.0;
    read(d, "OutputWidth", width);
    read(d, "OutputHeight", height);
    read(d, "OutputResolution", resolution);
    width = std::isfinite(width) ? std::max(width, 0.0) : 0.0;
    height = std::isfinite(height) ? std::max(height, 0.0) : 0.0;
    if (width == 0.0 && height == 0.0)
        return std::nullopt;
    const std::string unit = d.GetValueForKey("OutputSizeUnit").AsString();
    const auto inches = inchesPerUnit(unit);
    if (!inches)
        return PrintBox{width, height};
    if (lowerCase(d.GetValueForKey("OutputResolutionUnit").AsString()) == "dpcm")
        resolution *= 2.54;
    if (*inches == 0.0 || !(resolution > 0.0) || !std::isfinite(resolution)) {
        Log("Engine", kLogLevelWarning, "print size in '%s' at %g dpi cannot be used; rendering at full size",
            unit.c_str(), resolution);
        return std::nullopt;
    }
    return PrintBox{width * *inches * resolution, height * *inches * resolution};
}

} // namespace

TargetSettings ReadTargetSettings(const Dictionary& parameters, CorrectionMode mode, const LensStageOptions& lens)
{
    TargetSettings settings;
    settings.geometry = readGeometry(parameters, lens);
    settings.interpolation = readInterpolation(parameters, mode);
    settings.outputProfile = parameters.GetValueForKey("OutputICCProfile").AsString();
    if (mode == kCorrectionModeFinal)
        settings.print = readPrintBox(parameters);
    return settings;
}

} // namespace Navik::Internal
