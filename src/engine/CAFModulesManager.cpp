#include "engine/CAFModulesManager.h"

#include "shell/IProcessEngine.h"

CAFModulesManager* CAFModulesManager::instance()
{
    static CAFModulesManager manager;
    return &manager;
}

void CAFModulesManager::setProcessEngine(IProcessEngine* engine)
{
    disconnect(m_engineDestroyed);
    m_processEngine = engine;
    if (engine)
        m_engineDestroyed = connect(engine->getQObject(), &QObject::destroyed, this,
                                    [this] { m_processEngine = nullptr; });
}

void CAFModulesManager::deserialize(const QByteArray& data, bool flag)
{
    deserializeIfUnlocked(data, flag);
}

bool CAFModulesManager::isEqual(const QByteArray& first, const QByteArray& second)
{
    return first == second;
}

QString CAFModulesManager::id() const
{
    return QStringLiteral("CAFModulesManager");
}
