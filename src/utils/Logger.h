#pragma once

// Logging glue shared by the program and the utility library. Each of the two
// compiles Logger.cpp into itself and so has its own g_logger; at start-up the
// program loads the logging library and hands the logger to the library with
// initLoggerForUtilsDll, so that both pointers hold the same object.

#include "utils/UtilsGlobal.h"
#include "logger/ILoggerInterface.h"

#include <QString>

#include <ostream>
#include <sstream>
#include <string>

namespace NAVIK_tarl1 {

// Set at most once, on the main thread, before other threads start.
extern NAVIK_UTILS_EXPORT ILoggerInterface* g_logger;

// Sets up this deliverable's logger (see Logger.cpp) and returns it, or null.
NAVIK_UTILS_EXPORT ILoggerInterface* initLogger(ILoggerInterface* logger, const QString& name);
// Exported by the library only: hands the program's logger to the library's copy.
NAVIK_UTILS_EXPORT ILoggerInterface* initLoggerForUtilsDll(ILoggerInterface* logger, const QString& name);

// "<documents>/Navik Quillet/log"; the folder is not created here.
NAVIK_UTILS_EXPORT QString logFolderPath();

// For code that runs before the logger is set up (the crash watcher at the
// start of main): writes the line at once when there is a logger; until
// initLogger has run, keeps it (at most 64 lines) for initLogger, which
// writes the kept lines after its banner, or drops them when it sets up no
// logger. Afterwards, with no logger, the line goes nowhere.
NAVIK_UTILS_EXPORT void logStartupMessage(char level, const QString& text);

// Opens a trace scope; empty handle when there is no logger.
NAVIK_UTILS_EXPORT LogTraceHandle logTrace(const char* function, const char* file, int line);

// Writes "ASSERT in <file> <line>" (or "ASSERT_X in ...") at level 'E'.
NAVIK_UTILS_EXPORT void reportAssertion(const char* kind, const char* file, int line);

// Loads the logging library from `libraryPath` and returns its logger, or null
// when the library or its "loggerInstance" symbol is missing.
NAVIK_UTILS_EXPORT ILoggerInterface* loadLoggerLibrary(const QString& libraryPath);

// Path of the logging library next to the executable: "<exe dir>/../Frameworks/LoggerDlltarl1".
NAVIK_UTILS_EXPORT QString loggerLibraryPath();

} // namespace NAVIK_tarl1

NAVIK_UTILS_EXPORT std::ostream& operator<<(std::ostream& stream, const QString& text);

// Keeps a trace handle for the rest of the enclosing scope.
#define NAVIK_TRACE_CONCAT2(a, b) a##b
#define NAVIK_TRACE_CONCAT(a, b) NAVIK_TRACE_CONCAT2(a, b)
#define LOG_TRACE() \
    const ::NAVIK_tarl1::LogTraceHandle NAVIK_TRACE_CONCAT(navikTraceScope_, __LINE__) = \
        ::NAVIK_tarl1::logTrace(Q_FUNC_INFO, __FILE__, __LINE__)

// Assertions log and let the program go on.
#define ASSERT(condition) \
    do { \
        if (!(condition)) \
            ::NAVIK_tarl1::reportAssertion("ASSERT", __FILE__, __LINE__); \
    } while (false)

#define ASSERT_X(condition, where, what) \
    do { \
        if (!(condition)) \
            ::NAVIK_tarl1::reportAssertion("ASSERT_X", __FILE__, __LINE__); \
    } while (false)

// Composes a message with operator<< and writes it at the given level, only
// when there is a logger.
#define LOG_MESSAGE(level, expression) \
    do { \
        if (::NAVIK_tarl1::g_logger) { \
            std::ostringstream navikLogStream_; \
            navikLogStream_ << expression; \
            ::NAVIK_tarl1::g_logger->log((level), navikLogStream_.str().c_str()); \
        } \
    } while (false)
