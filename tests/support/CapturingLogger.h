#pragma once

// A logger for tests: keeps every line as "<level> <text>" in memory. install()
// makes it the utility library's logger for the rest of the test process.

#include "utils/Logger.h"

#include <QStringList>

class CapturingLogger final : public NAVIK_tarl1::ILoggerInterface
{
public:
    static CapturingLogger& install()
    {
        static CapturingLogger logger;
        NAVIK_tarl1::initLogger(&logger, QStringLiteral("test"));
        return logger;
    }

    bool init(const std::string&, const std::string&, char) override { return true; }

    void log(char level, const char* text) override
    {
        lines.append(QString(QLatin1Char(level)) + QLatin1Char(' ') + QString::fromUtf8(text));
    }

    NAVIK_tarl1::LogTraceHandle trace(const char*, const char*, int) override { return {}; }

    QStringList lines;
};
