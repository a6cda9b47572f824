#include "crash/CrashReporterSetup.h"

#include "utils/Logger.h"

void enableCrashReporter()
{
}

void disableCrashReporter()
{
    // A note for developers: it belongs in the log, not on standard error.
    LOG_MESSAGE('D', "NqCrashreporter could not be uninstalled on Mac");
}
