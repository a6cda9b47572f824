#pragma once

// Reduces a parameter dictionary to the entries that change the picture: a
// correction that is switched off, and settings at their neutral values, are
// dropped. The process engine compares reduced dictionaries to tell whether
// the picture changed. Each reduction works on a copy.

#include <Navik/Value.h>

#include <QString>

// Removes `key` when its value, read as the default's type, equals the default.
void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, bool defaultValue);
// The value is read as a double and compared exactly with the widened default.
void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, float defaultValue);
void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, int defaultValue);
void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, const QString& defaultValue);
void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, const Navik::ValueArray& defaultValue);
// A text default must be a QString: a bare literal would silently pick the bool overload.
void removeKeyIfDefault(Navik::Dictionary& dict, const QString& key, const char* defaultValue) = delete;

// The keystoning points a fresh correction starts from, as normalised x, y
// pairs: two horizontal lines, two vertical lines, and four lines.
Navik::ValueArray defaultHorizontalKeystoningPoints();
Navik::ValueArray defaultVerticalKeystoningPoints();
Navik::ValueArray default8PointsKeystoningPoints();

Navik::Dictionary removeDefaultKeystoningPropertiesFromDictionary(Navik::Dictionary dict);
Navik::Dictionary removeDefaultAnamorphosisPropertiesFromDictionary(Navik::Dictionary dict);
Navik::Dictionary removeDefaultCropPropertiesFromDictionary(Navik::Dictionary dict);
Navik::Dictionary removeDefaultDistortionPropertiesFromDictionary(Navik::Dictionary dict);

// All four reductions, then without "OutputICCProfile". Keys of no correction
// ("OutputRotation", for one) stay.
Navik::Dictionary removeDefaultPropertiesFromDictionary(const Navik::Dictionary& dict);
