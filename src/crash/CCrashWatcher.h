#pragma once

// Brackets one run of the program in the settings: the key holds the started
// value while the program runs and the finished value after a clean exit. A
// start that still finds the started value counts a crash of the last launch
// mode. main holds one for its whole run ("appCrashFlag", "appStarted",
// "appFinished").
//
// Several instances may run at once: each holds a lock file beside the
// settings while it runs, so a started value with a live lock belongs to a
// running instance, not to a crash, and only the last instance to end marks
// the runs finished.

#include <QString>

#include <memory>

class QLockFile;

class CCrashWatcher
{
public:
    // Counts an unfinished previous run, marks this one as started and, when
    // the user agreed to send crash reports, enables the crash reporter.
    CCrashWatcher(const QString& key, const QString& startedValue, const QString& finishedValue);
    // Marks the run as finished unless another instance still runs.
    ~CCrashWatcher();

    CCrashWatcher(const CCrashWatcher&) = delete;
    CCrashWatcher& operator=(const CCrashWatcher&) = delete;

private:
    // Takes a free lock of this run and tells whether another instance holds one.
    bool lockAndCheckOthers();
    // Whether another instance holds one of the locks.
    bool othersRunning() const;

    QString m_key;
    QString m_startedValue;
    QString m_finishedValue;
    std::unique_ptr<QLockFile> m_lock;
};
