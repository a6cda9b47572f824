#pragma once

// The host applications and versions the product's installer registered it
// for, as the usage statistics report them. Only the installer writes the keys;
// the product reads them.

#include "utils/UtilsGlobal.h"

#include <QString>

namespace NAVIK_tarl1 {

struct SInstalledComponents
{
    QString lrVersionList;        // the installed Lightroom versions, as stored
    bool cs3_32 = false;          // Photoshop plug-ins, per version and word size
    bool cs4_32 = false;
    bool cs4_64 = false;
    bool cs5_32 = false;
    bool cs5_64 = false;
    bool cs6_32 = false;
    bool cs6_64 = false;
    bool cc_32 = false;
    bool cc_64 = false;
    bool el9_32 = false;          // Photoshop Elements plug-ins
    bool el10_32 = false;
    bool el11_32 = false;
    QString apertureVersion;      // the installed Aperture version, as stored
};

// Fills every field from the settings file; absent keys give empty texts and
// false flags.
NAVIK_UTILS_EXPORT void GetInstalledComponents(SInstalledComponents& components);

} // namespace NAVIK_tarl1
