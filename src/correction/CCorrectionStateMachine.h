#pragma once

// Decides, from a table read once from the resource
// ":/other/CorrectionsStateMachine.xml", which modules are switched on, which
// tool is the current correction and what is applied when the user does
// something with a module. It only decides; the module host acts on the answer.

#include "correction/CCorrectionsState.h"
#include "correction/CorrectionIds.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

class QDomElement;

// One action of the table: the activities that trigger it, the conditions on
// the state and the changes it makes.
class CCorrectionsAction
{
public:
    // Verdicts of checkConditions.
    enum ConditionVerdict { ConditionsHold = 0, NoConditions = 1, ConditionsFail = 2 };

    CCorrectionsAction(const QVector<QString>& userActivities, const QMap<QString, bool>& changeModules,
                       const QString& changeCurrentCorrection, const QString& changeModuleApply,
                       const QMap<QString, bool>& conditionModules, const QString& conditionCurrentCorrection);

    bool containsActivity(const QString& activity) const;
    int checkConditions(const CCorrectionsState& state) const;
    CCorrectionsState applyChanges(const CCorrectionsState& state) const;

    QMap<QString, bool> changeModules() const { return m_changeModules; }
    QString changeCurrentCorrection() const { return m_changeCurrentCorrection; }
    QString changeModuleApply() const { return m_changeModuleApply; }

private:
    QVector<QString> m_userActivities;
    QMap<QString, bool> m_conditionModules;
    QString m_conditionCurrentCorrection;
    QMap<QString, bool> m_changeModules;
    QString m_changeCurrentCorrection;
    QString m_changeModuleApply;
};

class CCorrectionStateMachine : public QObject
{
    Q_OBJECT
public:
    // Reads the table from the resource.
    CCorrectionStateMachine();
    // Reads the table from another file (tests).
    explicit CCorrectionStateMachine(const QString& tablePath);
    ~CCorrectionStateMachine() override;

    CCorrectionStateMachine(const CCorrectionStateMachine&) = delete;
    CCorrectionStateMachine& operator=(const CCorrectionStateMachine&) = delete;

    // The state after `activity` reported for `moduleId`; the default state
    // (with an assertion logged) when not exactly one action qualifies.
    CCorrectionsState processUserActivity(const CCorrectionsState& state, const QString& moduleId,
                                          const QString& activity) const;

private:
    void loadStateMachine(const QString& path);
    void parseModule(const QDomElement& module);
    CCorrectionsAction* parseAction(const QDomElement& action);
    static QVector<QString> parseUserActivities(const QDomElement& element);
    static QMap<QString, bool> parseModuleActivities(const QDomElement& element);
    static QString parseCurrentCorrection(const QDomElement& element);
    static QString parseModuleApply(const QDomElement& element);
    void clear();

    QMap<QString, QVector<CCorrectionsAction*>> m_moduleActions;
};
