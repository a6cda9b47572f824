#pragma once

// The modules' state as the correction state machine sees it: which modules
// are switched on, whose tool is the current correction, and whose
// correction is to be applied as part of a step.

#include <QMap>
#include <QString>

class CCorrectionsState
{
public:
    CCorrectionsState();

    void setModuleActivity(const QString& moduleId, bool active);
    QMap<QString, bool> moduleActivities() const;

    void setCurrentCorrection(const QString& correction);
    QString currentCorrection() const;

    void setModuleToApply(const QString& moduleId);
    QString moduleToApply() const;

    bool operator==(const CCorrectionsState& other) const = default;

private:
    QMap<QString, bool> m_moduleActivities;
    QString m_currentCorrection;
    QString m_moduleToApply;
};
