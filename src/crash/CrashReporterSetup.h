#pragma once

// Switching the crash reporter on and off for this run, and what happens
// after a crash report was written: the report is copied to
// "<documents>/Navik Quillet/CrashReports/temp/Navik Quillet.nqcrash" and,
// while sending is on, handed to the crash sender FaultCourier.

#include "shell/ICrashReporterSwitch.h"

#include <csignal>
#include <ucontext.h>

// Enables the crash reporter once per process and turns sending on, also
// after a disableCrashReporter.
void enableCrashReporter();
// Stops sending crash reports until the next enableCrashReporter; the reporter itself
// stays installed and still writes and copies reports.
void disableCrashReporter();

// Whether a crash report would be handed to the crash sender now.
bool isCrashReportSendingOn();

// enableCrashReporter and disableCrashReporter as the switch that the
// application registers for the windows.
class CCrashReporterSwitch final : public ICrashReporterSwitch
{
public:
    void enableCrashReporter() override;
    void disableCrashReporter() override;
};

// Called by the reporter at crash time, after the live report is closed.
// Async-signal-safe: uses only system calls on paths prepared at enabling.
void postCrashCallback(siginfo_t* info, ucontext_t* uap, void* context);

// Reads a crash report file and writes its text form.
void convertCrashReportToText(const char* inputPath, const char* outputPath);
