#include "Navik/Logging.h"

#include <atomic>

namespace Navik {

namespace {

std::atomic<LogLevel> g_minimumLevel{kLogLevelWarning};
std::atomic<ILogger*> g_logger{nullptr};
std::atomic<LogCallback> g_callback{nullptr};

} // namespace

void SetDefaultLoggerMinimumLevel(LogLevel level)
{
    g_minimumLevel = level;
}

void SetCurrentLogger(ILogger* logger)
{
    g_logger = logger;
}

void SetLoggingToUseCallback(LogCallback callback)
{
    g_callback = callback;
}

void Log(const char* category, LogLevel level, const char* format, ...)
{
    if (level < g_minimumLevel.load())
        return;
    // Each receiver gets its own copy of the argument list.
    va_list arguments;
    va_start(arguments, format);
    if (ILogger* logger = g_logger.load()) {
        if (level >= logger->getMinimumLevel()) {
            va_list copy;
            va_copy(copy, arguments);
            logger->logMessage(category, level, format, copy);
            va_end(copy);
        }
    }
    if (LogCallback callback = g_callback.load()) {
        va_list copy;
        va_copy(copy, arguments);
        callback(category, level, format, copy);
        va_end(copy);
    }
    va_end(arguments);
}

} // namespace Navik
