#include "crash/CCrashWatcher.h"

#include "crash/CrashReporterSetup.h"
#include "utils/CSettings.h"
#include "utils/Utilities.h"

using namespace NAVIK_tarl1;

CCrashWatcher::CCrashWatcher(const QString& key, const QString& startedValue, const QString& finishedValue)
    : m_key(key)
    , m_startedValue(startedValue)
    , m_finishedValue(finishedValue)
{
    {
        CSettings settings;
        if (settings.value(m_key, QVariant()).toString() == m_startedValue) {
            // The previous run never came back here: count it once, and mark
            // it finished first so that a crash right now is not counted twice.
            settings.setValue(m_key, m_finishedValue);
            settings.sync();
            incrementCrashCounter();
        }
        settings.setValue(m_key, m_startedValue);
    }
    if (isCrashReportSent())
        enableCrashReporter();
}

CCrashWatcher::~CCrashWatcher()
{
    CSettings settings;
    settings.setValue(m_key, m_finishedValue);
    settings.sync();
}
