#include "engine/DefaultParameters.h"

#include "engine/EngineParameterKeys.h"
#include "engine/NavikStrings.h"
#include "engine/ParameterGroups.h"
#include "utils/Logger.h"

#include <QtNumeric>

namespace Keys = EngineParameterKeys;

namespace {

template <typename IsDefault>
void removeKeyIf(Navik::Dictionary& dict, const QString& key, IsDefault isDefault)
{
    const std::string name = toNavikString(key);
    if (isDefault(dict.GetValueForKey(name)))
        dict.RemoveValueForKey(name);
}

} // namespace

void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, bool defaultValue)
{
    removeKeyIf(dict, key, [=](const Navik::Value& value) { return value.AsBool() == defaultValue; });
}

void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, float defaultValue)
{
    removeKeyIf(dict, key, [=](const Navik::Value& value) { return value.AsDouble() == double(defaultValue); });
}

void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, int defaultValue)
{
    removeKeyIf(dict, key, [=](const Navik::Value& value) { return value.AsInt() == defaultValue; });
}

void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, const QString& defaultValue)
{
    const std::string text = toNavikString(defaultValue);
    removeKeyIf(dict, key, [&](const Navik::Value& value) { return value.AsString() == text; });
}

void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, const Navik::ValueArray& defaultValue)
{
    removeKeyIf(dict, key, [&](const Navik::Value& value) { return value.AsValueArray() == defaultValue; });
}

Navik::ValueArray defaultHorizontalKeystoningPoints()
{
    return {0.25, 0.25, 0.75, 0.25, 0.75, 0.75, 0.25, 0.75};
}

Navik::ValueArray defaultVerticalKeystoningPoints()
{
    return {0.25, 0.25, 0.25, 0.75, 0.75, 0.75, 0.75, 0.25};
}

Navik::ValueArray default8PointsKeystoningPoints()
{
    return {0.25, 0.375, 0.25, 0.625, 0.75, 0.625, 0.75, 0.375,
            0.625, 0.75, 0.375, 0.75, 0.625, 0.25, 0.375, 0.25};
}

Navik::Dictionary removeDefaultKeystoningPropertiesFromDictionary(Navik::Dictionary dict)
{
    LOG_TRACE();
    if (dict.GetValueForKey(Keys::KeystoningActive).AsBool()) {
        removeKeyIfDefault(dict, Keys::KeystoningBlendingIntensity, 100.0f);
        removeKeyIfDefault(dict, Keys::KeystoningKeepCenter, true);
        removeKeyIfDefault(dict, Keys::KeystoningUpDown, 0.0f);
        removeKeyIfDefault(dict, Keys::KeystoningLeftRight, 0.0f);
        removeKeyIfDefault(dict, Keys::KeystoningHorizon, 0.0f);
        removeKeyIfDefault(dict, Keys::KeystoningScale, 100.0f);
        removeKeyIfDefault(dict, Keys::KeystoningHVRatio, 0.0f);
        // Without a mode the points mean nothing.
        if (dict.GetValueForKey(Keys::KeystoningMode).AsString().empty())
            dict.RemoveValueForKey(Keys::KeystoningPoints);
        const Navik::ValueArray points = dict.GetValueForKey(Keys::KeystoningPoints).AsValueArray();
        if (points == defaultHorizontalKeystoningPoints() || points == defaultVerticalKeystoningPoints() ||
            points == default8PointsKeystoningPoints())
            dict.RemoveValueForKey(Keys::KeystoningPoints);
    } else {
        removeKeys(dict, {Keys::KeystoningBlendingIntensity, Keys::KeystoningMode, Keys::KeystoningUpDown,
                          Keys::KeystoningLeftRight, Keys::KeystoningHorizon, Keys::KeystoningScale,
                          Keys::KeystoningHVRatio, Keys::KeystoningKeepCenter, Keys::KeystoningPoints});
    }
    // None of these changes the picture by itself.
    removeKeys(dict, {Keys::OutputImageMaxSize, Keys::KeystoningPreviousHomographyBackward, Keys::KeystoningActive,
                      Keys::KeystoningMode, Keys::KeystoningKeepOriginalSize});
    removeKeyIfDefault(dict, Keys::Intensity, 100);
    return dict;
}

Navik::Dictionary removeDefaultAnamorphosisPropertiesFromDictionary(Navik::Dictionary dict)
{
    LOG_TRACE();
    if (dict.GetValueForKey(Keys::AnamorphosisActive).AsBool()) {
        // The type stays: an active anamorphosis always counts.
        removeKeyIfDefault(dict, Keys::AnamorphosisRadial, 150.0f);
        removeKeyIfDefault(dict, Keys::AnamorphosisHorizontal, 100.0f);
        removeKeyIfDefault(dict, Keys::AnamorphosisVertical, 0.0f);
    } else {
        removeKeys(dict, {Keys::AnamorphosisType, Keys::AnamorphosisRadial, Keys::AnamorphosisHorizontal,
                          Keys::AnamorphosisVertical});
    }
    removeKeys(dict, {Keys::AnamorphosisActive, Keys::DistortionKeepRatio, Keys::DistortionAnamorphosisKeepEntireImage});
    return dict;
}

Navik::Dictionary removeDefaultCropPropertiesFromDictionary(Navik::Dictionary dict)
{
    LOG_TRACE();
    if (dict.GetValueForKey(Keys::CropActive).AsBool()) {
        // An automatic crop ignores the stored rectangle.
        if (isFullFrameRect(dict.GetValueForKey(Keys::CropRect).AsValueArray()) ||
            dict.GetValueForKey(Keys::CropAuto).AsBool())
            dict.RemoveValueForKey(Keys::CropRect);
        if (qFuzzyCompare(dict.GetValueForKey(Keys::CropRatio).AsDouble(), -1.0))
            dict.RemoveValueForKey(Keys::CropRatio);
        // A manual crop of the full frame is no crop, whatever its ratio.
        const Navik::Value autoCrop = dict.GetValueForKey(Keys::CropAuto);
        if (autoCrop.IsValid() && !autoCrop.AsBool() && !dict.GetValueForKey(Keys::CropRect).IsValid())
            removeKeys(dict, {Keys::CropAuto, Keys::CropRatio});
    } else {
        removeKeys(dict, {Keys::CropRatio, Keys::CropRect, Keys::CropAuto});
    }
    dict.RemoveValueForKey(Keys::CropActive);
    removeKeyIfDefault(dict, Keys::CropAuto, true);
    return dict;
}

Navik::Dictionary removeDefaultDistortionPropertiesFromDictionary(Navik::Dictionary dict)
{
    LOG_TRACE();
    // An active distortion correction always counts, whatever its settings.
    if (!dict.GetValueForKey(Keys::DistortionActive).AsBool())
        removeKeys(dict, {Keys::DistortionIntensity, Keys::DistortionType});
    dict.RemoveValueForKey(Keys::DistortionActive);
    return dict;
}

Navik::Dictionary removeDefaultPropertiesFromDictionary(const Navik::Dictionary& dict)
{
    LOG_TRACE();
    Navik::Dictionary reduced = removeDefaultDistortionPropertiesFromDictionary(dict);
    reduced = removeDefaultAnamorphosisPropertiesFromDictionary(std::move(reduced));
    reduced = removeDefaultCropPropertiesFromDictionary(std::move(reduced));
    reduced = removeDefaultKeystoningPropertiesFromDictionary(std::move(reduced));
    reduced.RemoveValueForKey(Keys::OutputICCProfile);
    return reduced;
}
