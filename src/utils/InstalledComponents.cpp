#include "utils/InstalledComponents.h"

#include "utils/CSettings.h"

namespace NAVIK_tarl1 {

namespace {

// A host counts as installed only for the exact text "1".
bool isInstalled(const CSettings& settings, const char* key)
{
    return settings.value(QLatin1String(key)).toString() == QLatin1String("1");
}

// A 32-bit plug-in may also have been installed from the 64-bit installer,
// which records it under the same name with "FOR64" before "INSTALLED".
bool isInstalled32(const CSettings& settings, const char* key, const char* keyFrom64BitInstaller)
{
    return isInstalled(settings, key) || isInstalled(settings, keyFrom64BitInstaller);
}

} // namespace

void GetInstalledComponents(SInstalledComponents& components)
{
    const CSettings settings(QSettings::SystemScope);
    components.lrVersionList = settings.value(QStringLiteral("NAVIKLRINSTALLEDVERLIST")).toString();
    components.cs3_32 = isInstalled32(settings, "NAVIKCS332INSTALLED", "NAVIKCS332FOR64INSTALLED");
    components.cs4_32 = isInstalled32(settings, "NAVIKCS432INSTALLED", "NAVIKCS432FOR64INSTALLED");
    components.cs4_64 = isInstalled(settings, "NAVIKCS464INSTALLED");
    components.cs5_32 = isInstalled32(settings, "NAVIKCS532INSTALLED", "NAVIKCS532FOR64INSTALLED");
    components.cs5_64 = isInstalled(settings, "NAVIKCS564INSTALLED");
    components.cs6_32 = isInstalled32(settings, "NAVIKCS632INSTALLED", "NAVIKCS632FOR64INSTALLED");
    components.cs6_64 = isInstalled(settings, "NAVIKCS664INSTALLED");
    components.cc_32 = isInstalled32(settings, "NAVIKCC32INSTALLED", "NAVIKCC32FOR64INSTALLED");
    components.cc_64 = isInstalled(settings, "NAVIKCC64INSTALLED");
    components.el9_32 = isInstalled32(settings, "NAVIKEL932INSTALLED", "NAVIKEL932FOR64INSTALLED");
    components.el10_32 = isInstalled32(settings, "NAVIKEL1032INSTALLED", "NAVIKEL1032FOR64INSTALLED");
    components.el11_32 = isInstalled32(settings, "NAVIKEL1132INSTALLED", "NAVIKEL1132FOR64INSTALLED");
    components.apertureVersion = settings.value(QStringLiteral("NAVIKAPERTUREINSTALLEDVERSION")).toString();
}

} // namespace NAVIK_tarl1
