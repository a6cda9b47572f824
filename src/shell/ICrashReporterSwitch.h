#pragma once

// Switching the crash reporter on and off while the program runs, for the
// windows below the crash capture (the preferences). The crash capture
// implements it and the application registers it at start; without one the
// switch does nothing. GUI thread only.
class ICrashReporterSwitch
{
public:
    virtual ~ICrashReporterSwitch() = default;

    // Crash reports are written and handed to the crash sender.
    virtual void enableCrashReporter() = 0;
    // Crash reports are no longer handed to the crash sender.
    virtual void disableCrashReporter() = 0;
};

// The registered switch, or null.
void registerCrashReporterSwitch(ICrashReporterSwitch* crashSwitch);
void unregisterCrashReporterSwitch(ICrashReporterSwitch* crashSwitch);
ICrashReporterSwitch* crashReporterSwitch();
