#include "correction/CCorrectionsState.h"

#include "correction/CorrectionIds.h"

CCorrectionsState::CCorrectionsState()
    : m_currentCorrection(g_emptyCorrectionId)
    , m_moduleToApply(g_emptyCorrectionId)
{
}

void CCorrectionsState::setModuleActivity(const QString& moduleId, bool active)
{
    m_moduleActivities.insert(moduleId, active);
}

QMap<QString, bool> CCorrectionsState::moduleActivities() const
{
    return m_moduleActivities;
}

void CCorrectionsState::setCurrentCorrection(const QString& correction)
{
    m_currentCorrection = correction;
}

QString CCorrectionsState::currentCorrection() const
{
    return m_currentCorrection;
}

void CCorrectionsState::setModuleToApply(const QString& moduleId)
{
    m_moduleToApply = moduleId;
}

QString CCorrectionsState::moduleToApply() const
{
    return m_moduleToApply;
}
