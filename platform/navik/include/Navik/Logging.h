#pragma once

// The framework's log. Messages at or above the minimum level go to the
// current logger and to the logging callback, whichever are installed.

#include <cstdarg>

namespace Navik {

enum LogLevel
{
    kLogLevelAll = 0,
    kLogLevelDebug = 1,
    kLogLevelInfo = 2,
    kLogLevelWarning = 3,
    kLogLevelError = 4,
};

class ILogger
{
public:
    virtual ~ILogger() = default;
    virtual LogLevel getMinimumLevel() = 0;
    virtual void logMessage(const char* category, LogLevel level, const char* format, va_list arguments) = 0;
};

using LogCallback = void (*)(const char* category, LogLevel level, const char* format, va_list arguments);

void SetDefaultLoggerMinimumLevel(LogLevel level);
// The logger is not owned and must outlive its installation; null uninstalls.
void SetCurrentLogger(ILogger* logger);
void SetLoggingToUseCallback(LogCallback callback);

// Writes one message; safe from any thread.
void Log(const char* category, LogLevel level, const char* format, ...) __attribute__((format(printf, 3, 4)));

} // namespace Navik
