#pragma once

// Switching the crash reporter on and off for this run. The reporter that
// captures fatal signals is not built yet: until it is, there is nothing to
// enable and no report to stop sending.

// Enables the crash reporter once per process.
void enableCrashReporter();
// Stops sending crash reports for the rest of the run; the reporter itself
// stays installed.
void disableCrashReporter();
