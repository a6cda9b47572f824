#include "FileLogger.h"

#include <cstdlib>

namespace {

NavikLogger::FileLogger* theLogger()
{
    // Never destroyed: other libraries may still log while static objects go
    // away. At exit the writer thread is stopped after draining its queue.
    static NavikLogger::FileLogger* logger = [] {
        auto* created = new NavikLogger::FileLogger;
        std::atexit([] { theLogger()->shutdown(); });
        return created;
    }();
    return logger;
}

} // namespace

#define LOGGER_EXPORT extern "C" __attribute__((visibility("default")))

LOGGER_EXPORT NAVIK_tarl1::ILoggerInterface* loggerInstance()
{
    return theLogger();
}

// Blocks until every line logged so far has reached the file.
LOGGER_EXPORT void loggerFlush()
{
    theLogger()->flush();
}
