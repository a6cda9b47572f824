#pragma once

// Brackets one run of the program in the settings: the key holds the started
// value while the program runs and the finished value after a clean exit. A
// start that still finds the started value counts a crash of the last launch
// mode. main holds one for its whole run ("appCrashFlag", "appStarted",
// "appFinished").

#include <QString>

class CCrashWatcher
{
public:
    // Counts an unfinished previous run, marks this one as started and, when
    // the user agreed to send crash reports, enables the crash reporter.
    CCrashWatcher(const QString& key, const QString& startedValue, const QString& finishedValue);
    // Marks the run as finished.
    ~CCrashWatcher();

    CCrashWatcher(const CCrashWatcher&) = delete;
    CCrashWatcher& operator=(const CCrashWatcher&) = delete;

private:
    QString m_key;
    QString m_startedValue;
    QString m_finishedValue;
};
