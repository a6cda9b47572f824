#include "crash/CCrashWatcher.h"

#include "crash/CrashReporterSetup.h"
#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "utils/Utilities.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

using namespace NAVIK_tarl1;

namespace {

// Instances that can run at once with their own lock; more still run, they
// only count as "another instance" for each other.
constexpr int kLockSlots = 8;

QString lockPath(const QString& key, int slot)
{
    return QFileInfo(CSettings::filePath()).absolutePath() + QStringLiteral("/%1.%2.lock").arg(key).arg(slot);
}

// A lock file names the process that holds it; one whose process has gone is
// taken over. The age of a lock says nothing: a run may last for days.
std::unique_ptr<QLockFile> makeLock(const QString& key, int slot)
{
    auto lock = std::make_unique<QLockFile>(lockPath(key, slot));
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

CCrashWatcher::CCrashWatcher(const QString& key, const QString& startedValue, const QString& finishedValue)
    : m_key(key)
    , m_startedValue(startedValue)
    , m_finishedValue(finishedValue)
{
    const bool othersRun = lockAndCheckOthers();
    {
        CSettings settings;
        if (settings.value(m_key, QVariant()).toString() == m_startedValue) {
            if (othersRun) {
                logStartupMessage('I', QStringLiteral("Another instance is running: its run is no crash"));
            } else {
                // The previous run never came back here: count it once, and
                // mark it finished first so that a crash right now is not
                // counted twice.
                settings.setValue(m_key, m_finishedValue);
                settings.sync();
                incrementCrashCounter();
            }
        }
        settings.setValue(m_key, m_startedValue);
    }
    if (isCrashReportSent())
        enableCrashReporter();
}

CCrashWatcher::~CCrashWatcher()
{
    if (m_lock)
        m_lock->unlock();
    // Another instance still running keeps the started value; the last one
    // to end marks the runs finished.
    if (othersRunning())
        return;
    CSettings settings;
    settings.setValue(m_key, m_finishedValue);
    settings.sync();
}

bool CCrashWatcher::lockAndCheckOthers()
{
    QDir().mkpath(QFileInfo(CSettings::filePath()).absolutePath());
    bool othersRun = false;
    for (int slot = 0; slot < kLockSlots; ++slot) {
        std::unique_ptr<QLockFile> lock = makeLock(m_key, slot);
        if (!lock->tryLock(0)) {
            othersRun = othersRun || lock->error() == QLockFile::LockFailedError;
            continue;
        }
        if (!m_lock)
            m_lock = std::move(lock);
    }
    if (!m_lock)
        logStartupMessage('W', QStringLiteral("No lock file is free for this run"));
    return othersRun;
}

bool CCrashWatcher::othersRunning() const
{
    for (int slot = 0; slot < kLockSlots; ++slot) {
        const std::unique_ptr<QLockFile> lock = makeLock(m_key, slot);
        if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError)
            return true;
    }
    return false;
}
