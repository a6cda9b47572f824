#include "crash/CrashReporterSetup.h"

#include <cstdio>

void enableCrashReporter()
{
}

void disableCrashReporter()
{
    // The reporter's messages go to the system log (standard error here),
    // not to the program's log.
    std::fprintf(stderr, "%s\n", "NqCrashreporter could not be uninstalled on Mac");
}
