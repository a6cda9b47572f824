#include "engine/ParameterGroups.h"

#include "engine/EngineParameterKeys.h"
#include "engine/NavikStrings.h"

#include <Navik/Keystoning.h>

#include <vector>

namespace Keys = EngineParameterKeys;

namespace {

bool isDistortionOfTypeActive(const Navik::Dictionary& dict, const char* type)
{
    return dict.GetValueForKey(Keys::DistortionActive).AsBool() &&
           dict.GetValueForKey(Keys::DistortionType).AsString() == type;
}

Navik::KeystoningTool keystoningToolForMode(const std::string& mode)
{
    if (mode == "Parallel")
        return Navik::kKeystoningToolParallel;
    if (mode == "FourLines")
        return Navik::kKeystoningToolFourLines;
    return Navik::kKeystoningToolRectangle;
}

// The keystoning keys in the order they are removed, the horizon only when asked.
void removeKeystoningKeys(Navik::Dictionary& dict, bool withHorizon)
{
    removeKeys(dict, {Keys::KeystoningActive, Keys::KeystoningBlendingIntensity, Keys::KeystoningMode,
                      Keys::KeystoningUpDown, Keys::KeystoningLeftRight});
    if (withHorizon)
        dict.RemoveValueForKey(Keys::KeystoningHorizon);
    removeKeys(dict, {Keys::KeystoningScale, Keys::KeystoningHVRatio, Keys::KeystoningKeepCenter,
                      Keys::KeystoningPoints, Keys::OutputImageMaxSize, Keys::KeystoningPreviousHomographyBackward,
                      Keys::KeystoningKeepOriginalSize, Keys::Intensity});
}

} // namespace

Navik::Dictionary copyDictionary(const Navik::Dictionary& dict)
{
    return dict;
}

void copyKeyIfPresent(Navik::Dictionary& target, const Navik::Dictionary& source, const QString& key)
{
    const std::string name = toNavikString(key);
    const Navik::Value value = source.GetValueForKey(name);
    if (value.IsValid())
        target.SetValueForKey(name, value);
}

void removeKeys(Navik::Dictionary& dict, std::initializer_list<const char*> keys)
{
    for (const char* key : keys)
        dict.RemoveValueForKey(key);
}

bool isKeystoningPointsConfigurationValid(const Navik::Dictionary& dict, const QSize& imageSize)
{
    const Navik::Value mode = dict.GetValueForKey(Keys::KeystoningMode);
    const Navik::Value points = dict.GetValueForKey(Keys::KeystoningPoints);
    const Navik::Value active = dict.GetValueForKey(Keys::KeystoningActive);
    if (!mode.IsValid() || mode.AsString().empty() || !points.IsValid() || !active.IsValid() || !active.AsBool())
        return true;

    // Normalised x, y pairs become pixels of the image.
    const Navik::ValueArray& normalised = points.AsValueArray();
    std::vector<double> pixels;
    pixels.reserve(normalised.Count());
    for (unsigned int i = 0; i < normalised.Count(); ++i)
        pixels.push_back(normalised.GetValueAtIndex(i).AsDouble() * (i % 2 == 0 ? imageSize.width() : imageSize.height()));
    return Navik::Keystoning::IsPointsConfigurationValid(keystoningToolForMode(mode.AsString()), pixels);
}

bool isFullFrameRect(const Navik::ValueArray& rect)
{
    const double whole[] = {0.0, 0.0, 1.0, 1.0};
    for (unsigned int i = 0; i < 4; ++i) {
        if (rect.GetValueAtIndex(i).AsDouble() != whole[i])
            return false;
    }
    return true;
}

bool isAutoDistortionActive(const Navik::Dictionary& dict)
{
    return isDistortionOfTypeActive(dict, "Auto");
}

bool isFisheyeDistortionActive(const Navik::Dictionary& dict)
{
    return isDistortionOfTypeActive(dict, "Fisheye");
}

bool isBarrelDistortionActive(const Navik::Dictionary& dict)
{
    return isDistortionOfTypeActive(dict, "Barrel");
}

bool isKeystoningSet(const Navik::Dictionary& dict)
{
    const auto isNonZero = [&](const char* key) { return dict.GetValueForKey(key).AsInt() != 0; };
    const bool adjusted = isNonZero(Keys::KeystoningUpDown) || isNonZero(Keys::KeystoningLeftRight) ||
                          isNonZero(Keys::KeystoningHorizon) || isNonZero(Keys::KeystoningScale) ||
                          isNonZero(Keys::KeystoningHVRatio);
    return dict.GetValueForKey(Keys::KeystoningActive).AsBool() && isNonZero(Keys::KeystoningBlendingIntensity) &&
           (adjusted || dict.GetValueForKey(Keys::KeystoningMode).AsString().empty());
}

Navik::Dictionary removeDistortionPropertiesFromDictionary(const Navik::Dictionary& dict)
{
    Navik::Dictionary result = dict;
    removeKeys(result, {Keys::DistortionActive, Keys::DistortionType, Keys::DistortionIntensity,
                        Keys::DistortionKeepRatio, Keys::DistortionFocus, Keys::DistortionFocal});
    return result;
}

Navik::Dictionary removeAnamorphosisPropertiesFromDictionary(const Navik::Dictionary& dict)
{
    Navik::Dictionary result = dict;
    removeKeys(result, {Keys::AnamorphosisActive, Keys::AnamorphosisType, Keys::AnamorphosisRadial,
                        Keys::AnamorphosisHorizontal, Keys::AnamorphosisVertical});
    return result;
}

Navik::Dictionary removeKeystoningPropertiesFromDictionary(const Navik::Dictionary& dict)
{
    Navik::Dictionary result = dict;
    removeKeystoningKeys(result, false);
    return result;
}

Navik::Dictionary removeKeystoningAndHorizonPropertiesFromDictionary(const Navik::Dictionary& dict)
{
    Navik::Dictionary result = dict;
    removeKeystoningKeys(result, true);
    return result;
}

Navik::Dictionary removeCropAndOutputPropertiesFromDictionary(const Navik::Dictionary& dict)
{
    Navik::Dictionary result = dict;
    removeKeys(result, {Keys::CropActive, Keys::CropAuto, Keys::CropRatio, Keys::CropRect, Keys::CropRectAuto,
                        Keys::OutputSize, Keys::OutputWidth, Keys::OutputHeight, Keys::OutputSizeUnit,
                        Keys::OutputResolution, Keys::OutputResolutionUnit, Keys::OutputInterpolation,
                        Keys::OutputRotation, Keys::OutputRotationAuto});
    return result;
}

Navik::Dictionary removeAllCorrectionPropertiesFromDictionary(const Navik::Dictionary& dict)
{
    Navik::Dictionary result = removeCropAndOutputPropertiesFromDictionary(dict);
    result = removeKeystoningAndHorizonPropertiesFromDictionary(result);
    result = removeKeystoningPropertiesFromDictionary(result);
    result = removeAnamorphosisPropertiesFromDictionary(result);
    return removeDistortionPropertiesFromDictionary(result);
}
