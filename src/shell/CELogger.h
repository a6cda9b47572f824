#pragma once

// Hands the correction engine's log messages to the program's log, and only
// there. Every engine message is written at the level letter of the
// "loggerLevel" setting, as "\n\tCELog <category> <message>".

#include <Navik/Logging.h>

class CELogger : public Navik::ILogger
{
public:
    // The engine level of the first letter of the "loggerLevel" setting.
    Navik::LogLevel getMinimumLevel() override;
    void logMessage(const char* category, Navik::LogLevel level, const char* format, va_list arguments) override;

    // A 0, D 1, I 2, W 3, E and F 4, in any letter case; anything else 0.
    static Navik::LogLevel levelFromChar(char letter);
};

// Installs the one adapter as the engine's logger when logging is enabled;
// it stays installed until the process ends.
void installEngineLogger();
