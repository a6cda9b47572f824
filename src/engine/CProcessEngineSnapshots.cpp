// Named snapshots of the after parameters: taken, renamed, refreshed and
// deleted by name, shown as the before image, or recalled into the after
// image. Showing one as the before image sets the earlier before parameters
// aside ("kept"), so that the empty name can bring them back.

#include "engine/CProcessEngine.h"
#include "utils/Logger.h"

#include <QMutexLocker>

bool CProcessEngine::createSnaphot(const QString& name)
{
    LOG_TRACE();
    if (name.isEmpty()) {
        if (m_keptInitialParameters.Count() == 0)
            return false;
        setInitialParameters(m_keptInitialParameters);
        m_keptInitialParameters.RemoveAllValues();
    } else {
        // A snapshot is taken once; showing it again keeps what was taken.
        if (!m_snapshots.contains(name))
            m_snapshots.insert(name, m_resultParameters);
        // Only the before parameters from before the first snapshot shown are
        // set aside: those are the ones to come back to.
        if (m_keptInitialParameters.Count() == 0)
            m_keptInitialParameters = m_initialParameters;
        setInitialParameters(m_snapshots.value(name));
    }
    return renderBothSides();
}

void CProcessEngine::deleteSnapshot(const QString& name)
{
    LOG_TRACE();
    if (!name.isEmpty())
        m_snapshots.remove(name);
}

void CProcessEngine::renameSnapshot(const QString& newName, const QString& name)
{
    LOG_TRACE();
    if (newName.isEmpty() || name.isEmpty() || !m_snapshots.contains(name) || m_snapshots.contains(newName))
        return;
    m_snapshots.insert(newName, m_snapshots.take(name));
}

void CProcessEngine::updateSnapshot(const QString& name, bool flag)
{
    LOG_TRACE();
    if (name.isEmpty() || !m_snapshots.contains(name))
        return;
    m_snapshots[name] = m_resultParameters;
    reprocessSnapshot(name, flag);
}

void CProcessEngine::reprocessSnapshot(const QString& name, bool flag)
{
    LOG_TRACE();
    if (!flag)
        return;
    // An unknown name becomes an empty snapshot, shown as such.
    setInitialParameters(m_snapshots[name]);
    renderBothSides();
}

void CProcessEngine::recallSnapshot(const QString& name)
{
    LOG_TRACE();
    if (!name.isEmpty() && !m_snapshots.contains(name))
        return;
    clearResultParams(true);
    {
        QMutexLocker lock(&m_parameterLock);
        m_resultParameters = name.isEmpty() ? m_keptInitialParameters : m_snapshots.value(name);
    }
    updateOutputRotation();
    calculateImageSize();
    queueLoResTask(false);
    emit snapshotWasRecalled(name, m_resultParameters);
}

void CProcessEngine::setInitialParameters(const Navik::Dictionary& parameters)
{
    QMutexLocker lock(&m_parameterLock);
    m_initialParameters = parameters;
}

bool CProcessEngine::renderBothSides()
{
    calculateImageSize();
    queueLoResTask(false);
    queueLoResTask(true);
    // What the last request's processImage() answered: whether a picture is open.
    return isPictureLoaded();
}
