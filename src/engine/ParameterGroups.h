#pragma once

// Copying, pruning and questioning a parameter dictionary by the engine's
// parameter keys.

#include <Navik/Value.h>

#include <QSize>
#include <QString>

#include <initializer_list>

Navik::Dictionary copyDictionary(const Navik::Dictionary& dict);

// Stores the source's value for `key` in `target` when the source has one;
// otherwise `target` keeps whatever it holds.
void copyKeyIfPresent(Navik::Dictionary& target, const Navik::Dictionary& source, const QString& key);

// Removes each of `keys`; absent ones are no error.
void removeKeys(Navik::Dictionary& dict, std::initializer_list<const char*> keys);

// Whether the correction engine can correct with the keystoning points of
// `dict` on an image of `imageSize` pixels. True when the dictionary holds no
// complete active keystoning (switch, mode and points): there is nothing to ask.
bool isKeystoningPointsConfigurationValid(const Navik::Dictionary& dict, const QSize& imageSize);

// A normalised crop rectangle (left, top, width, height) of exactly
// [0, 0, 1, 1]: the whole frame. A NaN or fewer values is not.
bool isFullFrameRect(const Navik::ValueArray& rect);

// An active distortion correction of the type "Auto", "Fisheye" or "Barrel".
bool isAutoDistortionActive(const Navik::Dictionary& dict);
bool isFisheyeDistortionActive(const Navik::Dictionary& dict);
bool isBarrelDistortionActive(const Navik::Dictionary& dict);

// Whether an active keystoning has something for its intensity to act on: a
// non-zero intensity and either a non-zero adjustment or no mode.
bool isKeystoningSet(const Navik::Dictionary& dict);

// Copies without one group of keys, whatever their values.
Navik::Dictionary removeDistortionPropertiesFromDictionary(const Navik::Dictionary& dict);
Navik::Dictionary removeAnamorphosisPropertiesFromDictionary(const Navik::Dictionary& dict);
// Keeps "KeystoningHorizon"; the next one removes it too.
Navik::Dictionary removeKeystoningPropertiesFromDictionary(const Navik::Dictionary& dict);
Navik::Dictionary removeKeystoningAndHorizonPropertiesFromDictionary(const Navik::Dictionary& dict);
Navik::Dictionary removeCropAndOutputPropertiesFromDictionary(const Navik::Dictionary& dict);
// All five groups above.
Navik::Dictionary removeAllCorrectionPropertiesFromDictionary(const Navik::Dictionary& dict);
