#pragma once

// The one crash reporter of the process. When enabled it prepares the crash
// log writer, installs the fatal-signal handler (NQCrashSignalHandler) and a
// terminate handler for uncaught C++ exceptions; at crash time the handler
// writes the live report "live_report.nqcrash" in the report folder under the
// user's cache folder, then calls the caller's callback. Afterwards (in the
// next run, or in the callback) the pending report can be loaded and purged.

#include "crash/NQCrashReporterError.h"

#include <QByteArray>
#include <QString>

#include <csignal>
#include <cstdint>
#include <stdexcept>
#include <ucontext.h>

// Raised on misuse: enabling twice, callbacks after enabling, a second
// registration of the signal handler, a process without a name.
class NQCrashReporterException : public std::runtime_error
{
public:
    explicit NQCrashReporterException(const char* reason) : std::runtime_error(reason) {}
    static const char* name() { return "NQCrashReporterException"; }
};

using NQCrashReporterPostCrashSignalCallback = void (*)(siginfo_t* info, ucontext_t* uap, void* context);

struct NQCrashReporterCallbacks
{
    // Only 0 is accepted.
    uint16_t version;
    void* context;
    NQCrashReporterPostCrashSignalCallback handleSignal;
};

class NQCrashReporter
{
public:
    // Created on first use from the application's name and version.
    static NQCrashReporter& sharedReporter();

    // Throws "The crash reporter has alread been enabled" once enabled;
    // returns false for a version other than 0.
    bool setCrashCallbacks(const NQCrashReporterCallbacks& callbacks);
    bool enableCrashReporterAndReturnError(NQCrashReporterError* error);
    bool enableCrashReporter() { return enableCrashReporterAndReturnError(nullptr); }
    bool isEnabled() const { return m_enabled; }

    bool hasPendingCrashReport() const;
    // The pending report's bytes, read as NQCrashReport::readReportFile reads.
    QByteArray loadPendingCrashReportDataAndReturnError(NQCrashReporterError* error) const;
    bool purgePendingCrashReportAndReturnError(NQCrashReporterError* error) const;

    QString applicationIdentifier() const { return m_applicationIdentifier; }
    QString applicationVersion() const { return m_applicationVersion; }
    QString crashReportDirectory() const { return m_crashReportDirectory; }
    QString queuedCrashReportDirectory() const;
    QString crashReportPath() const;
    bool populateCrashReportDirectoryAndReturnError(NQCrashReporterError* error) const;

    // The report folder of an application identifier, without a reporter.
    static QString crashReportDirectoryFor(const QString& applicationIdentifier);

private:
    NQCrashReporter(const QString& applicationIdentifier, const QString& applicationVersion);

    bool m_enabled = false;
    QString m_applicationIdentifier;
    QString m_applicationVersion;
    QString m_crashReportDirectory;
};

using NQCrashSignalCallback = void (*)(int signo, siginfo_t* info, ucontext_t* uap, void* context);

// Installs the handler of the fatal signals, on an alternate signal stack.
class NQCrashSignalHandler
{
public:
    static NQCrashSignalHandler& sharedHandler();

    // Throws "Signal handler has already been registered" the second time.
    bool registerHandlerWithCallback(NQCrashSignalCallback callback, void* context, NQCrashReporterError* error);

    // The fatal signals, in registration order.
    static const int* fatalSignals(int* count);

private:
    NQCrashSignalHandler();
    bool registerHandlerForSignal(int signo, NQCrashReporterError* error);

    stack_t m_sigstk{};
};

// Notes of crash capture for developers: they go to the program's log (those
// of the start, before the logger exists, once it does), never to standard
// error. (At crash time, where the log cannot be used, the few lines of the
// crash go to standard error with write(2).)
void nqSystemLog(const QString& message);
