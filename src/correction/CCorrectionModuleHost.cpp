#include "correction/CCorrectionModuleHost.h"

#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QDataStream>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QVariant>

#include <algorithm>
#include <cstdlib>

namespace {

const QString kCurrentCorrectionKey = QStringLiteral("CCorrectionModuleHostCurrentCorrection");
const QString kBeforeGroupVisibilityKey = QStringLiteral("beforeGroupeVisibility");
const QString kAfterGroupVisibilityKey = QStringLiteral("afterGroupeVisibility");

// Named groups lie above the shared ones.
constexpr qreal kNamedGroupZ = 1000;
constexpr qreal kSharedGroupZ = 500;

void logDebug(const QString& text)
{
    LOG_MESSAGE('D', text);
}

QString flagText(bool flag)
{
    return flag ? QStringLiteral("true") : QStringLiteral("false");
}

bool isSerializable(const ICorrectionModuleInterfacePtr& module)
{
    QObject* object = module ? module->moduleObject() : nullptr;
    return object && qobject_cast<ISerializableInterface*>(object);
}

} // namespace

std::shared_ptr<CCorrectionModuleHost> CCorrectionModuleHost::s_instance;

namespace {

// The host left as it is by a process that exits without the application's
// end; kept reachable from here, so leak checkers see no loss.
std::shared_ptr<CCorrectionModuleHost>* g_hostLeftAtExit = nullptr;

} // namespace

CCorrectionModuleHost* CCorrectionModuleHost::instance()
{
    if (!s_instance) {
        s_instance = std::make_shared<CCorrectionModuleHost>();
        // The application resets the host when it ends. A process that exits
        // without that end (the display connection lost, exit() elsewhere)
        // must not tear the modules out of scenes that Qt may have dismantled
        // already: the host is left as it is. Registered after the static
        // pointer was made, this runs before its destructor.
        static const bool leftAtExit = [] {
            std::atexit([] {
                if (s_instance)
                    g_hostLeftAtExit = new std::shared_ptr<CCorrectionModuleHost>(std::move(s_instance));
            });
            return true;
        }();
        Q_UNUSED(leftAtExit);
    }
    return s_instance.get();
}

void CCorrectionModuleHost::resetInstance()
{
    s_instance.reset();
}

bool CCorrectionModuleHost::exists()
{
    return bool(s_instance);
}

CCorrectionModuleHost::CCorrectionModuleHost() = default;

CCorrectionModuleHost::~CCorrectionModuleHost()
{
    // The scenes keep the groups as items; take them out while the scenes live.
    if (m_beforeScene)
        for (QGraphicsItemGroup* group : std::as_const(m_beforeSceneGroups))
            m_beforeScene->removeItem(group);
    if (m_afterScene)
        for (QGraphicsItemGroup* group : std::as_const(m_afterSceneGroups))
            m_afterScene->removeItem(group);
    // Out of the scenes nobody deletes them (a scene that went first took
    // its groups with it). The modules go first, so that items they delete
    // themselves are gone from the groups by then.
    m_currentCorrectionModule.reset();
    m_correctionModules.clear();
    qDeleteAll(m_beforeSceneGroups);
    qDeleteAll(m_afterSceneGroups);
}

void CCorrectionModuleHost::initialize(QGraphicsScene* beforeScene, QGraphicsScene* afterScene)
{
    for (QGraphicsScene* scene : {m_beforeScene.data(), m_afterScene.data()})
        if (scene)
            disconnect(scene, &QObject::destroyed, this, nullptr);
    m_beforeScene = beforeScene;
    m_afterScene = afterScene;
    // A dying scene deletes the groups it holds: forget them with it, so that
    // nothing here reaches them again, whichever of the two goes first.
    if (beforeScene)
        connect(beforeScene, &QObject::destroyed, this, [this] { m_beforeSceneGroups.clear(); });
    if (afterScene)
        connect(afterScene, &QObject::destroyed, this, [this] {
            m_afterSceneGroups.clear();
            m_afterSceneGroupA = nullptr;
            m_afterSceneGroupB = nullptr;
        });
}

void CCorrectionModuleHost::addCorrectionModule(ICorrectionModuleInterfacePtr module)
{
    if (!module) {
        ASSERT(false);
        return;
    }
    module->setHost(this);
    m_correctionModules.append(ModuleEntry(module->id(), module));
}

QList<ICorrectionModuleInterfacePtr> CCorrectionModuleHost::correctionModules() const
{
    QList<ICorrectionModuleInterfacePtr> modules;
    for (const ModuleEntry& entry : m_correctionModules)
        modules.append(entry.second);
    std::sort(modules.begin(), modules.end(),
              [](const ICorrectionModuleInterfacePtr& a, const ICorrectionModuleInterfacePtr& b) {
                  return a->moduleOrder() < b->moduleOrder();
              });
    return modules;
}

QGraphicsItemGroup* CCorrectionModuleHost::sceneItemGroup(QGraphicsScene* scene,
                                                          QMap<QString, QGraphicsItemGroup*>& groups,
                                                          const QString& name)
{
    ASSERT(scene);
    QGraphicsItemGroup* group = groups.value(name);
    if (!group) {
        if (!scene)
            return nullptr;
        group = new QGraphicsItemGroup;
        groups.insert(name, group);
        group->hide();
        scene->addItem(group);
    }
    group->setZValue(kNamedGroupZ);
    group->setHandlesChildEvents(false);
    return group;
}

QGraphicsItemGroup* CCorrectionModuleHost::beforeSceneItemGroup(const QString& name)
{
    return sceneItemGroup(m_beforeScene, m_beforeSceneGroups, name);
}

QGraphicsItemGroup* CCorrectionModuleHost::afterSceneItemGroup(const QString& name)
{
    return sceneItemGroup(m_afterScene, m_afterSceneGroups, name);
}

void CCorrectionModuleHost::addItemToSharedGroup(QGraphicsItemGroup*& group, QGraphicsItem* item)
{
    if (!group) {
        ASSERT(m_afterScene);
        if (!m_afterScene)
            return;
        group = new QGraphicsItemGroup;
        group->setZValue(kSharedGroupZ);
        m_afterScene->addItem(group);
    }
    if (item)
        group->addToGroup(item);
}

void CCorrectionModuleHost::addItemToAfterSceneGroupA(QGraphicsItem* item)
{
    addItemToSharedGroup(m_afterSceneGroupA, item);
}

void CCorrectionModuleHost::addItemToAfterSceneGroupB(QGraphicsItem* item)
{
    addItemToSharedGroup(m_afterSceneGroupB, item);
}

void CCorrectionModuleHost::deactivateAllSceneItems()
{
    for (QGraphicsItemGroup* group : std::as_const(m_beforeSceneGroups))
        group->hide();
    for (QGraphicsItemGroup* group : std::as_const(m_afterSceneGroups))
        group->hide();
}

QObject* CCorrectionModuleHost::hostObject()
{
    return this;
}

IProcessEngine* CCorrectionModuleHost::processEngine()
{
    return CBaseApplication::processEngine();
}

void CCorrectionModuleHost::resetBeforeImageOpen()
{
    deactivateAllSceneItems();
    m_currentCorrectionModule.reset();
    // A copy: a module's reset may come back to the host.
    const QList<ModuleEntry> modules = m_correctionModules;
    for (const ModuleEntry& entry : modules) {
        if (entry.first != g_cropCorrectionId)
            entry.second->setModuleActive(false);
        entry.second->resetForNewImage();
    }
}

void CCorrectionModuleHost::setSingleMode()
{
    const QList<ModuleEntry> modules = m_correctionModules;
    for (const ModuleEntry& entry : modules)
        entry.second->setSingleMode();
}

void CCorrectionModuleHost::setSplitedMode()
{
    const QList<ModuleEntry> modules = m_correctionModules;
    for (const ModuleEntry& entry : modules)
        entry.second->setSplitedMode();
}

ICorrectionModuleInterfacePtr CCorrectionModuleHost::module(const QString& id) const
{
    for (const ModuleEntry& entry : m_correctionModules)
        if (entry.first == id)
            return entry.second;
    return {};
}

ICorrectionModuleInterfacePtr CCorrectionModuleHost::registeredModule(const QString& id) const
{
    ICorrectionModuleInterfacePtr found = module(id);
    ASSERT(found);
    return found;
}

ICorrectionModuleInterfacePtr CCorrectionModuleHost::currentCorrectionModule()
{
    return m_currentCorrectionModule;
}

bool CCorrectionModuleHost::isModuleActive(const QString& id)
{
    const ICorrectionModuleInterfacePtr found = registeredModule(id);
    return found && found->isModuleActive();
}

QString CCorrectionModuleHost::currentCorrectionName()
{
    return m_currentCorrectionModule ? m_currentCorrectionModule->id() : g_emptyCorrectionId;
}

bool CCorrectionModuleHost::isAnyModuleActive()
{
    const QList<ICorrectionModuleInterfacePtr> modules = correctionModules();
    return std::any_of(modules.begin(), modules.end(),
                       [](const ICorrectionModuleInterfacePtr& module) { return module->isModuleActive(); });
}

void CCorrectionModuleHost::processModuleAction(const QString& moduleId, const QString& activity,
                                                const QString& argument)
{
    IProcessEngine* engine = processEngine();
    if (!engine || !engine->isPictureLoaded())
        return;

    logDebug(QStringLiteral("*******************************************New action*******************\n"
                            "Module: %1, action: %2, argument:%3\n")
                 .arg(moduleId, activity, argument));
    logDebug(QStringLiteral("\nCurrent state of modules:\n"));

    // Modules may call back into the host while they switch, reset or apply
    // (a reset may report an activity of its own): every loop below runs
    // over a copy and every module is held while it is called.
    CCorrectionsState state;
    const QList<ModuleEntry> modules = m_correctionModules;
    for (const ModuleEntry& entry : modules) {
        const bool active = entry.second->isModuleActive();
        logDebug(QStringLiteral("\tModule:%1, state:%2\n").arg(entry.first, flagText(active)));
        state.setModuleActivity(entry.first, active);
    }
    const ICorrectionModuleInterfacePtr current = m_currentCorrectionModule;
    const QString currentId = current ? current->id() : g_emptyCorrectionId;
    state.setCurrentCorrection(currentId);
    logDebug(QStringLiteral("\tCurrent Correction:%1\n").arg(currentId));

    const CCorrectionsState next = m_stateMachine.processUserActivity(state, moduleId, activity);

    if (current && next.moduleToApply() == current->id())
        current->applyCorrection(nullptr);

    logDebug(QStringLiteral("\nChanging states for modules:\n"));
    if (next.currentCorrection() == g_emptyCorrectionId) {
        logDebug(QStringLiteral("\tCurrent Correction:Empty_correction_ID\n"));
        m_currentCorrectionModule.reset();
    } else {
        logDebug(QStringLiteral("\tCurrent Correction:%1\n").arg(next.currentCorrection()));
        m_currentCorrectionModule = registeredModule(next.currentCorrection());
    }

    const QMap<QString, bool> activities = next.moduleActivities();
    for (auto entry = activities.constBegin(); entry != activities.constEnd(); ++entry) {
        if (const ICorrectionModuleInterfacePtr target = registeredModule(entry.key()))
            target->setModuleActive(entry.value());
        logDebug(QStringLiteral("\tModule:%1, state:%2\n").arg(entry.key(), flagText(entry.value())));
    }

    logDebug(QStringLiteral("\nMake action for module:\n"));
    makeModuleAction(moduleId, activity, argument);

    emit correctionOrModuleStateIsChanged();
}

void CCorrectionModuleHost::makeModuleAction(const QString& moduleId, const QString& activity,
                                             const QString& argument)
{
    if (activity == UserActivity::ModuleDeactivate || activity == UserActivity::ModuleActivate)
        return;
    if (activity == UserActivity::resetAndCloseAllTools || activity == UserActivity::resetAll) {
        const QList<ModuleEntry> modules = m_correctionModules;
        for (const ModuleEntry& entry : modules) {
            logDebug(QStringLiteral("Reset module:%1, argument:%2\n").arg(entry.first, argument));
            entry.second->resetModule();
        }
        return;
    }

    QString line;
    if (activity == UserActivity::SpecificCorrectionActivated)
        line = QStringLiteral("Activate specific correction for module:%1, argument:%2\n");
    else if (activity == UserActivity::CorrectionApplyed)
        line = QStringLiteral("Apply for module:%1, argument:%2\n");
    else if (activity == UserActivity::ModuleReset)
        line = QStringLiteral("Reset correction for module:%1, argument:%2\n");
    else if (activity == UserActivity::AdditionalControlTouched)
        line = QStringLiteral("Touch additional control for module:%1, argument:%2\n");
    else if (activity == UserActivity::CorrectionReset)
        line = QStringLiteral("Reset correction for module module:%1, argument:%2\n");
    else {
        ASSERT(false);
        return;
    }
    logDebug(line.arg(moduleId, argument));

    const ICorrectionModuleInterfacePtr target = registeredModule(moduleId);
    if (!target)
        return;
    if (activity == UserActivity::SpecificCorrectionActivated) {
        target->activateSpecificCorrection(argument);
    } else if (activity == UserActivity::CorrectionApplyed) {
        target->applyCorrection(nullptr);
    } else if (activity == UserActivity::ModuleReset) {
        target->resetModule();
    } else if (activity == UserActivity::AdditionalControlTouched) {
        target->touchAdditionalControl(argument);
    } else {
        target->resetCurrentCorrection();
    }
}

QByteArray CCorrectionModuleHost::serialize()
{
    QMap<QString, QVariant> record;
    for (const ModuleEntry& entry : std::as_const(m_correctionModules))
        if (isSerializable(entry.second))
            record.insert(entry.first, entry.second->serialize());
    record.insert(kCurrentCorrectionKey,
                  m_currentCorrectionModule ? m_currentCorrectionModule->id() : QString());
    for (auto group = m_beforeSceneGroups.constBegin(); group != m_beforeSceneGroups.constEnd(); ++group)
        record.insert(kBeforeGroupVisibilityKey + group.key(), group.value()->isVisible());
    for (auto group = m_afterSceneGroups.constBegin(); group != m_afterSceneGroups.constEnd(); ++group)
        record.insert(kAfterGroupVisibilityKey + group.key(), group.value()->isVisible());

    return NAVIK_tarl1::variantMapToBytes(record);
}

void CCorrectionModuleHost::deserialize(const QByteArray& state, bool flag)
{
    const QMap<QString, QVariant> record = NAVIK_tarl1::variantMapFromBytes(state);

    const QList<ModuleEntry> modules = m_correctionModules;
    for (const ModuleEntry& entry : modules) {
        const auto saved = record.constFind(entry.first);
        if (saved != record.constEnd() && isSerializable(entry.second))
            entry.second->deserialize(saved.value().toByteArray(), flag);
    }

    const auto saved = record.constFind(kCurrentCorrectionKey);
    if (saved == record.constEnd())
        return;
    const QString currentId = saved.value().toString();
    if (!m_currentCorrectionModule) {
        if (currentId.isEmpty())
            return;
        m_currentCorrectionModule = module(currentId);
        emit correctionOrModuleStateIsChanged();
    } else if (m_currentCorrectionModule->id() != currentId) {
        if (currentId.isEmpty())
            m_currentCorrectionModule.reset();
        else
            m_currentCorrectionModule = module(currentId);
        emit correctionOrModuleStateIsChanged();
    }
}

bool CCorrectionModuleHost::isEqual(const QByteArray& a, const QByteArray& b)
{
    return a == b;
}

QString CCorrectionModuleHost::id() const
{
    return QStringLiteral("CorrectionModuleHost");
}
