#include "shell/ICrashReporterSwitch.h"

namespace {

ICrashReporterSwitch* g_crashReporterSwitch = nullptr;

} // namespace

void registerCrashReporterSwitch(ICrashReporterSwitch* crashSwitch)
{
    g_crashReporterSwitch = crashSwitch;
}

void unregisterCrashReporterSwitch(ICrashReporterSwitch* crashSwitch)
{
    // Only the switch still registered forgets itself: a newer one stays.
    if (g_crashReporterSwitch == crashSwitch)
        g_crashReporterSwitch = nullptr;
}

ICrashReporterSwitch* crashReporterSwitch()
{
    return g_crashReporterSwitch;
}
