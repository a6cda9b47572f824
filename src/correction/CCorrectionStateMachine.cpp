#include "correction/CCorrectionStateMachine.h"

#include "utils/Logger.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>

namespace {

const QString kTablePath = QStringLiteral(":/other/CorrectionsStateMachine.xml");
// A "moduleApply" with this text (or empty) applies the correction that was
// current before the step.
const QString kCurrentCorrectionApply = QStringLiteral("CurrentCorrection");

bool hasTag(const QDomElement& element, const char* lowerCaseTag)
{
    return element.tagName().toLower() == QLatin1String(lowerCaseTag);
}

// The text with white space simplified; never null, so that an empty
// element stays distinguishable from a missing one.
QString elementText(const QDomElement& element)
{
    const QString text = element.text().simplified();
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

CCorrectionsAction::CCorrectionsAction(const QVector<QString>& userActivities,
                                       const QMap<QString, bool>& changeModules,
                                       const QString& changeCurrentCorrection, const QString& changeModuleApply,
                                       const QMap<QString, bool>& conditionModules,
                                       const QString& conditionCurrentCorrection)
    : m_userActivities(userActivities)
    , m_conditionModules(conditionModules)
    , m_conditionCurrentCorrection(conditionCurrentCorrection)
    , m_changeModules(changeModules)
    , m_changeCurrentCorrection(changeCurrentCorrection)
    , m_changeModuleApply(changeModuleApply)
{
}

bool CCorrectionsAction::containsActivity(const QString& activity) const
{
    return m_userActivities.contains(activity);
}

int CCorrectionsAction::checkConditions(const CCorrectionsState& state) const
{
    if (!m_conditionCurrentCorrection.isNull()) {
        if (m_conditionCurrentCorrection != state.currentCorrection())
            return ConditionsFail;
    } else if (m_conditionModules.isEmpty()) {
        return NoConditions;
    }
    const QMap<QString, bool> activities = state.moduleActivities();
    for (auto condition = m_conditionModules.constBegin(); condition != m_conditionModules.constEnd(); ++condition) {
        const auto actual = activities.constFind(condition.key());
        if (actual == activities.constEnd()) {
            ASSERT(false);
            return ConditionsFail;
        }
        if (actual.value() != condition.value())
            return ConditionsFail;
    }
    return ConditionsHold;
}

CCorrectionsState CCorrectionsAction::applyChanges(const CCorrectionsState& state) const
{
    CCorrectionsState result;
    const QMap<QString, bool> activities = state.moduleActivities();
    for (auto entry = activities.constBegin(); entry != activities.constEnd(); ++entry)
        result.setModuleActivity(entry.key(), entry.value());
    for (auto entry = m_changeModules.constBegin(); entry != m_changeModules.constEnd(); ++entry)
        result.setModuleActivity(entry.key(), entry.value());

    result.setCurrentCorrection(m_changeCurrentCorrection.isEmpty() ? state.currentCorrection()
                                                                    : m_changeCurrentCorrection);
    if (m_changeModuleApply.isEmpty())
        result.setModuleToApply(state.moduleToApply());
    else if (m_changeModuleApply == kCurrentCorrectionApply)
        result.setModuleToApply(state.currentCorrection());
    else
        result.setModuleToApply(m_changeModuleApply);
    return result;
}

CCorrectionStateMachine::CCorrectionStateMachine()
    : CCorrectionStateMachine(kTablePath)
{
}

CCorrectionStateMachine::CCorrectionStateMachine(const QString& tablePath)
{
    loadStateMachine(tablePath);
}

CCorrectionStateMachine::~CCorrectionStateMachine()
{
    clear();
}

void CCorrectionStateMachine::clear()
{
    for (const QVector<CCorrectionsAction*>& actions : std::as_const(m_moduleActions))
        qDeleteAll(actions);
    m_moduleActions.clear();
}

CCorrectionsState CCorrectionStateMachine::processUserActivity(const CCorrectionsState& state,
                                                               const QString& moduleId,
                                                               const QString& activity) const
{
    QVector<const CCorrectionsAction*> matching;
    QVector<const CCorrectionsAction*> unconditional;
    const auto module = m_moduleActions.constFind(moduleId);
    if (module != m_moduleActions.constEnd()) {
        for (const CCorrectionsAction* action : module.value()) {
            if (!action->containsActivity(activity))
                continue;
            switch (action->checkConditions(state)) {
            case CCorrectionsAction::ConditionsHold:
                matching.append(action);
                break;
            case CCorrectionsAction::NoConditions:
                unconditional.append(action);
                break;
            default:
                break;
            }
        }
    }
    if (matching.size() == 1)
        return matching.front()->applyChanges(state);
    if (matching.isEmpty() && unconditional.size() == 1)
        return unconditional.front()->applyChanges(state);
    ASSERT(false);
    return CCorrectionsState();
}

void CCorrectionStateMachine::loadStateMachine(const QString& path)
{
    QDomDocument document(QStringLiteral("CorrectionsStateMachine"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ASSERT(false);
        return;
    }
    if (!document.setContent(&file, false)) {
        file.close();
        ASSERT(false);
        return;
    }
    file.close();

    const QDomElement root = document.documentElement();
    if (root.tagName() != QLatin1String("modules")) {
        ASSERT(false);
        return;
    }
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement element = node.toElement();
        if (!element.isNull() && hasTag(element, "module"))
            parseModule(element);
    }
}

void CCorrectionStateMachine::parseModule(const QDomElement& module)
{
    const QDomElement actions = module.firstChild().toElement();
    if (actions.isNull() || !hasTag(actions, "actions")) {
        ASSERT(false);
        return;
    }
    QVector<CCorrectionsAction*> parsed;
    for (QDomNode node = actions.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement element = node.toElement();
        if (!element.isNull() && hasTag(element, "action"))
            parsed.append(parseAction(element));
    }
    const QString id = module.attribute(QStringLiteral("name"));
    // A later module of the same id replaces the earlier one.
    const auto previous = m_moduleActions.constFind(id);
    if (previous != m_moduleActions.constEnd())
        qDeleteAll(previous.value());
    m_moduleActions.insert(id, parsed);
}

CCorrectionsAction* CCorrectionStateMachine::parseAction(const QDomElement& action)
{
    QVector<QString> activities;
    QMap<QString, bool> conditionModules;
    QString conditionCurrentCorrection;
    QMap<QString, bool> changeModules;
    QString changeCurrentCorrection;
    QString changeModuleApply;

    for (QDomNode node = action.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement element = node.toElement();
        if (element.isNull())
            continue;
        if (hasTag(element, "useractivities")) {
            activities = parseUserActivities(element);
        } else if (hasTag(element, "conditions")) {
            conditionModules = parseModuleActivities(element);
            conditionCurrentCorrection = parseCurrentCorrection(element);
        } else if (hasTag(element, "changes")) {
            changeModules = parseModuleActivities(element);
            changeCurrentCorrection = parseCurrentCorrection(element);
            changeModuleApply = parseModuleApply(element);
        } else {
            ASSERT(false);
        }
    }
    return new CCorrectionsAction(activities, changeModules, changeCurrentCorrection, changeModuleApply,
                                  conditionModules, conditionCurrentCorrection);
}

QVector<QString> CCorrectionStateMachine::parseUserActivities(const QDomElement& element)
{
    QVector<QString> activities;
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement child = node.toElement();
        if (!child.isNull() && hasTag(child, "useractivity"))
            activities.append(elementText(child));
    }
    ASSERT(!activities.isEmpty());
    return activities;
}

QMap<QString, bool> CCorrectionStateMachine::parseModuleActivities(const QDomElement& element)
{
    QMap<QString, bool> activities;
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement child = node.toElement();
        if (!child.isNull() && hasTag(child, "moduleactivity"))
            activities.insert(child.attribute(QStringLiteral("name")),
                              elementText(child).toLower() == QLatin1String("true"));
    }
    return activities;
}

QString CCorrectionStateMachine::parseCurrentCorrection(const QDomElement& element)
{
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement child = node.toElement();
        if (child.isNull() || !hasTag(child, "currentcorrection"))
            continue;
        const QString text = elementText(child);
        return text.toLower() == QLatin1String("none") ? g_emptyCorrectionId : text;
    }
    return QString();
}

QString CCorrectionStateMachine::parseModuleApply(const QDomElement& element)
{
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement child = node.toElement();
        if (child.isNull() || !hasTag(child, "moduleapply"))
            continue;
        const QString text = elementText(child);
        return text.isEmpty() ? kCurrentCorrectionApply : text;
    }
    return QString();
}
