#include "shell/CELogger.h"

#include "utils/CSettings.h"
#include "utils/Logger.h"

#include <QDebug>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace NAVIK_tarl1;

namespace {

// The level letter of the "loggerLevel" setting; NUL when it is empty.
char configuredLevelLetter()
{
    const QString level = getLogLevel();
    return level.isEmpty() ? '\0' : level.at(0).toLatin1();
}

} // namespace

Navik::LogLevel CELogger::getMinimumLevel()
{
    return levelFromChar(configuredLevelLetter());
}

void CELogger::logMessage(const char* category, Navik::LogLevel, const char* format, va_list arguments)
{
    char* formatted = nullptr;
    if (vasprintf(&formatted, format, arguments) < 0)
        formatted = nullptr;
    const std::unique_ptr<char, decltype(&std::free)> message(formatted, &std::free);

    // The message's own level is not used: the engine is as verbose as the program.
    const char letter = configuredLevelLetter();
    if (g_logger) {
        std::string text = "\n\tCELog ";
        if (category) {
            text += category;
            text += ' ';
            if (message)
                text += message.get();
        }
        g_logger->log(letter, text.c_str());
    }
}

Navik::LogLevel CELogger::levelFromChar(char letter)
{
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'D':
        return Navik::kLogLevelDebug;
    case 'I':
        return Navik::kLogLevelInfo;
    case 'W':
        return Navik::kLogLevelWarning;
    case 'E':
    case 'F':
        return Navik::kLogLevelError;
    default:
        return Navik::kLogLevelAll;
    }
}

void installEngineLogger()
{
    if (!isLoggerEnabled())
        return;
    // Never deleted: the engine's threads may log until the process ends.
    static CELogger* const adapter = new CELogger;
    Navik::SetDefaultLoggerMinimumLevel(adapter->getMinimumLevel());
    Navik::SetCurrentLogger(adapter);
}
