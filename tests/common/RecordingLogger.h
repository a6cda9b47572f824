#pragma once

// A logger for tests: keeps every line as "<level> <text>" in memory so that a
// test can check what was logged. Install one per process with
// initLogger(&logger, ...), or use install() for a shared instance. Lines may
// come from any thread; tests of threaded code read them through linesAt,
// allLines and clear.

#include "utils/Logger.h"

#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>

class RecordingLogger : public NAVIK_tarl1::ILoggerInterface
{
public:
    // Makes a process-wide instance the utility library's logger.
    static RecordingLogger& install()
    {
        static RecordingLogger logger;
        NAVIK_tarl1::initLogger(&logger, QStringLiteral("test"));
        return logger;
    }

    bool init(const std::string&, const std::string&, char) override { return true; }
    void log(char level, const char* text) override
    {
        QMutexLocker lock(&mutex);
        lines.append(QString(QLatin1Char(level)) + QLatin1Char(' ') + QString::fromUtf8(text));
    }
    NAVIK_tarl1::LogTraceHandle trace(const char*, const char*, int) override { return {}; }

    // Lines of one level, without the level prefix.
    QStringList linesAt(char level) const
    {
        QMutexLocker lock(&mutex);
        QStringList result;
        const QString prefix = QString(QLatin1Char(level)) + QLatin1Char(' ');
        for (const QString& line : lines)
            if (line.startsWith(prefix))
                result.append(line.mid(2));
        return result;
    }

    QStringList allLines() const
    {
        QMutexLocker lock(&mutex);
        return lines;
    }

    void clear()
    {
        QMutexLocker lock(&mutex);
        lines.clear();
    }

    QStringList lines;
    mutable QMutex mutex;
};
